#include "transfer/destination_paths.h"

#include "common/path_text.h"

namespace korvane {

std::u16string PathBelow(std::u16string_view currentFolder, std::u16string_view source) {
    // Every entry was built as currentFolder + "\" + the part below it: exactly the
    // folder's units come off, and a separator must follow them, so that a folder
    // whose name only begins the source's ("E:\src" before "E:\srcx\b") is no
    // folder of the source.
    const std::u16string base = StripTrailingBackslash(currentFolder);
    if (source.substr(0, base.size()) != base || !IsSeparatorAt(source, base.size())) return std::u16string();
    // A doubled separator ("D:\" + "\" + name) is one separator.
    std::size_t rest = base.size();
    while (IsSeparatorAt(source, rest)) ++rest;
    return std::u16string(source.substr(rest));
}

std::u16string DestinationPathFor(std::u16string_view root, std::u16string_view currentFolder,
                                  std::u16string_view source) {
    const std::u16string below = PathBelow(currentFolder, source);
    if (below.empty()) return std::u16string();
    std::u16string destination(root);
    destination += u'\\';
    destination += below;
    return destination;
}

std::vector<std::u16string> FolderLevels(std::u16string_view path) {
    std::vector<std::u16string> levels;
    for (std::size_t p : SeparatorPositions(path))
        if (p > 0) levels.emplace_back(path.substr(0, p));
    levels.emplace_back(path);
    return levels;
}

}  // namespace korvane
