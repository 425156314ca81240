#include "transfer/destination_paths.h"

#include "match/path_text.h"

namespace korvane {

std::string DestinationPathFor(const std::string& root, const std::string& currentFolder,
                               const std::string& source) {
    // Every entry was built as currentFolder + "\" + the part below it: exactly the
    // folder's bytes come off. Whether the next byte is a separator is decided by
    // walking from the start, so a folder that ends inside a double-byte character
    // is no folder of the source.
    const std::string base = StripTrailingBackslash(currentFolder);
    if (source.compare(0, base.size(), base) != 0 || !IsSeparatorAt(source, base.size())) return std::string();
    // A doubled separator ("D:\" + "\" + name) is one separator.
    std::size_t rest = base.size();
    while (IsSeparatorAt(source, rest)) ++rest;
    if (rest >= source.size()) return std::string();
    return root + "\\" + source.substr(rest);
}

std::vector<std::string> FolderLevels(const std::string& path) {
    std::vector<std::string> levels;
    for (std::size_t p : SeparatorPositions(path))
        if (p > 0) levels.push_back(path.substr(0, p));
    levels.push_back(path);
    return levels;
}

}  // namespace korvane
