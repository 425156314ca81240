// The match list from the file system: the files of one folder, or of every folder
// below it. The pattern is prepared once per scan (PreparedPattern answers as
// MatchName would for every name).
#include "match/folder_scan.h"

#include <string>
#include <string_view>

#include "match/match_name.h"
#include "common/path_text.h"
#include "os/files.h"

namespace korvane {

namespace {

bool IsDirectory(const FolderEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsSelfOrParent(std::u16string_view name) { return name == u"." || name == u".."; }

// A junction, a symbolic link or a mounted volume: following one could lead back up
// the tree and round until the path grows too long, collecting the same files again
// on every round. Every folder with the reparse-point bit is left out; the tag is not
// consulted, since Wine leaves dwReserved0 unset (its links to Unix folders carry
// only the bit).
bool IsLinkedFolder(const FolderEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// folder + "\" + name, as the scans spell every path.
std::u16string Joined(const std::u16string& folder, std::u16string_view name) {
    std::u16string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    path += u'\\';
    path += name;
    return path;
}

// A path the system's functions take without the "\\?\" form; a folder must leave
// room for its listing's "\*".
bool FitsFile(std::size_t pathUnits) { return pathUnits <= kMaxPathUnits; }
bool FitsFolder(std::size_t pathUnits) { return pathUnits + 2 <= kMaxPathUnits; }

}  // namespace

// Depth-first: everything below a subfolder is visited before the walk goes on
// with the next entry of the folder that holds it. A subfolder whose name cannot be
// used is not entered (its path would name another folder, or none); whatever it
// holds might match, so it is always reported, its name ending in a separator.
void ScanFiles(const std::u16string& folder, bool here, bool below, const ScanAccepts& accepts,
               const ScanTaken& taken, const ScanLeftOut& leftOut, const std::u16string& skipFolder) {
    FolderListing listing(folder);
    FolderEntry entry;
    while (listing.Next(entry)) {
        const std::u16string_view name = entry.name;
        const std::size_t pathUnits = folder.size() + 1 + name.size();
        if (IsDirectory(entry)) {
            if (!below || IsSelfOrParent(name) || IsLinkedFolder(entry)) continue;
            const bool plain = IsPlainName(name);
            if (!plain || !FitsFolder(pathUnits)) {
                if (leftOut)
                    leftOut(folder, std::u16string(name) + u"\\",
                            plain ? FailureReason::kPathTooLong : FailureReason::kNone);
                continue;
            }
            const std::u16string inner = Joined(folder, name);
            if (inner.size() == skipFolder.size() && FoldPathCase(inner) == skipFolder) continue;
            ScanFiles(inner, true, true, accepts, taken, leftOut, skipFolder);
        } else if (here && accepts(name)) {
            // An unusable name is tested as it reads, so that the user hears of the
            // files the pattern meant; it never becomes a path.
            const bool plain = IsPlainName(name);
            if (plain && FitsFile(pathUnits))
                taken(folder, name, entry.size);
            else if (leftOut)
                leftOut(folder, name, plain ? FailureReason::kPathTooLong : FailureReason::kNone);
        }
    }
}

namespace {

MatchList Scan(const std::u16string& folder, const PreparedPattern& pattern, bool here, bool below,
               const std::u16string& skipFolder) {
    MatchList list;
    ScanFiles(
        folder, here, below, [&](std::u16string_view name) { return pattern.Matches(name); },
        [&](const std::u16string& where, std::u16string_view name, std::uint64_t size) {
            std::u16string path = Joined(where, name);
            list.pathUnits += static_cast<std::uint32_t>(path.size() + 1);
            list.paths.push_back(std::move(path));
            list.sizes.push_back(size);
        },
        [&](const std::u16string& where, std::u16string_view name, FailureReason reason) {
            list.leftOut.push_back({where, std::u16string(name), reason});
        },
        skipFolder);
    return list;
}

}  // namespace

MatchList ScanFolder(const std::u16string& folder, const PreparedPattern& pattern) {
    return Scan(folder, pattern, true, false, std::u16string());
}

MatchList ScanTree(const std::u16string& folder, const PreparedPattern& pattern, bool addHere,
                   const std::u16string& leaveOut) {
    return Scan(folder, pattern, addHere, true, FoldPathCase(leaveOut));
}

}  // namespace korvane
