// Where a copied or moved file goes, and which folder levels must exist for it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The destination of a matched file: root (the destination folder without its final
// separator) + the source path's part below currentFolder, so that files of
// subfolders keep their relative position. A current folder given with a final
// separator ("D:\") is cut like its bare form. A source that does not lie below
// currentFolder, which the scans never produce, has no destination: the answer is
// empty, never a name flattened into root.
std::u16string DestinationPathFor(std::u16string_view root, std::u16string_view currentFolder,
                                  std::u16string_view source);

// The part of the source below currentFolder that DestinationPathFor appends to
// root, without its leading separator; empty for a source outside currentFolder.
std::u16string PathBelow(std::u16string_view currentFolder, std::u16string_view source);

// The paths CreateFolderPath asks the system to create, outermost first: the text
// before every separator (not the first unit), then the whole path.
std::vector<std::u16string> FolderLevels(std::u16string_view path);

}  // namespace korvane
