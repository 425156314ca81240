#include "transfer/drop_list.h"

namespace korvane {

namespace {

void AppendLittleEndian(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

std::string BuildDropList(const std::vector<std::string>& paths) {
    std::size_t size = kDropFilesHeaderSize + 1;
    for (const auto& path : paths) size += path.size() + 1;

    std::string block;
    block.reserve(size);
    AppendLittleEndian(block, static_cast<std::uint32_t>(kDropFilesHeaderSize));  // pFiles
    AppendLittleEndian(block, 0);                                                  // pt.x
    AppendLittleEndian(block, 0);                                                  // pt.y
    AppendLittleEndian(block, 0);                                                  // fNC
    AppendLittleEndian(block, 0);  // fWide: the paths are bytes of the ANSI code page
    for (const auto& path : paths) {
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
