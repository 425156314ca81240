// The one loop over the items of Explorer's list view, shared by the selection and
// the main dialog's count, and the ways its item record and text buffer reach the view.
#pragma once
#include <windows.h>

#include <functional>

namespace korvane {

enum class ViewTransport {
    kOwnProcess,     // the view is in this process: plain memory of ours
    kProcessBlocks,  // the NT family from Windows XP on: blocks allocated in the view's process
    kSharedMapping,  // the 9x family: a shared mapping, seen at one address by every process
};

// Given one item's text (at most kItemTextCapacity bytes, NUL-ended; empty when the
// view did not answer for the item), answers the item's selection state: LVIS_SELECTED or 0.
using ViewItemDecision = std::function<UINT(const char* text)>;

// Visits the view's items (ViewItemWalk) and reads each text through the transport,
// the buffer cleared before each request. With select, the state decide answers is set
// on each item (the focus is left as it was) and the view is redrawn at the end.
// When the transport's memory cannot be had, no item is asked for.
// An exception thrown by decide ends the loop, every block released.
void ForEachViewItem(HWND view, ViewTransport transport, bool select, const ViewItemDecision& decide);

}  // namespace korvane
