#include "transfer/drop_list.h"

namespace korvane {

namespace {

void AppendLittleEndian(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// The low byte first, whatever the host's own order.
void AppendUnit(std::string& out, char16_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

void AppendHeader(std::string& block, bool wide) {
    AppendLittleEndian(block, static_cast<std::uint32_t>(kDropFilesHeaderSize));  // pFiles
    AppendLittleEndian(block, 0);                                                  // pt.x
    AppendLittleEndian(block, 0);                                                  // pt.y
    AppendLittleEndian(block, 0);                                                  // fNC
    AppendLittleEndian(block, wide ? 1 : 0);                                       // fWide
}

}  // namespace

std::string BuildDropList(const std::vector<std::u16string>& paths) {
    std::size_t units = 1;
    for (const auto& path : paths) units += path.size() + 1;

    std::string block;
    block.reserve(kDropFilesHeaderSize + 2 * units);
    AppendHeader(block, true);
    for (const auto& path : paths) {
        for (char16_t unit : path) AppendUnit(block, unit);
        AppendUnit(block, 0);
    }
    AppendUnit(block, 0);  // the list ends with a second NUL
    return block;
}

std::string BuildAnsiDropList(const std::vector<std::string>& ansiPaths) {
    std::size_t size = kDropFilesHeaderSize + 1;
    for (const auto& path : ansiPaths) size += path.size() + 1;

    std::string block;
    block.reserve(size);
    AppendHeader(block, false);
    for (const auto& path : ansiPaths) {
        block += path;
        block.push_back('\0');
    }
    block.push_back('\0');  // the list ends with a second NUL
    return block;
}

std::uint32_t PreferredDropEffect(ActionKind action) {
    constexpr std::uint32_t kDropEffectCopy = 1;
    constexpr std::uint32_t kDropEffectMove = 2;
    return action == kCutToClipboard ? kDropEffectMove : kDropEffectCopy;
}

}  // namespace korvane
