// The Shift-JIS path operations against properties that any correct cut must have:
// separators are 0x5C bytes found by walking from the start (a lead byte takes the
// next byte along), the pieces put back together give the path, and nothing cut off
// a prefix changes where the prefix's separators lie.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "match/path_text.h"

using namespace korvane;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::size_t> WalkSeparators(const std::string& path) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
            ++i;
        else if (b == 0x5C)
            found.push_back(i);
    }
    return found;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);

    for (int b = 0; b < 256; b += 37) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        Require(IsLeadByte(static_cast<unsigned char>(b)) == lead);
    }

    const std::vector<std::size_t> separators = SeparatorPositions(path);
    Require(separators == WalkSeparators(path));
    for (std::size_t i = 0; i < path.size(); ++i) {
        bool listed = false;
        for (std::size_t s : separators) listed = listed || s == i;
        Require(IsSeparatorAt(path, i) == listed);
    }
    // A prefix keeps the separators that lie inside it.
    for (std::size_t cut = 0; cut <= path.size(); ++cut) {
        std::vector<std::size_t> inside;
        for (std::size_t s : separators)
            if (s < cut) inside.push_back(s);
        Require(SeparatorPositions(path.substr(0, cut)) == inside);
    }

    const std::size_t last = LastSeparator(path);
    Require(separators.empty() ? last == kNoSeparator : last == separators.back());

    const std::string component = LastPathComponent(path);
    for (bool keepRoot : {false, true}) {
        std::string parent = ParentFolder(path, keepRoot);
        if (keepRoot && IsBareDrive(ParentFolder(path, false))) {
            Require(parent == ParentFolder(path, false) + "\\");
            parent.pop_back();
        }
        if (last == kNoSeparator) Require(parent == path);
        else if (last == 0) Require(parent.empty());
        else Require(parent == path.substr(0, last));
    }
    if (last != kNoSeparator && last > 0 && last + 1 < path.size()) {
        Require(ParentFolder(path, false) + "\\" + component == path);
        Require(!component.empty() && SeparatorPositions(component).empty());
    } else {
        Require(component.empty());
    }

    const std::string stripped = StripTrailingBackslash(path);
    if (path.size() > 1 && last == path.size() - 1)
        Require(stripped == path.substr(0, path.size() - 1));
    else
        Require(stripped == path);

    const std::size_t dot = path.rfind('.');
    const std::string wild = MakeExtensionPattern(path, 0);
    const std::string regex = MakeExtensionPattern(path, 1);
    if (dot == std::string::npos) {
        Require(wild.empty() && regex.empty());
    } else {
        const std::string suffix = path.substr(dot);
        Require(wild == "*" + suffix);
        Require(regex == "\\" + suffix + "$");
        Require(EndsWith(path, suffix) && suffix.find('.', 1) == std::string::npos);
    }

    Require(FolderDisplayForm(path) == (IsBareDrive(path) ? path + "\\" : path));
    return 0;
}
