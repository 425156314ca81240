// Where a copied or moved file goes, and which folder levels must exist for it.
#pragma once
#include <string>
#include <vector>

namespace korvane {

// The destination of a matched file: root (the destination folder without its final
// separator) + the source path's part below currentFolder, so that files of
// subfolders keep their relative position. A current folder given with a final
// separator ("D:\") is cut like its bare form. A source that does not lie below
// currentFolder, which the scans never produce, has no destination: the answer is
// empty, never a name flattened into root.
std::string DestinationPathFor(const std::string& root, const std::string& currentFolder,
                               const std::string& source);

// The paths CreateFolderPath asks the system to create, outermost first: the text
// before every real separator (not the first byte), then the whole path.
std::vector<std::string> FolderLevels(const std::string& path);

}  // namespace korvane
