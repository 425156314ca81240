#include "match/path_text.h"

#include <array>
#include <cstring>

namespace korvane {

namespace {

using LeadByteTable = std::array<bool, 256>;

constexpr LeadByteTable ShiftJisLeadBytes() {
    LeadByteTable table = {};
    for (int b = 0x81; b <= 0x9F; ++b) table[b] = true;
    for (int b = 0xE0; b <= 0xFC; ++b) table[b] = true;
    return table;
}

// Written once at start, read by every cut afterwards.
LeadByteTable leadBytes = ShiftJisLeadBytes();

// Calls visit(pos) for every real separator, walking forward so that a lead byte
// always takes the byte after it along.
template <typename Visit>
void ForEachSeparator(const std::string& path, Visit visit) {
    const std::size_t n = path.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(b)) {
            ++i;  // the trail byte, whatever its value
        } else if (b == '\\') {
            visit(i);
        }
    }
}

}  // namespace

void SetLeadByteRanges(const unsigned char* pairs, std::size_t size) {
    LeadByteTable table = {};
    for (std::size_t i = 0; i + 1 < size && (pairs[i] != 0 || pairs[i + 1] != 0); i += 2)
        for (unsigned b = pairs[i]; b <= pairs[i + 1] && b < table.size(); ++b) table[b] = true;
    leadBytes = table;
}

bool IsLeadByte(unsigned char b) { return leadBytes[b]; }

bool IsPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    const std::size_t n = name.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(b)) {
            if (i + 1 == n) return false;  // a character cut in half
            ++i;
        } else if (b < 0x20 || std::strchr("\\/:*?\"<>|", b)) {
            return false;
        }
    }
    // '.' and ' ' are never trail bytes: the last byte is the last character.
    return name.back() != '.' && name.back() != ' ';
}

std::vector<std::size_t> SeparatorPositions(const std::string& path) {
    std::vector<std::size_t> positions;
    ForEachSeparator(path, [&](std::size_t p) { positions.push_back(p); });
    return positions;
}

std::size_t LastSeparator(const std::string& path) {
    std::size_t last = kNoSeparator;
    ForEachSeparator(path, [&](std::size_t p) { last = p; });
    return last;
}

bool IsSeparatorAt(const std::string& path, std::size_t pos) {
    bool found = false;
    ForEachSeparator(path.substr(0, pos + 1), [&](std::size_t p) { found = found || p == pos; });
    return found;
}

bool IsBareDrive(const std::string& path) {
    return path.size() == 2 && path[1] == ':';
}

std::string ParentFolder(const std::string& path, bool keepRoot) {
    const std::size_t sep = LastSeparator(path);
    std::string parent;
    if (sep == kNoSeparator)
        parent = path;
    else if (sep > 0)
        parent = path.substr(0, sep);
    if (keepRoot && IsBareDrive(parent)) parent += '\\';
    return parent;
}

std::string StripTrailingBackslash(const std::string& path) {
    if (path.size() <= 1) return path;
    if (LastSeparator(path) == path.size() - 1) return path.substr(0, path.size() - 1);
    return path;
}

std::string LastPathComponent(const std::string& path) {
    const std::size_t sep = LastSeparator(path);
    if (sep == kNoSeparator || sep == 0 || sep + 1 >= path.size()) return std::string();
    return path.substr(sep + 1);
}

std::string MakeExtensionPattern(const std::string& path, std::uint32_t useRegex) {
    // '.' (0x2E) is never a trail byte, so a plain search from the end is safe.
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return std::string();
    const std::string suffix = path.substr(dot);
    return useRegex ? "\\" + suffix + "$" : "*" + suffix;
}

std::string FolderDisplayForm(const std::string& folder) {
    return IsBareDrive(folder) ? folder + "\\" : folder;
}

}  // namespace korvane
