// Placeholder until the list-view bridge lands.
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::SelectInView(HWND) {}
void ShellExtension::SelectInViewShared(HWND) {}

}  // namespace korvane
