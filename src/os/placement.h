// Two ways of placing a dialog on the screen, kept inside the work area.
#pragma once
#include <windows.h>

namespace korvane {

// Centres the dialog over its parent; a dialog without a parent is not moved.
void CentreOverParent(HWND dialog);
// Puts the centre of the named control under the mouse pointer, or the dialog's own
// centre when there is no such control (id 0).
void PlaceNearCursor(HWND dialog, int controlId);

}  // namespace korvane
