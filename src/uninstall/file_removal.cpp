#include <windows.h>

#include <vector>

#include "match/path_text.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_text.h"

namespace korvane {

namespace {

// The size of the buffer the [Rename] section is read into.
constexpr DWORD kSectionCapacity = 32000;

void DeleteNowOrAtRestart(const std::string& path) {
    if (!DeleteFileA(path.c_str())) MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// Empty when the file does not exist: a "Nul=" line needs a path to delete.
std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(buffer, length);
}

}  // namespace

bool SameFolder(const std::string& first, const std::string& second) {
    // A bare drive would name the drive's current directory.
    const std::string a = FolderDisplayForm(first), b = FolderDisplayForm(second);
    char fullA[MAX_PATH] = {}, fullB[MAX_PATH] = {};
    const DWORD lengthA = GetFullPathNameA(a.c_str(), MAX_PATH, fullA, nullptr);
    const DWORD lengthB = GetFullPathNameA(b.c_str(), MAX_PATH, fullB, nullptr);
    if (lengthA == 0 || lengthA >= MAX_PATH || lengthB == 0 || lengthB >= MAX_PATH) return false;
    if (lstrcmpiA(StripTrailingBackslash(fullA).c_str(), StripTrailingBackslash(fullB).c_str()) == 0) return true;
    // One spelt with short names, the other with long ones.
    const std::string shortA = ShortPath(fullA), shortB = ShortPath(fullB);
    return !shortA.empty() && !shortB.empty() &&
           lstrcmpiA(StripTrailingBackslash(shortA).c_str(), StripTrailingBackslash(shortB).c_str()) == 0;
}

void RemoveFilesNt(const ProductFiles& files) {
    if (!files.program.empty()) MoveFileExA(files.program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    for (const std::string& file : files.files) DeleteNowOrAtRestart(file);
    if (!files.folder.empty()) MoveFileExA(files.folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void QueueFilesInWinInit(const ProductFiles& files) {
    char windowsFolder[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::string iniPath = StripTrailingBackslash(windowsFolder) + "\\WinInit.ini";

    std::vector<char> buffer(kSectionCapacity, '\0');
    DWORD read = GetPrivateProfileSectionA("Rename", buffer.data(), kSectionCapacity, iniPath.c_str());

    std::vector<std::string> entries;
    std::vector<std::string> paths;
    if (!files.program.empty()) paths.push_back(files.program);
    paths.insert(paths.end(), files.files.begin(), files.files.end());
    for (const std::string& path : paths) {
        std::string shortPath = ShortPath(path);
        if (!shortPath.empty()) entries.push_back("Nul=" + shortPath);
    }
    const std::string section(buffer.data(), read < kSectionCapacity ? read : kSectionCapacity - 2);
    const std::string list = AppendProfileEntries(section, entries, kSectionCapacity);
    // No room (a section longer than the buffer also came back cut, and writing it
    // back would drop other programs' entries): the file stays exactly as it was.
    if (list == section) return;
    // c_str() adds the NUL that closes the list.
    WritePrivateProfileSectionA("Rename", list.c_str(), iniPath.c_str());
}

}  // namespace korvane
