#include "shellext/drop_block.h"

#include <cstdint>

namespace korvane {

namespace {

constexpr std::size_t kHeaderSize = 20;  // pFiles, pt.x, pt.y, fNC, fWide

std::uint32_t LittleEndian32(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// Walks the list of NUL-terminated strings from offset, each character `unit` bytes,
// until the empty string that closes it. False when the block ends first; first gets
// the extent of the first string.
bool ListIsClosed(const unsigned char* block, std::size_t size, std::size_t offset, std::size_t unit,
                  std::size_t& firstLength) {
    bool first = true;
    std::size_t at = offset;
    for (;;) {
        std::size_t length = 0;
        for (;;) {
            if (size - at < unit) return false;  // no room for the next character
            bool nul = true;
            for (std::size_t i = 0; i < unit; ++i) nul = nul && block[at + i] == 0;
            at += unit;
            if (nul) break;
            ++length;
        }
        if (first) {
            firstLength = length;
            first = false;
        }
        if (length == 0) return true;  // the second NUL
    }
}

}  // namespace

bool ReadFirstDroppedPath(const unsigned char* block, std::size_t size, DroppedPath& path) {
    if (!block || size < kHeaderSize) return false;
    const std::uint32_t offset = LittleEndian32(block);
    const bool wide = LittleEndian32(block + 16) != 0;
    if (offset < kHeaderSize || offset >= size) return false;
    const std::size_t unit = wide ? 2 : 1;
    if (wide && offset % 2 != 0) return false;
    std::size_t length = 0;
    if (!ListIsClosed(block, size, offset, unit, length) || length == 0) return false;
    path.wide = wide;
    if (wide) {
        path.widePath.resize(length);
        for (std::size_t i = 0; i < length; ++i)
            path.widePath[i] = static_cast<char16_t>(block[offset + 2 * i] | block[offset + 2 * i + 1] << 8);
        path.ansiPath.clear();
    } else {
        path.ansiPath.assign(reinterpret_cast<const char*>(block + offset), length);
        path.widePath.clear();
    }
    return true;
}

}  // namespace korvane
