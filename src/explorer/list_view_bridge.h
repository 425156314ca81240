// Explorer's own file list before Windows 7: its items are read and the matching
// ones selected in the view, and their paths returned.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "match/match_list.h"

namespace korvane {

struct ViewRequest {
    std::u16string currentFolder;  // the folder the view shows
    std::u16string pattern;
    std::uint32_t useRegex = 0;
    // The paths of the matching files are collected (copy, move and the clipboard);
    // without it the matches are only selected (select only).
    bool collectPaths = true;
};

// Windows XP and later: the item record and the text lie in blocks of the view's process.
MatchList SelectInView(HWND view, const ViewRequest& request);
// Before Windows XP: they lie in a shared mapping, seen at one address by every process.
MatchList SelectInViewShared(HWND view, const ViewRequest& request);

}  // namespace korvane
