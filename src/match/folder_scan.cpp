// The match list from the file system: the files of one folder, or of every folder
// below it. The pattern is prepared once per scan (PreparedPattern answers as
// MatchName would for every name).
#include <cstring>
#include <string_view>

#include "common/unique_handle.h"
#include "match/folder_scan.h"
#include "match/match_name.h"
#include "shellext/shell_extension.h"

namespace korvane {

namespace {

// Calls visit for every entry of the folder, the first one included; a folder that
// cannot be enumerated has none, and any failure of FindNextFileA ends the list.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA entry;
    UniqueFind find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
    if (!find) return;
    do {
        visit(entry);
    } while (FindNextFileA(find.Get(), &entry));
}

// Bounded by the array, should a name ever arrive without its NUL.
std::string_view EntryName(const WIN32_FIND_DATAA& entry) {
    const void* end = std::memchr(entry.cFileName, 0, sizeof entry.cFileName);
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - entry.cFileName)
                                   : sizeof entry.cFileName;
    return std::string_view(entry.cFileName, length);
}

bool IsDirectory(const WIN32_FIND_DATAA& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsSelfOrParent(std::string_view name) { return name == "." || name == ".."; }

// A junction, a symbolic link or a mounted volume: following one could lead back up
// the tree and round until the path grows too long, collecting the same files again
// on every round. Every folder with the reparse-point bit is left out; the tag is not
// consulted, since Wine leaves dwReserved0 unset (its links to Unix folders carry
// only the bit).
bool IsLinkedFolder(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

// Depth-first: everything below a subfolder is visited before the walk goes on
// with the next entry of the folder that holds it.
void ScanFiles(const std::string& folder, bool here, bool below, const ScanAccepts& accepts, const ScanTaken& taken) {
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
        const std::string_view name = EntryName(entry);
        if (IsDirectory(entry)) {
            if (!below || IsSelfOrParent(name) || IsLinkedFolder(entry)) return;
            std::string inner = folder;
            inner += '\\';
            inner += name;
            ScanFiles(inner, true, true, accepts, taken);
        } else if (here && accepts(name)) {
            taken(folder, name);
        }
    });
}

void ShellExtension::CollectFolder(std::string folder) {
    matchPaths.clear();
    matchPathBytes = 0;
    const PreparedPattern matcher(pattern, useRegex);
    std::string path = folder + "\\";
    const std::size_t folderPart = path.size();
    ScanFiles(
        folder, true, false, [&](std::string_view name) { return matcher.Matches(name); },
        [&](const std::string&, std::string_view name) {
            path.resize(folderPart);
            path += name;
            matchPaths.push_back(path);
            matchPathBytes += static_cast<std::uint32_t>(path.size() + 1);
        });
}

// matchPathBytes stays as it is: only the folder actions follow a subfolder scan,
// and they do not read it.
void ShellExtension::CollectSubfolders(std::string folder, std::uint32_t addHere) {
    const PreparedPattern matcher(pattern, useRegex);
    ScanFiles(
        folder, addHere != 0, true, [&](std::string_view name) { return matcher.Matches(name); },
        [&](const std::string& where, std::string_view name) {
            std::string path = where;
            path += '\\';
            path += name;
            matchPaths.push_back(std::move(path));
        });
}

}  // namespace korvane
