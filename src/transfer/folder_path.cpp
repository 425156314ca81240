#include "transfer/folder_path.h"

#include <windows.h>

#include "transfer/destination_paths.h"

namespace korvane {

std::vector<std::string> CreateFolderPath(const std::string& path) {
    std::vector<std::string> made;
    for (std::string& level : FolderLevels(path))
        if (CreateDirectoryA(level.c_str(), nullptr)) made.push_back(std::move(level));
    return made;
}

}  // namespace korvane
