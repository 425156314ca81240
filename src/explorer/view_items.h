// What both ways of reaching Explorer's list view share: the item record the view
// reads, the walk over its items, the decision per item and the final redraw.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace korvane {

class ShellExtension;

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

// Visits the view's items in the view's order. The walk also ends when the view
// answers an index that is not past the previous one: a view destroyed while the
// command ran answers 0 to every message, and would otherwise be asked forever.
class ViewItemWalk {
public:
    explicit ViewItemWalk(HWND view) noexcept : view_(view) {}
    bool Next(int& index) noexcept;

private:
    HWND view_;
    int previous_ = -1;
};

// Tests one item's text against the pattern. On a match it answers LVIS_SELECTED and,
// unless the action is select only, appends currentFolder + "\" + text to the match
// list; otherwise it answers 0. An empty text (an item the view did not answer for)
// never matches: it names no file.
UINT TakeViewItem(ShellExtension& extension, const char* text);

// Asks the view to redraw every item.
void RedrawViewItems(HWND view) noexcept;

}  // namespace korvane
