// Placeholder until the settings dialog lands.
#include "settings/settings_dialog.h"

namespace korvane {

INT_PTR RunSettingsDialog(HWND) { return IDCANCEL; }

}  // namespace korvane
