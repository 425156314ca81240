// The file system as the extension uses it: listing, finding, copying, moving,
// creating folders, attributes, full and long paths and the system's case folding.
// Paths are UTF-16. On the NT family the W functions get them as they are; on the
// 9x family a path goes to the A functions only when the code page holds it exactly,
// otherwise the call fails with ERROR_INVALID_NAME and touches nothing.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/unique_handle.h"

namespace korvane {

// The longest path the system's functions take without the "\\?\" form: MAX_PATH
// units with the NUL. A folder to be created must leave room for a short name in it.
inline constexpr std::size_t kMaxPathUnits = MAX_PATH - 1;
inline constexpr std::size_t kMaxFolderUnits = MAX_PATH - 13;

// One entry of a folder as the listing gives it. name is valid until the next call
// of FolderListing::Next.
struct FolderEntry {
    std::u16string_view name;
    DWORD attributes = 0;
    std::uint64_t size = 0;
    FILETIME writeTime = {};
    DWORD reparseTag = 0;  // the tag of a reparse point (0 when the system gave none)
};

// The entries of a folder, "." and ".." included, in the order the system lists
// them. A folder that cannot be listed has none; any failure of the system's "find
// next" ends the list.
class FolderListing {
public:
    explicit FolderListing(const std::u16string& folder);
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    bool Next(FolderEntry& entry);

private:
    UniqueFind find_;
    bool pending_ = false;  // the first entry is read and not yet handed out
    WIN32_FIND_DATAW wide_ = {};
    WIN32_FIND_DATAA ansi_ = {};
    std::u16string name_;  // the 9x family's name in UTF-16
};

// What the listing says of one path (a file or a folder), or false when there is no
// such entry or it cannot be listed.
struct EntryFacts {
    std::u16string name;  // the entry's own (long) name as the listing spells it
    DWORD attributes = 0;
    std::uint64_t size = 0;
    FILETIME writeTime = {};
};
bool FindEntry(const std::u16string& path, EntryFacts& facts);

// INVALID_FILE_ATTRIBUTES when the path names nothing that can be seen.
DWORD AttributesOf(const std::u16string& path);
bool IsExistingFolder(const std::u16string& path);
// The size of a file, or false when it cannot be asked (the first systems of the 9x
// family cannot ask at all).
bool SizeOf(const std::u16string& path, std::uint64_t& size);

bool CopyOneFile(const std::u16string& from, const std::u16string& to, bool replace);
bool MoveOneFile(const std::u16string& from, const std::u16string& to, DWORD flags);
bool CreateOneFolder(const std::u16string& path);
bool DeleteOneFile(const std::u16string& path);
// The file or empty folder is removed at the next start of the system (NT family).
bool DeleteAtRestart(const std::u16string& path);

// An open handle that reads nothing: it succeeds beside handles that share nothing,
// and the backup flag lets a folder be opened too.
UniqueFile OpenForQuery(const std::u16string& path);

// What a file or folder is, whatever its path is spelt like: a mapped drive, a
// junction, a short name or a hard link lead to the same identity.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0, indexLow = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& id) const noexcept {
        return (static_cast<std::size_t>(id.indexHigh) << 16) ^ id.indexLow ^ (static_cast<std::size_t>(id.volume) << 7);
    }
};
// The identity of an open handle, or false: the 9x family has none that can be
// trusted, and some network file systems report index 0 for everything.
bool IdentityOfHandle(HANDLE handle, FileIdentity& identity);
bool IdentityOf(const std::u16string& path, FileIdentity& identity);

// The index of a file on its volume: the half of its identity that costs nothing to
// ask for (the volume's serial number takes a round trip to the volume's owner:
// half a millisecond under Wine). Files of different indexes are different files;
// files of one index are the same file when their identities agree. False where
// the identity is: on the 9x family, and for index 0.
bool FileIndexOf(const std::u16string& path, std::uint64_t& index);

// What an open file says of itself, its volume left unasked: the last-write time
// (UTC, as stored), the size, the attributes and the index on its volume as the
// file system reports it (0 where it has none; on the 9x family, not to be trusted
// as an identity).
struct HandleFacts {
    FILETIME lastWrite = {};
    std::uint64_t size = 0;
    DWORD attributes = 0;
    std::uint64_t index = 0;
};
bool DescribeHandle(HANDLE handle, HandleFacts& facts);
// The serial number of the volume an open file lies on.
bool VolumeOfHandle(HANDLE handle, DWORD& volume);

// The full form of a path (GetFullPathName), or empty when it cannot be had.
std::u16string FullPathOf(const std::u16string& path);
// The short (8.3) form of an existing path, or empty.
std::u16string ShortPathOf(const std::u16string& path);

// The path with every character upper-cased by the system, character by character,
// as the file system compares names. The result has the same length, so a position
// in it is a position in the path.
std::u16string FoldPathCase(std::u16string_view path);

// The full form of a folder: relative parts, "." and ".." resolved, slashes made
// backslashes, short names made long where the folder exists, and no final
// separator (a drive root is "D:"). A bare drive is taken as its root, never as
// the drive's current directory.
std::u16string FullFolderPath(const std::u16string& folder);

// The file a module was loaded from, or empty when the path does not fit MAX_PATH.
std::u16string ModuleFileName(HMODULE module);
// The library at that full path loaded (or its count raised), or null.
HMODULE LoadLibraryAt(const std::u16string& path);
// The system folder (where system libraries lie) and the Windows folder, or empty.
std::u16string SystemFolder();
std::u16string WindowsFolder();

}  // namespace korvane
