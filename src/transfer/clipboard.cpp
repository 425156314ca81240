// Placeholder until the clipboard hand-off lands.
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::PutFilesOnClipboard(HWND) {}

}  // namespace korvane
