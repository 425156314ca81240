// The one loop over the items of Explorer's list view, shared by the selection and
// the main dialog's count: the walk over the items, the item record the view reads,
// the ways that record and the text buffer reach the view, and the final redraw.
// The texts are read with the W messages on the NT family, so a name outside the
// code page arrives exactly, and with the A messages on the 9x family.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string_view>

namespace korvane {

enum class ViewTransport {
    kOwnProcess,     // the view is in this process: plain memory of ours
    kProcessBlocks,  // the NT family from Windows XP on: blocks allocated in the view's process
    kSharedMapping,  // before Windows XP: a shared mapping, seen at one address by every process of the 9x family
};

// LVITEM as far as iIndent, the part the view reads for text and state, in either
// character set (LVITEMA and LVITEMW differ only in what pszText points to). The
// record is handed to another process, so its layout is that of the view's build and
// must not grow with the SDK's newer fields: 40 bytes in a 32-bit process, 56 in a
// 64-bit one, both asserted below whichever build this is.
struct ViewItemRecord {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    void* pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};
#ifdef _WIN64
static_assert(sizeof(ViewItemRecord) == 56, "the 64-bit record is 56 bytes");
static_assert(offsetof(ViewItemRecord, pszText) == 24 && offsetof(ViewItemRecord, cchTextMax) == 32 &&
                  offsetof(ViewItemRecord, lParam) == 40 && offsetof(ViewItemRecord, iIndent) == 48,
              "the 64-bit record's layout");
#else
static_assert(sizeof(ViewItemRecord) == 40, "the 32-bit record is 40 bytes");
static_assert(offsetof(ViewItemRecord, pszText) == 20 && offsetof(ViewItemRecord, cchTextMax) == 24 &&
                  offsetof(ViewItemRecord, lParam) == 32 && offsetof(ViewItemRecord, iIndent) == 36,
              "the 32-bit record's layout");
#endif
static_assert(offsetof(ViewItemRecord, state) == 12 && offsetof(ViewItemRecord, stateMask) == 16, "state fields");
static_assert(offsetof(ViewItemRecord, pszText) == offsetof(LVITEMW, pszText) &&
                  offsetof(ViewItemRecord, pszText) == offsetof(LVITEMA, pszText) &&
                  offsetof(ViewItemRecord, cchTextMax) == offsetof(LVITEMW, cchTextMax) &&
                  offsetof(ViewItemRecord, iIndent) == offsetof(LVITEMW, iIndent) &&
                  offsetof(ViewItemRecord, stateMask) == offsetof(LVITEMW, stateMask),
              "the system's LVITEM layout");

// The text buffer the view fills: 260 characters (UTF-16 units on the NT family,
// bytes of the code page on the 9x family); the local copy has room for one more,
// the NUL that ends it whatever the view wrote.
inline constexpr int kItemTextCapacity = 260;
inline constexpr std::size_t kItemTextBytes = (kItemTextCapacity + 1) * sizeof(char16_t);

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

// Given one item's text (empty when the view did not answer for the item), answers
// the item's selection state: LVIS_SELECTED or 0.
using ViewItemDecision = std::function<UINT(std::u16string_view text)>;

// Visits the view's items (ViewItemWalk) and reads each text through the transport,
// the buffer cleared before each request. With select, the state decide answers is
// set on each item (the focus is left as it was) and the view is redrawn at the end.
// When the transport's memory cannot be had, no item is asked for.
// An exception thrown by decide ends the loop, every block released.
void ForEachViewItem(HWND view, ViewTransport transport, bool select, const ViewItemDecision& decide);

// The transport for a view: our own memory when the view is ours, blocks of its
// process on the NT family from Windows XP on, the shared mapping before.
ViewTransport TransportFor(HWND view);

// Asks the view to redraw every item.
void RedrawViewItems(HWND view) noexcept;

}  // namespace korvane
