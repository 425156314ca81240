#include "os/files.h"

#include "common/path_text.h"
#include "os/ansi.h"
#include "os/late_bound.h"
#include "os/platform.h"
#include "os/wide.h"

namespace korvane {

namespace {

// The path for an A function: only when the code page holds it exactly, so that the
// call can never reach another file than the one named.
bool AnsiPath(const std::u16string& path, std::string& ansi) {
    if (ToAnsiExact(path, ansi)) return true;
    SetLastError(ERROR_INVALID_NAME);
    return false;
}

template <typename Char, std::size_t N>
std::size_t BoundedLength(const Char (&text)[N]) {
    std::size_t length = 0;
    while (length < N && text[length]) ++length;
    return length;
}

std::uint64_t SizeFrom(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// The tag is in dwReserved0 only for a reparse point.
template <typename FindData>
DWORD ReparseTagOf(const FindData& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
}

template <typename FindData>
void Describe(const FindData& data, FolderEntry& entry) {
    entry.attributes = data.dwFileAttributes;
    entry.size = SizeFrom(data.nFileSizeHigh, data.nFileSizeLow);
    entry.writeTime = data.ftLastWriteTime;
    entry.reparseTag = ReparseTagOf(data);
}

// A system call that fills a buffer of MAX_PATH units and answers the length it
// wrote, or the size it needs when that is more; empty when it fails or needs more.
template <typename Call>
std::u16string FilledPath(Call call) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = call(buffer, static_cast<DWORD>(MAX_PATH));
    if (length == 0 || length >= MAX_PATH) return std::u16string();
    return FromWide(buffer, length);
}
template <typename Call>
std::u16string FilledAnsiPath(Call call) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = call(buffer, static_cast<DWORD>(MAX_PATH));
    if (length == 0 || length >= MAX_PATH) return std::u16string();
    return FromAnsi(std::string_view(buffer, length));
}

}  // namespace

FolderListing::FolderListing(const std::u16string& folder) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, FindFirstFileW);
        if (FindFirstFileW_) find_.Reset(FindFirstFileW_(AsWide(folder + u"\\*"), &wide_));
    } else {
        std::string ansi;
        if (AnsiPath(folder, ansi)) find_.Reset(FindFirstFileA((ansi + "\\*.*").c_str(), &ansi_));
    }
    pending_ = static_cast<bool>(find_);
}

bool FolderListing::Next(FolderEntry& entry) {
    if (!find_) return false;
    if (!pending_) {
        bool found;
        if (IsNt()) {
            KORVANE_BIND(kernel32, FindNextFileW);
            found = FindNextFileW_ && FindNextFileW_(find_.Get(), &wide_);
        } else {
            found = FindNextFileA(find_.Get(), &ansi_) != 0;
        }
        if (!found) {
            find_.Reset();
            return false;
        }
    }
    pending_ = false;
    if (IsNt()) {
        // Bounded by the array, should a name ever arrive without its NUL.
        entry.name = WideView(wide_.cFileName, BoundedLength(wide_.cFileName));
        Describe(wide_, entry);
    } else {
        // The 9x family's names are the code page's own: their UTF-16 form is exact.
        name_ = FromAnsi(std::string_view(ansi_.cFileName, BoundedLength(ansi_.cFileName)));
        entry.name = name_;
        Describe(ansi_, entry);
    }
    return true;
}

bool FindEntry(const std::u16string& path, EntryFacts& facts) {
    FolderEntry entry;
    if (IsNt()) {
        KORVANE_BIND(kernel32, FindFirstFileW);
        WIN32_FIND_DATAW data;
        if (!FindFirstFileW_) return false;
        UniqueFind find(FindFirstFileW_(AsWide(path), &data));
        if (!find) return false;
        Describe(data, entry);
        facts.name = std::u16string(WideView(data.cFileName, BoundedLength(data.cFileName)));
    } else {
        std::string ansi;
        if (!AnsiPath(path, ansi)) return false;
        WIN32_FIND_DATAA data;
        UniqueFind find(FindFirstFileA(ansi.c_str(), &data));
        if (!find) return false;
        Describe(data, entry);
        facts.name = FromAnsi(std::string_view(data.cFileName, BoundedLength(data.cFileName)));
    }
    facts.attributes = entry.attributes;
    facts.size = entry.size;
    facts.writeTime = entry.writeTime;
    return true;
}

DWORD AttributesOf(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetFileAttributesW);
        return GetFileAttributesW_ ? GetFileAttributesW_(AsWide(path)) : INVALID_FILE_ATTRIBUTES;
    }
    std::string ansi;
    return AnsiPath(path, ansi) ? GetFileAttributesA(ansi.c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool IsExistingFolder(const std::u16string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SizeOf(const std::u16string& path, std::uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    bool asked = false;
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetFileAttributesExW);
        asked = GetFileAttributesExW_ && GetFileAttributesExW_(AsWide(path), GetFileExInfoStandard, &data);
    } else {
        // Bound late: the first systems of the 9x family lack it.
        using QueryFn = BOOL(WINAPI*)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);
        static const auto query = LateBound<QueryFn>("kernel32.dll", "GetFileAttributesExA");
        std::string ansi;
        asked = query && AnsiPath(path, ansi) && query(ansi.c_str(), GetFileExInfoStandard, &data);
    }
    if (!asked) return false;
    size = SizeFrom(data.nFileSizeHigh, data.nFileSizeLow);
    return true;
}

bool CopyOneFile(const std::u16string& from, const std::u16string& to, bool replace) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, CopyFileW);
        return CopyFileW_ && CopyFileW_(AsWide(from), AsWide(to), replace ? FALSE : TRUE);
    }
    std::string a, b;
    return AnsiPath(from, a) && AnsiPath(to, b) && CopyFileA(a.c_str(), b.c_str(), replace ? FALSE : TRUE);
}

bool MoveOneFile(const std::u16string& from, const std::u16string& to, DWORD flags) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, MoveFileExW);
        return MoveFileExW_ && MoveFileExW_(AsWide(from), AsWide(to), flags);
    }
    std::string a, b;
    return AnsiPath(from, a) && AnsiPath(to, b) && MoveFileExA(a.c_str(), b.c_str(), flags);
}

bool CreateOneFolder(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, CreateDirectoryW);
        return CreateDirectoryW_ && CreateDirectoryW_(AsWide(path), nullptr);
    }
    std::string ansi;
    return AnsiPath(path, ansi) && CreateDirectoryA(ansi.c_str(), nullptr);
}

bool DeleteOneFile(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, DeleteFileW);
        return DeleteFileW_ && DeleteFileW_(AsWide(path));
    }
    std::string ansi;
    return AnsiPath(path, ansi) && DeleteFileA(ansi.c_str());
}

bool DeleteAtRestart(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, MoveFileExW);
        return MoveFileExW_ && MoveFileExW_(AsWide(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    std::string ansi;
    return AnsiPath(path, ansi) && MoveFileExA(ansi.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

UniqueFile OpenForQuery(const std::u16string& path) {
    // The 9x family rejects FILE_SHARE_DELETE.
    if (IsNt()) {
        KORVANE_BIND(kernel32, CreateFileW);
        if (!CreateFileW_) return UniqueFile();
        return UniqueFile(CreateFileW_(AsWide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    }
    std::string ansi;
    if (!AnsiPath(path, ansi)) return UniqueFile();
    return UniqueFile(CreateFileA(ansi.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool IdentityOfHandle(HANDLE handle, FileIdentity& identity) {
    if (!IsNt()) return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    if ((info.nFileIndexHigh | info.nFileIndexLow) == 0) return false;
    identity.volume = info.dwVolumeSerialNumber;
    identity.indexHigh = info.nFileIndexHigh;
    identity.indexLow = info.nFileIndexLow;
    return true;
}

bool IdentityOf(const std::u16string& path, FileIdentity& identity) {
    if (!IsNt()) return false;
    const UniqueFile file = OpenForQuery(path);
    return file && IdentityOfHandle(file.Get(), identity);
}

namespace {

// The records NtQueryInformationFile fills for the classes below; the user-mode
// headers do not declare them. Their layout is the system's, for both bitnesses.
struct StatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
struct BasicInformation {
    LARGE_INTEGER creation, access, write, change;
    ULONG attributes;
};
struct StandardInformation {
    LARGE_INTEGER allocation, endOfFile;
    ULONG links;
    BOOLEAN deletePending, directory;
};
static_assert(sizeof(BasicInformation) == 40, "FILE_BASIC_INFORMATION");
static_assert(sizeof(StandardInformation) == 24, "FILE_STANDARD_INFORMATION");
static_assert(sizeof(StatusBlock) == 2 * sizeof(void*), "IO_STATUS_BLOCK");
constexpr int kFileBasicInformation = 4;
constexpr int kFileStandardInformation = 5;
constexpr int kFileInternalInformation = 6;

using QueryInformationFile = LONG(WINAPI*)(HANDLE, StatusBlock*, void*, ULONG, int);

// One class of information about an open file, or false (also where ntdll lacks
// the function, which every NT system has).
template <typename Record>
bool QueryFile(HANDLE handle, int informationClass, Record& record) {
    static const auto query = LateBound<QueryInformationFile>("ntdll.dll", "NtQueryInformationFile");
    StatusBlock block = {};
    return query && query(handle, &block, &record, sizeof record, informationClass) >= 0;
}

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

}  // namespace

bool FileIndexOf(const std::u16string& path, std::uint64_t& index) {
    if (!IsNt()) return false;
    const UniqueFile file = OpenForQuery(path);
    HandleFacts facts;
    if (!file || !DescribeHandle(file.Get(), facts) || facts.index == 0) return false;
    index = facts.index;
    return true;
}

bool DescribeHandle(HANDLE handle, HandleFacts& facts) {
    BasicInformation basic = {};
    StandardInformation standard = {};
    LARGE_INTEGER number = {};
    if (IsNt() && QueryFile(handle, kFileBasicInformation, basic) &&
        QueryFile(handle, kFileStandardInformation, standard) && QueryFile(handle, kFileInternalInformation, number)) {
        facts.lastWrite.dwLowDateTime = basic.write.LowPart;
        facts.lastWrite.dwHighDateTime = static_cast<DWORD>(basic.write.HighPart);
        facts.attributes = basic.attributes;
        facts.size = static_cast<std::uint64_t>(standard.endOfFile.QuadPart);
        facts.index = static_cast<std::uint64_t>(number.QuadPart);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    facts.lastWrite = info.ftLastWriteTime;
    facts.attributes = info.dwFileAttributes;
    facts.size = Join(info.nFileSizeHigh, info.nFileSizeLow);
    facts.index = Join(info.nFileIndexHigh, info.nFileIndexLow);
    return true;
}

bool VolumeOfHandle(HANDLE handle, DWORD& volume) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    volume = info.dwVolumeSerialNumber;
    return true;
}

std::u16string FullPathOf(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetFullPathNameW);
        if (!GetFullPathNameW_) return std::u16string();
        return FilledPath([&](wchar_t* out, DWORD size) { return GetFullPathNameW_(AsWide(path), size, out, nullptr); });
    }
    std::string ansi;
    if (!AnsiPath(path, ansi)) return std::u16string();
    return FilledAnsiPath([&](char* out, DWORD size) { return GetFullPathNameA(ansi.c_str(), size, out, nullptr); });
}

std::u16string ShortPathOf(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetShortPathNameW);
        if (!GetShortPathNameW_) return std::u16string();
        return FilledPath([&](wchar_t* out, DWORD size) { return GetShortPathNameW_(AsWide(path), out, size); });
    }
    std::string ansi;
    if (!AnsiPath(path, ansi)) return std::u16string();
    return FilledAnsiPath([&](char* out, DWORD size) { return GetShortPathNameA(ansi.c_str(), out, size); });
}

namespace {

// Bound late on both families: Windows 95 and NT 4 lack it. A folder that does not
// exist keeps its text.
std::u16string LongPathOf(const std::u16string& path) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetLongPathNameW);
        if (!GetLongPathNameW_) return path;
        const std::u16string longer =
            FilledPath([&](wchar_t* out, DWORD size) { return GetLongPathNameW_(AsWide(path), out, size); });
        return longer.empty() ? path : longer;
    }
    using LongPathFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    static const auto longPath = LateBound<LongPathFn>("kernel32.dll", "GetLongPathNameA");
    std::string ansi;
    if (!longPath || !ToAnsiExact(path, ansi)) return path;
    const std::u16string longer =
        FilledAnsiPath([&](char* out, DWORD size) { return longPath(ansi.c_str(), out, size); });
    return longer.empty() ? path : longer;
}

std::u16string FoldAscii(std::u16string_view path) {
    std::u16string folded(path);
    for (char16_t& unit : folded)
        if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - (u'a' - u'A'));
    return folded;
}

}  // namespace

std::u16string FoldPathCase(std::u16string_view path) {
    if (path.empty()) return std::u16string();
    if (IsNt()) {
        // CharUpperBuffW maps unit by unit: the length stays.
        KORVANE_BIND(user32, CharUpperBuffW);
        std::u16string folded(path);
        if (!CharUpperBuffW_) return FoldAscii(path);
        CharUpperBuffW_(AsWide(&folded[0]), static_cast<DWORD>(folded.size()));
        return folded;
    }
    // CharUpperBuffA works character by character in the code page; a double-byte
    // character keeps its two bytes, so the UTF-16 length stays too.
    std::string ansi;
    if (!ToAnsiExact(path, ansi)) return FoldAscii(path);
    CharUpperBuffA(&ansi[0], static_cast<DWORD>(ansi.size()));
    std::u16string folded = FromAnsi(ansi);
    return folded.size() == path.size() ? folded : FoldAscii(path);
}

std::u16string FullFolderPath(const std::u16string& folder) {
    const std::u16string asked = FolderDisplayForm(folder);
    const std::u16string full = FullPathOf(asked);
    return StripTrailingBackslash(LongPathOf(full.empty() ? asked : full));
}

std::u16string ModuleFileName(HMODULE module) {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetModuleFileNameW);
        if (!GetModuleFileNameW_) return std::u16string();
        return FilledPath([&](wchar_t* out, DWORD size) { return GetModuleFileNameW_(module, out, size); });
    }
    return FilledAnsiPath([&](char* out, DWORD size) { return GetModuleFileNameA(module, out, size); });
}

HMODULE LoadLibraryAt(const std::u16string& path) {
    if (path.empty()) return nullptr;
    if (IsNt()) {
        KORVANE_BIND(kernel32, LoadLibraryW);
        return LoadLibraryW_ ? LoadLibraryW_(AsWide(path)) : nullptr;
    }
    std::string ansi;
    return ToAnsiExact(path, ansi) ? LoadLibraryA(ansi.c_str()) : nullptr;
}

std::u16string SystemFolder() {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetSystemDirectoryW);
        if (!GetSystemDirectoryW_) return std::u16string();
        return FilledPath([&](wchar_t* out, DWORD size) { return GetSystemDirectoryW_(out, size); });
    }
    return FilledAnsiPath([&](char* out, DWORD size) { return GetSystemDirectoryA(out, size); });
}

std::u16string WindowsFolder() {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetWindowsDirectoryW);
        if (!GetWindowsDirectoryW_) return std::u16string();
        return FilledPath([&](wchar_t* out, DWORD size) { return GetWindowsDirectoryW_(out, size); });
    }
    return FilledAnsiPath([&](char* out, DWORD size) { return GetWindowsDirectoryA(out, size); });
}

}  // namespace korvane
