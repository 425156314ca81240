// Placeholder until the main dialog lands.
#include "shellext/shell_extension.h"

namespace korvane {

std::string ShellExtension::InitialPattern() const {
    if (initialPatternSource == 0 && mode == kExtensionMode) return extensionPattern;
    return patternHistory[mode & 1].empty() ? std::string() : patternHistory[mode & 1].front();
}

}  // namespace korvane
