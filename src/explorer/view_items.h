// What every way of reaching Explorer's list view shares: the item record the view
// reads, the walk over its items, the decision per item and the final redraw.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <unordered_set>

#include "match/match_list.h"

namespace korvane {

class PreparedPattern;
struct ViewRequest;

// LVITEMA as far as iIndent, the part the view reads for text and state. 40 bytes in
// the 32-bit build, as every version of the control accepts; the 64-bit build has the
// same fields at their native widths and alignment (56 bytes), as a 64-bit view
// expects them. The record is handed to another process, so it must not grow with
// the SDK's newer LVITEMA fields.
struct ViewItemRecord {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};
static_assert(offsetof(ViewItemRecord, state) == offsetof(LVITEMA, state), "LVITEMA layout");
static_assert(offsetof(ViewItemRecord, stateMask) == offsetof(LVITEMA, stateMask), "LVITEMA layout");
static_assert(offsetof(ViewItemRecord, pszText) == offsetof(LVITEMA, pszText), "LVITEMA layout");
static_assert(offsetof(ViewItemRecord, cchTextMax) == offsetof(LVITEMA, cchTextMax), "LVITEMA layout");
static_assert(offsetof(ViewItemRecord, iIndent) == offsetof(LVITEMA, iIndent), "LVITEMA layout");
static_assert(sizeof(void*) != 4 || sizeof(ViewItemRecord) == 40, "the 32-bit record is 40 bytes");

// The text buffer the view fills: 260 bytes; the local copy has one more for the NUL
// that ends it whatever the view wrote.
inline constexpr int kItemTextCapacity = 260;

// Visits the view's items in the view's order, at most as many as the view had
// when the walk began. The walk also ends when the view answers an index that is not
// past the previous one: a view destroyed while the command ran answers 0 to every
// message, and would otherwise be asked forever.
class ViewItemWalk {
public:
    explicit ViewItemWalk(HWND view) noexcept;
    bool Next(int& index) noexcept;

private:
    HWND view_;
    int previous_ = -1;
    int left_;  // items still to visit
};

// The paths collected so far in one walk, so that two items giving one path (hidden
// extensions) are collected once.
using TakenPaths = std::unordered_set<std::string>;

// Tests one item's text against the request's pattern (prepared as matcher). On a
// match it answers LVIS_SELECTED and, when the request collects paths, appends
// currentFolder + "\" + text to list (its size unknown), except when that path is
// taken already or names an existing folder (a folder whose name matches stays
// selected, but a move must not take it with everything it holds). A matching text that is no plain name (a separator, "..", a final dot)
// names no file of the folder: it is not selected and is left out, reported like
// the scans' unusable names. Otherwise 0. An empty text (an item the view did not
// answer for) never matches: it names no file.
UINT TakeViewItem(const ViewRequest& request, const PreparedPattern& matcher, const char* text, TakenPaths& taken,
                  MatchList& list);

// Asks the view to redraw every item.
void RedrawViewItems(HWND view) noexcept;

}  // namespace korvane
