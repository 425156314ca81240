#include "common/path_text.h"

namespace korvane {

namespace {

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c; }

bool EqualsAsciiUpper(std::u16string_view text, std::u16string_view upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (AsciiUpper(text[i]) != upper[i]) return false;
    return true;
}

// The digits a COM or LPT port name may end in: 1-9, and the superscripts 1, 2, 3
// that the system also folds to port numbers.
bool IsPortDigit(char16_t c) { return (c >= u'1' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3'; }

}  // namespace

bool IsDeviceName(std::u16string_view name) {
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (EqualsAsciiUpper(stem, device)) return true;
    return stem.size() == 4 && (EqualsAsciiUpper(stem.substr(0, 3), u"COM") || EqualsAsciiUpper(stem.substr(0, 3), u"LPT")) &&
           IsPortDigit(stem[3]);
}

bool IsPlainName(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    for (char16_t c : name)
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
    if (name.back() == u'.' || name.back() == u' ') return false;
    return !IsDeviceName(name);
}

std::vector<std::size_t> SeparatorPositions(std::u16string_view path) {
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (path[i] == u'\\') positions.push_back(i);
    return positions;
}

std::size_t LastSeparator(std::u16string_view path) {
    const std::size_t last = path.rfind(u'\\');
    return last == std::u16string_view::npos ? kNoSeparator : last;
}

bool IsSeparatorAt(std::u16string_view path, std::size_t pos) { return pos < path.size() && path[pos] == u'\\'; }

bool IsBareDrive(std::u16string_view path) { return path.size() == 2 && path[1] == u':'; }

std::u16string ParentFolder(std::u16string_view path, bool keepRoot) {
    const std::size_t sep = LastSeparator(path);
    std::u16string parent;
    if (sep == kNoSeparator)
        parent = path;
    else if (sep > 0)
        parent = path.substr(0, sep);
    if (keepRoot && IsBareDrive(parent)) parent += u'\\';
    return parent;
}

std::u16string StripTrailingBackslash(std::u16string_view path) {
    if (path.size() > 1 && path.back() == u'\\') path.remove_suffix(1);
    return std::u16string(path);
}

std::u16string LastPathComponent(std::u16string_view path) {
    const std::size_t sep = LastSeparator(path);
    if (sep == kNoSeparator || sep == 0 || sep + 1 >= path.size()) return std::u16string();
    return std::u16string(path.substr(sep + 1));
}

std::u16string MakeExtensionPattern(std::u16string_view path, std::uint32_t useRegex) {
    const std::size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos) return std::u16string();
    const std::u16string_view suffix = path.substr(dot);
    if (!useRegex) return u"*" + std::u16string(suffix);
    // Every character the expression language reads as syntax stands for itself:
    // x.c++ gives \.c\+\+$, which the engine accepts and which matches x.c++.
    std::u16string pattern;
    for (const char16_t c : suffix) {
        if (std::u16string_view(u"\\^$.|?*+()[]{}").find(c) != std::u16string_view::npos) pattern += u'\\';
        pattern += c;
    }
    pattern += u'$';
    return pattern;
}

std::u16string FolderDisplayForm(std::u16string_view folder) {
    std::u16string form(folder);
    if (IsBareDrive(folder)) form += u'\\';
    return form;
}

bool IsFullPath(std::u16string_view path) {
    const auto slash = [](char16_t c) { return c == u'\\' || c == u'/'; };
    const auto letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    if (path.size() >= 3 && letter(path[0]) && path[1] == u':' && slash(path[2])) return true;
    return path.size() >= 2 && slash(path[0]) && slash(path[1]);
}

bool LiesInside(std::u16string_view path, std::u16string_view folder, std::u16string& rest) {
    if (folder.empty() || path.substr(0, folder.size()) != folder) return false;
    if (path.size() == folder.size()) {
        rest.clear();
        return true;
    }
    if (!IsSeparatorAt(path, folder.size())) return false;
    rest = path.substr(folder.size());
    return true;
}

}  // namespace korvane
