// The first path of a file-drop block (CF_HDROP) as a data object hands it over,
// read only as far as the block's own size allows. The block comes from another
// program: its header, its offset and every NUL that should close a path or the
// list are checked against that size before anything is read.
#pragma once
#include <cstddef>
#include <string>

namespace korvane {

struct DroppedPath {
    bool wide = false;
    std::u16string widePath;  // fWide 1: the path as UTF-16
    std::string ansiPath;     // fWide 0: the path's bytes in the system code page
};

// True with the first path when the block of `size` bytes holds the 20-byte header,
// a list offset inside the block, a first path that is not empty and is closed by its
// NUL, and a list closed by a second NUL, all before the block's end. A wide list
// must start on an even offset. False for anything else, nothing read past size.
bool ReadFirstDroppedPath(const unsigned char* block, std::size_t size, DroppedPath& path);

}  // namespace korvane
