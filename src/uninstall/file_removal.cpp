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

ProductFiles FilesBeside(const std::string& programPath) {
    ProductFiles files;
    files.program = programPath;
    files.folder = ProgramFolder(programPath);
    files.library = files.folder + "\\Korvane.dll";
    files.helpFile = files.folder + "\\Korvane.chm";
    return files;
}

void RemoveFilesNt(const ProductFiles& files) {
    MoveFileExA(files.program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    DeleteNowOrAtRestart(files.library);
    DeleteNowOrAtRestart(files.helpFile);
    // An uninstaller in a drive's root would otherwise ask for the drive itself.
    if (!IsBareDrive(files.folder)) MoveFileExA(files.folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void QueueFilesInWinInit(const ProductFiles& files) {
    char windowsFolder[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::string iniPath = StripTrailingBackslash(windowsFolder) + "\\WinInit.ini";

    std::vector<char> buffer(kSectionCapacity, '\0');
    DWORD read = GetPrivateProfileSectionA("Rename", buffer.data(), kSectionCapacity, iniPath.c_str());

    std::vector<std::string> entries;
    for (const std::string* path : {&files.program, &files.library, &files.helpFile}) {
        std::string shortPath = ShortPath(*path);
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
