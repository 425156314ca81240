// The settings dialog (106): the options of both modes.
#pragma once
#include <windows.h>

namespace korvane {

// Runs the dialog modally; 1 for OK (every option written), 2 for Cancel.
INT_PTR RunSettingsDialog(HWND owner);

}  // namespace korvane
