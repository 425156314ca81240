// Placeholder until the registry store lands: the defaults of a fresh object stay.
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::LoadSettings() {}
void ShellExtension::SaveChoices() {}

}  // namespace korvane
