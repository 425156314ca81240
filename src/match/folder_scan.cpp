// The match list from the file system: the files of one folder, or of every folder
// below it. The pattern is prepared once per scan (PreparedPattern answers as
// MatchName would for every name).
#include "match/folder_scan.h"

#include <string>
#include <string_view>

#include "common/path_text.h"
#include "match/linked_folder.h"
#include "match/match_name.h"
#include "os/files.h"

namespace korvane {

namespace {

bool IsDirectory(const FolderEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsSelfOrParent(std::u16string_view name) { return name == u"." || name == u".."; }

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
void ScanFiles(const std::u16string& folder, bool here, bool below, const ScanVisitor& visitor,
               const std::u16string& skipFolder) {
    const auto stopAsked = [&] { return visitor.cancel && *visitor.cancel != 0; };
    if (stopAsked()) throw ScanStopped();
    FolderListing listing(folder);
    FolderEntry entry;
    while (listing.Next(entry)) {
        if (stopAsked()) throw ScanStopped();
        const std::u16string_view name = entry.name;
        const std::size_t pathUnits = folder.size() + 1 + name.size();
        if (IsDirectory(entry)) {
            if (!below || IsSelfOrParent(name)) continue;
            if (IsLinkedFolder(entry.attributes, entry.reparseTag)) {
                if (visitor.linkSkipped) visitor.linkSkipped();
                continue;
            }
            const bool plain = IsPlainName(name);
            if (!plain || !FitsFolder(pathUnits)) {
                if (visitor.leftOut)
                    visitor.leftOut(folder, std::u16string(name) + u"\\",
                                    plain ? FailureReason::kPathTooLong : FailureReason::kNone);
                continue;
            }
            const std::u16string inner = Joined(folder, name);
            if (inner.size() == skipFolder.size() && FoldPathCase(inner) == skipFolder) continue;
            ScanFiles(inner, true, true, visitor, skipFolder);
        } else if (here && visitor.accepts(name)) {
            // An unusable name is tested as it reads, so that the user hears of the
            // files the pattern meant; it never becomes a path.
            const bool plain = IsPlainName(name);
            if (plain && FitsFile(pathUnits))
                visitor.taken(folder, name, entry.size);
            else if (visitor.leftOut)
                visitor.leftOut(folder, name, plain ? FailureReason::kPathTooLong : FailureReason::kNone);
        }
    }
}

void ScanFiles(const std::u16string& folder, bool here, bool below, const ScanAccepts& accepts,
               const ScanTaken& taken, const ScanLeftOut& leftOut, const std::u16string& skipFolder) {
    ScanVisitor visitor;
    visitor.accepts = accepts;
    visitor.taken = taken;
    visitor.leftOut = leftOut;
    ScanFiles(folder, here, below, visitor, skipFolder);
}

namespace {

MatchList Scan(const std::u16string& folder, const PreparedPattern& pattern, bool here, bool below,
               const std::u16string& skipFolder) {
    MatchList list;
    ScanFiles(folder, here, below, CollectingVisitor(list, pattern, nullptr), skipFolder);
    return list;
}

}  // namespace

ScanVisitor CollectingVisitor(MatchList& list, const PreparedPattern& pattern, const volatile long* cancel) {
    ScanVisitor visitor;
    visitor.accepts = [&](std::u16string_view name) { return pattern.Matches(name); };
    visitor.taken = [&](const std::u16string& where, std::u16string_view name, std::uint64_t size) {
        std::u16string path = Joined(where, name);
        list.pathUnits += static_cast<std::uint32_t>(path.size() + 1);
        list.paths.push_back(std::move(path));
        list.sizes.push_back(size);
    };
    visitor.leftOut = [&](const std::u16string& where, std::u16string_view name, FailureReason reason) {
        list.leftOut.push_back({where, std::u16string(name), reason});
    };
    visitor.linkSkipped = [&] { ++list.linkedFolders; };
    visitor.cancel = cancel;
    return visitor;
}

MatchList ScanFolder(const std::u16string& folder, const PreparedPattern& pattern) {
    return Scan(folder, pattern, true, false, std::u16string());
}

MatchList ScanTree(const std::u16string& folder, const PreparedPattern& pattern, bool addHere,
                   const std::u16string& leaveOut) {
    return Scan(folder, pattern, addHere, true, FoldPathCase(leaveOut));
}

}  // namespace korvane
