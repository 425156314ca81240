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

// The part of the source below currentFolder that DestinationPathFor appends to
// root, without its leading separator; empty for a source outside currentFolder.
std::string PathBelow(const std::string& currentFolder, const std::string& source);

// Whether path is folder itself or lies below it, both in one spelling (full, with
// the case folded, no final separator; a drive root as "D:"). rest receives the
// part of path after folder: empty for the folder itself, else starting with its
// separator. Only a real separator ends a folder, never a 0x5C trail byte.
bool LiesInside(const std::string& path, const std::string& folder, std::string& rest);

// The paths CreateFolderPath asks the system to create, outermost first: the text
// before every real separator (not the first byte), then the whole path.
std::vector<std::string> FolderLevels(const std::string& path);

}  // namespace korvane
