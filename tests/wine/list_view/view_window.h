// A top-level window holding a "SysListView32" with known items, as Explorer's file
// list would show them: used in the tests' own process and by the host program that
// shows it in another process.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace viewtest {

struct ViewItem {
    std::u16string text;  // as the view shows it in its first column
    bool selected = false;
    bool focused = false;
};

// The items as one line each: a flag character ('-' none, 's' selected, 'f' focused,
// 'b' both) and the text. Used to hand them to the host program in a file, whose
// bytes are these units.
std::u16string EncodeItems(const std::vector<ViewItem>& items);
std::vector<ViewItem> DecodeItems(const std::u16string& encoded);

inline constexpr char kHostWindowClass[] = "KorvaneViewTestHost";

// Creates the frame (titled as given) and its list view; the view is its only child.
// On the NT family the view is a Unicode window and gets its items with
// LVM_INSERTITEMW, so it holds texts outside the code page; on the 9x family it gets
// them with LVM_INSERTITEMA, in the code page's bytes.
HWND CreateViewWindow(const std::string& title, const std::vector<ViewItem>& items);
HWND ViewOf(HWND frame);

// Read through messages that carry no pointer, so they work across processes.
int ItemCount(HWND view);
std::vector<int> SelectedItems(HWND view);
int FocusedItem(HWND view);

}  // namespace viewtest
