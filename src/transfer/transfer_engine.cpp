// Placeholder until the transfer engine lands.
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::RunTransfer(HWND) {}

}  // namespace korvane
