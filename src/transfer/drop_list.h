// The bytes of a file-drop list as the clipboard's CF_HDROP format carries it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/types.h"

namespace korvane {

// DROPFILES: pFiles, pt.x, pt.y, fNC, fWide, five 32-bit little-endian fields.
inline constexpr std::size_t kDropFilesHeaderSize = 20;

// The wide block: the header (paths at offset 20, no point, fWide 1), every path as
// UTF-16LE units followed by one NUL unit, and a second NUL unit that ends the list.
// Its size in bytes is 20 + 2 x (the sum of (length + 1) over the paths) + 2, taken
// from the paths themselves.
std::string BuildDropList(const std::vector<std::u16string>& paths);

// The ANSI block, the form the 9x family's shell reads: the header with fWide
// 0, every path's bytes followed by one NUL, and a second NUL that ends the list.
// Its size is 21 plus the sum of (length + 1) over the paths.
std::string BuildAnsiDropList(const std::vector<std::string>& ansiPaths);

// The "Preferred DropEffect" value: 2 (move) for cut to clipboard, 1 (copy) otherwise.
std::uint32_t PreferredDropEffect(ActionKind action);

}  // namespace korvane
