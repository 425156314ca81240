// What the selection and the count decide for each item of Explorer's list view.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <unordered_set>

#include "match/match_list.h"

namespace korvane {

class PreparedPattern;
struct ViewRequest;

// The paths collected so far in one walk, so that two items giving one path (hidden
// extensions) are collected once.
using TakenPaths = std::unordered_set<std::u16string>;

// Tests one item's text against the request's pattern (prepared as matcher). On a
// match it answers LVIS_SELECTED and, when the request collects paths, appends
// currentFolder + "\" + text to list (its size unknown), except when that path is
// taken already or names an existing folder (a folder whose name matches stays
// selected, but a move must not take it with everything it holds). A matching text
// that is no plain name (a separator, "..", a final dot, a device name) names no
// file of the folder: it is not selected and is left out, reported like the scans'
// unusable names; so is a path too long for the system. Otherwise 0. An empty text
// (an item the view did not answer for) never matches: it names no file.
UINT TakeViewItem(const ViewRequest& request, const PreparedPattern& matcher, std::u16string_view text,
                  TakenPaths& taken, MatchList& list);

}  // namespace korvane
