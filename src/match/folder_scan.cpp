// The match list from the file system: the files of one folder, or of every folder
// below it. The pattern is prepared once per scan (PreparedPattern answers as
// MatchName would for every name).
#include <string>
#include <string_view>

#include "common/unique_handle.h"
#include "match/exact_ansi.h"
#include "match/folder_scan.h"
#include "match/match_name.h"
#include "match/path_case.h"
#include "match/path_text.h"

namespace korvane {

namespace {

// One entry of a folder as the scans see it. On the NT family the names come from
// the UTF-16 listing: name is its ANSI form, and usable says that this form is exact
// and a plain name, so that folder + "\" + name opens this entry and nothing else.
// Otherwise name is the lossy form ('?' for what the code page cannot hold), good
// for matching and showing, never for a path.
struct FolderEntry {
    std::string_view name;
    DWORD attributes;
    bool usable;
    std::uint64_t size;
};

template <typename FindData>
std::uint64_t SizeOf(const FindData& entry) {
    return (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

bool ListsUtf16Names() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Bounded by the array, should a name ever arrive without its NUL.
template <typename Char, std::size_t N>
std::size_t NameLength(const Char (&name)[N]) {
    std::size_t length = 0;
    while (length < N && name[length]) ++length;
    return length;
}

// Calls visit for every entry of the folder, the first one included; a folder that
// cannot be enumerated has none, and any failure of FindNext ends the list. The 9x
// family has no UTF-16 listing: its ANSI names are the file system's own.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    if (!ListsUtf16Names()) {
        WIN32_FIND_DATAA entry;
        UniqueFind find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
        if (!find) return;
        do {
            visit(FolderEntry{std::string_view(entry.cFileName, NameLength(entry.cFileName)),
                              entry.dwFileAttributes, true, SizeOf(entry)});
        } while (FindNextFileA(find.Get(), &entry));
        return;
    }
    const std::string pattern = folder + "\\*";
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, nullptr, 0);
    if (wideLength <= 0) return;
    std::wstring widePattern(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, &widePattern[0], wideLength);
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW(widePattern.c_str(), &entry));
    if (!find) return;
    std::string name;  // one buffer for the whole folder
    do {
        const bool exact = ToExactAnsi(entry.cFileName, NameLength(entry.cFileName), name);
        visit(FolderEntry{name, entry.dwFileAttributes, exact && IsPlainName(name), SizeOf(entry)});
    } while (FindNextFileW(find.Get(), &entry));
}

bool IsDirectory(const FolderEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsSelfOrParent(std::string_view name) { return name == "." || name == ".."; }

// A junction, a symbolic link or a mounted volume: following one could lead back up
// the tree and round until the path grows too long, collecting the same files again
// on every round. Every folder with the reparse-point bit is left out; the tag is not
// consulted, since Wine leaves dwReserved0 unset (its links to Unix folders carry
// only the bit).
bool IsLinkedFolder(const FolderEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

// Depth-first: everything below a subfolder is visited before the walk goes on
// with the next entry of the folder that holds it. A subfolder whose name cannot be
// used is not entered (its path would name another folder, or none); whatever it
// holds might match, so it is always reported, its name ending in a separator.
void ScanFiles(const std::string& folder, bool here, bool below, const ScanAccepts& accepts, const ScanTaken& taken,
               const ScanLeftOut& leftOut, const std::string& skipFolder) {
    ForEachEntry(folder, [&](const FolderEntry& entry) {
        const std::string_view name = entry.name;
        if (IsDirectory(entry)) {
            if (!below || IsSelfOrParent(name) || IsLinkedFolder(entry)) return;
            if (!entry.usable) {
                if (leftOut) leftOut(folder, std::string(name) + "\\");
                return;
            }
            std::string inner = folder;
            inner += '\\';
            inner += name;
            if (inner.size() == skipFolder.size() && FoldPathCase(inner) == skipFolder) return;
            ScanFiles(inner, true, true, accepts, taken, leftOut, skipFolder);
        } else if (here && accepts(name)) {
            // An unusable name is tested as it reads, so that the user hears of the
            // files the pattern meant; it never becomes a path.
            if (entry.usable)
                taken(folder, name, entry.size);
            else if (leftOut)
                leftOut(folder, name);
        }
    });
}

namespace {

MatchList Scan(const std::string& folder, const PreparedPattern& pattern, bool here, bool below,
               const std::string& skipFolder) {
    MatchList list;
    ScanFiles(
        folder, here, below, [&](std::string_view name) { return pattern.Matches(name); },
        [&](const std::string& where, std::string_view name, std::uint64_t size) {
            std::string path;
            path.reserve(where.size() + 1 + name.size());
            path += where;
            path += '\\';
            path += name;
            list.pathBytes += static_cast<std::uint32_t>(path.size() + 1);
            list.paths.push_back(std::move(path));
            list.sizes.push_back(size);
        },
        [&](const std::string& where, std::string_view name) { list.leftOut.push_back({where, std::string(name)}); },
        skipFolder);
    return list;
}

}  // namespace

MatchList ScanFolder(const std::string& folder, const PreparedPattern& pattern) {
    return Scan(folder, pattern, true, false, std::string());
}

MatchList ScanTree(const std::string& folder, const PreparedPattern& pattern, bool addHere,
                   const std::string& leaveOut) {
    return Scan(folder, pattern, addHere, true, FoldPathCase(leaveOut));
}

}  // namespace korvane
