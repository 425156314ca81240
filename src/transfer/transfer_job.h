// A copy or move as the command hands it to the transfer: what to do, with which
// files, where to, and by which same-name rule.
#pragma once
#include <cstdint>
#include <string>

#include "match/match_list.h"
#include "common/types.h"

namespace korvane {

struct TransferJob {
    ActionKind action = kCopyToFolder;  // kCopyToFolder or kMoveToFolder
    std::u16string currentFolder;       // the folder the matches were found in
    std::u16string destinationFolder;   // effective destination
    SameFileAction sameFileAction = kAskBeforeOverwrite;
    // The matching files of currentFolder itself are looked for by the run (off
    // Explorer's thread, with the progress dialog up) and added to matches.
    bool collectHere = false;
    // Likewise those of every folder below currentFolder (the destination's own tree
    // left out), after the files of matches.
    bool includeSubfolders = false;
    std::u16string pattern;
    std::uint32_t useRegex = 0;
    MatchList matches;
};

}  // namespace korvane
