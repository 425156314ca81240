// The UTF-16 path operations against properties that any correct cut must have:
// separators are the '\' units wherever they stand (a surrogate is never one), the
// pieces put back together give the path, nothing cut off a prefix changes where
// the prefix's separators lie, and a plain name put after a folder is that path's
// last component. The input bytes make the path's UTF-16 units (fuzz_units.h).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_units.h"
#include "common/path_text.h"

using namespace korvane;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool EndsWith(const std::u16string& text, const std::u16string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The device names read a second way: the stem upper-cased, its trailing spaces
// cut, and looked up among every name the system keeps.
bool ListedDevice(const std::u16string& name) {
    std::u16string stem = name.substr(0, name.find(u'.'));
    for (char16_t& c : stem)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
    stem.erase(stem.find_last_not_of(u' ') + 1);  // npos + 1 is 0: a stem of spaces goes whole
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (stem == device) return true;
    for (const char16_t* port : {u"COM", u"LPT"})
        for (char16_t digit : std::u16string(u"123456789\u00B9\u00B2\u00B3"))
            if (stem == port + std::u16string(1, digit)) return true;
    return false;
}

void CheckName(const std::u16string& name) {
    const bool plain = IsPlainName(name);
    Require(IsDeviceName(name) == ListedDevice(name));
    Require(!(plain && IsDeviceName(name)));
    if (plain) {
        Require(SeparatorPositions(name).empty());
        const std::u16string path = u"D:\\dir\\" + name;
        Require(LastPathComponent(path) == name);
        Require(ParentFolder(path, true) == u"D:\\dir");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string path = FuzzUnits(data, size);

    const std::vector<std::size_t> separators = SeparatorPositions(path);
    std::vector<std::size_t> backslashes;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (path[i] == u'\\') backslashes.push_back(i);
    Require(separators == backslashes);
    for (std::size_t i = 0; i <= path.size(); ++i)
        Require(IsSeparatorAt(path, i) == (i < path.size() && path[i] == u'\\'));
    // A prefix keeps the separators that lie inside it.
    for (std::size_t cut = 0; cut <= path.size(); ++cut) {
        std::vector<std::size_t> inside;
        for (std::size_t s : separators)
            if (s < cut) inside.push_back(s);
        Require(SeparatorPositions(path.substr(0, cut)) == inside);
    }

    const std::size_t last = LastSeparator(path);
    Require(separators.empty() ? last == kNoSeparator : last == separators.back());

    const std::u16string component = LastPathComponent(path);
    for (bool keepRoot : {false, true}) {
        std::u16string parent = ParentFolder(path, keepRoot);
        if (keepRoot && IsBareDrive(ParentFolder(path, false))) {
            Require(parent == ParentFolder(path, false) + u"\\");
            parent.pop_back();
        }
        if (last == kNoSeparator) Require(parent == path);
        else if (last == 0) Require(parent.empty());
        else Require(parent == path.substr(0, last));
    }
    if (last != kNoSeparator && last > 0 && last + 1 < path.size()) {
        Require(ParentFolder(path, false) + u"\\" + component == path);
        Require(!component.empty() && SeparatorPositions(component).empty());
    } else {
        Require(component.empty());
    }

    const std::u16string stripped = StripTrailingBackslash(path);
    if (path.size() > 1 && last == path.size() - 1)
        Require(stripped == path.substr(0, path.size() - 1));
    else
        Require(stripped == path);

    const std::size_t dot = path.rfind(u'.');
    const std::u16string wild = MakeExtensionPattern(path, 0);
    const std::u16string regex = MakeExtensionPattern(path, 1);
    if (dot == std::u16string::npos) {
        Require(wild.empty() && regex.empty());
    } else {
        const std::u16string suffix = path.substr(dot);
        Require(wild == u"*" + suffix);
        // Every metacharacter escaped, nothing else: taking the escapes away gives the suffix.
        Require(!regex.empty() && regex.back() == u'$');
        std::u16string plain;
        bool escaped = false;
        for (std::size_t i = 0; i + 1 < regex.size(); ++i) {
            const char16_t c = regex[i];
            if (!escaped && c == u'\\') {
                escaped = true;
                continue;
            }
            Require(escaped == (std::u16string_view(u"\\^$.|?*+()[]{}").find(c) != std::u16string_view::npos));
            plain += c;
            escaped = false;
        }
        Require(!escaped && plain == suffix);
        Require(EndsWith(path, suffix) && suffix.find(u'.', 1) == std::u16string::npos);
    }

    Require(FolderDisplayForm(path) == (IsBareDrive(path) ? path + u"\\" : path));

    // Device names are rare in random text: put the start of one before it too.
    static const char16_t* const kStems[] = {u"", u"nul", u"CoN", u"com", u"LPT", u"conout", u"aux", u"prn"};
    CheckName(path);
    CheckName(kStems[size % 8] + path);
    if (!component.empty()) CheckName(component);
    return 0;
}
