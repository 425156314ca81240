#include "transfer/destination_paths.h"

#include "match/path_text.h"

namespace korvane {

std::string PathBelow(const std::string& currentFolder, const std::string& source) {
    // Every entry was built as currentFolder + "\" + the part below it: exactly the
    // folder's bytes come off. Whether the next byte is a separator is decided by
    // walking from the start, so a folder that ends inside a double-byte character
    // is no folder of the source.
    const std::string base = StripTrailingBackslash(currentFolder);
    if (source.compare(0, base.size(), base) != 0 || !IsSeparatorAt(source, base.size())) return std::string();
    // A doubled separator ("D:\" + "\" + name) is one separator.
    std::size_t rest = base.size();
    while (IsSeparatorAt(source, rest)) ++rest;
    return source.substr(rest);
}

std::string DestinationPathFor(const std::string& root, const std::string& currentFolder,
                               const std::string& source) {
    const std::string below = PathBelow(currentFolder, source);
    if (below.empty()) return std::string();
    return root + "\\" + below;
}

bool LiesInside(const std::string& path, const std::string& folder, std::string& rest) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
    if (path.size() == folder.size()) {
        rest.clear();
        return true;
    }
    if (!IsSeparatorAt(path, folder.size())) return false;
    rest = path.substr(folder.size());
    return true;
}

std::vector<std::string> FolderLevels(const std::string& path) {
    std::vector<std::string> levels;
    for (std::size_t p : SeparatorPositions(path))
        if (p > 0) levels.push_back(path.substr(0, p));
    levels.push_back(path);
    return levels;
}

}  // namespace korvane
