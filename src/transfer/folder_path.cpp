#include "transfer/folder_path.h"

#include <windows.h>

#include "transfer/destination_paths.h"

namespace korvane {

void CreateFolderPath(const std::string& path) {
    for (const std::string& level : FolderLevels(path)) CreateDirectoryA(level.c_str(), nullptr);
}

}  // namespace korvane
