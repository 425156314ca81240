// Small helpers every part of the extension shares: the string loader, the Windows
// version probes and two ways of placing a dialog.
#pragma once
#include <windows.h>

#include <string>

namespace korvane {

// The string-table entry from the module's resources; empty when it is missing.
std::string LoadResourceString(UINT id);

// A message box with the product's caption; icon is MB_ICONHAND, MB_ICONEXCLAMATION...
void ShowMessage(HWND owner, const std::string& text, UINT icon);
// The product's icon on a dialog's caption and in the task switcher.
void SetProductIcon(HWND dialog);

// Version probes, evaluated afresh at every call. On the 9x family all are false.
bool IsWindowsXpOrLater();     // NT 5.1 or later
bool IsWindowsVistaOrLater();  // NT 6.0 or later
bool IsWindows7OrLater();      // NT 6.1 or later

// Centres the dialog over its parent; a dialog without a parent is not moved.
void CentreOverParent(HWND dialog);
// Puts the centre of the named control under the mouse pointer, or the dialog's own
// centre when there is no such control (id 0).
void PlaceNearCursor(HWND dialog, int controlId);

}  // namespace korvane
