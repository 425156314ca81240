// The main dialog's running summary of what OK will do (control 1016).
#pragma once
#include <windows.h>

namespace korvane {

struct MainDialogState;

// Rebuilds the summary from the dialog's controls and its state. notification is
// the wParam of the WM_COMMAND being handled, 0 when there is none.
void BuildSummaryText(HWND dialog, WPARAM notification, const MainDialogState& state);

}  // namespace korvane
