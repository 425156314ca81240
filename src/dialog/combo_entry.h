// The text of one of the main dialog's editable combo boxes as OK would read it.
#pragma once
#include <windows.h>

#include <string>

namespace korvane {

// While CBN_SELCHANGE is being handled the combo's edit field still shows the old
// text, so a pick from the list (command is the WM_COMMAND's wParam) is read from
// the list item itself; otherwise the edit text, as much of it as the dialog's
// 260-unit buffers hold.
std::u16string ComboEntryText(HWND dialog, int id, WPARAM command);

}  // namespace korvane
