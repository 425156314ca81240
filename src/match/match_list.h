// The files a command acts on, as the scans or Explorer's view found them, with the
// matching names that could not be used as paths.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/types.h"

namespace korvane {

struct MatchList {
    std::vector<std::u16string> paths;
    // Beside paths, one each: the size the scan's listing gave, so that the transfer
    // does not ask again; kSizeUnknown where no scan listed the file (Explorer's view).
    std::vector<std::uint64_t> sizes;
    std::uint32_t pathUnits = 0;       // sum over paths of (length in UTF-16 units + 1)
    std::vector<LeftOutName> leftOut;  // matched, but never to be opened: reported instead
    // Folders a subfolder scan did not enter because they lead elsewhere (links,
    // junctions, mount points): whatever they hold is not in the list.
    std::uint32_t linkedFolders = 0;
};

// Appends more to list, keeping paths and sizes side by side.
void AppendMatches(MatchList& list, MatchList&& more);

}  // namespace korvane
