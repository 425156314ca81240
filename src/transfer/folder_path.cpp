#include "transfer/folder_path.h"

#include "os/files.h"
#include "transfer/destination_paths.h"

namespace korvane {

std::vector<std::u16string> CreateFolderPath(const std::u16string& path) {
    std::vector<std::u16string> made;
    for (std::u16string& level : FolderLevels(path))
        if (CreateOneFolder(level)) made.push_back(std::move(level));
    return made;
}

}  // namespace korvane
