// Placeholder until the main dialog lands.
#include "dialog/main_dialog.h"
#include "shellext/shell_extension.h"

namespace korvane {

std::string ShellExtension::InitialPattern() const {
    if (initialPatternSource == 0 && mode == kExtensionMode) return extensionPattern;
    return patternHistory[mode & 1].empty() ? std::string() : patternHistory[mode & 1].front();
}

}  // namespace korvane

namespace korvane {

INT_PTR RunMainDialog(HWND, ShellExtension&) { return IDCANCEL; }
ActionKind ReadActionButtons(HWND) { return kSelectOnly; }
void ShowHelp(HWND, UINT, DWORD_PTR) {}

}  // namespace korvane
