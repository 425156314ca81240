// Text on the screen: the string table, message boxes, window and control texts,
// combo box items, menu items, list-view columns and cells, text extents, and the
// creation of the dialogs themselves. On the NT family dialogs are Unicode windows
// (DialogBoxParamW and CreateDialogParamW with the same templates) and every text
// goes through the W functions exactly; on the 9x family the A functions get the
// code page's form of the text.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace korvane {

// The string-table entry from the module's resources, at most 260 units; empty when
// it is missing.
std::u16string LoadResourceString(UINT id);

// A message box with the product's caption; icon is MB_ICONHAND, MB_ICONEXCLAMATION...
void ShowMessage(HWND owner, const std::u16string& text, UINT icon);
// The product's icon on a dialog's caption and in the task switcher.
void SetProductIcon(HWND dialog);

// Dialogs from the module's templates; the procedure gets parameter with WM_INITDIALOG.
INT_PTR RunModalDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter);
HWND CreateModelessDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter);

void SetWindowTextOf(HWND window, const std::u16string& text);
std::u16string WindowTextOf(HWND window);
void SetItemText(HWND dialog, int id, const std::u16string& text);

void AddComboItem(HWND combo, const std::u16string& text);
// The text of one item of the combo box's list; empty when there is no such item.
std::u16string ComboItemText(HWND combo, int index);

bool InsertMenuText(HMENU menu, UINT position, UINT flags, UINT_PTR id, const std::u16string& text);

// A report-view column with the given title and width.
void InsertListColumn(HWND list, int index, int width, const std::u16string& title);
// Answers a list view's request for a cell's text (LVN_GETDISPINFO in either
// character set) with cell(item, subItem). False when the notification was not one.
bool AnswerCellText(LPARAM notification, const std::function<std::u16string(int item, int subItem)>& cell);

// The width and height of the text drawn in the font on the window's device context.
SIZE TextExtent(HWND window, HFONT font, const std::u16string& text);
// A font like base, its height scaled by room / extent (a shade smaller still: glyph
// widths do not shrink quite in step), so that a text of that extent fits the room;
// null when none can be made.
HFONT CreateShrunkFont(HFONT base, LONG room, LONG extent);

// Browse for a folder: the shell's folder browser owned by owner, rooted at the
// desktop, file-system folders only, opened on start. True with the chosen folder's
// path, false when the user cancels or the choice has no path.
bool BrowseForFolder(HWND owner, const std::u16string& title, const std::u16string& start, std::u16string& chosen);

}  // namespace korvane
