// Placeholder until the folder scans land.
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::CollectFolder(std::string) {
    matchPaths.clear();
    matchPathBytes = 0;
}
void ShellExtension::CollectSubfolders(std::string, std::uint32_t) {}

}  // namespace korvane
