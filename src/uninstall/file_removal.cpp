#include <vector>

#include "common/path_text.h"
#include "os/ansi.h"
#include "os/files.h"
#include "os/profile.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_text.h"

namespace korvane {

namespace {

// The size of the buffer the [Rename] section is read into.
constexpr std::size_t kSectionCapacity = 32000;

void DeleteNowOrAtRestart(const std::u16string& path) {
    if (!DeleteOneFile(path)) DeleteAtRestart(path);
}

}  // namespace

bool SameFolder(const std::u16string& first, const std::u16string& second) {
    // A bare drive would name the drive's current directory.
    const std::u16string fullA = FullPathOf(FolderDisplayForm(first));
    const std::u16string fullB = FullPathOf(FolderDisplayForm(second));
    if (fullA.empty() || fullB.empty()) return false;
    if (FoldPathCase(StripTrailingBackslash(fullA)) == FoldPathCase(StripTrailingBackslash(fullB))) return true;
    // One spelt with short names, the other with long ones.
    const std::u16string shortA = ShortPathOf(fullA), shortB = ShortPathOf(fullB);
    return !shortA.empty() && !shortB.empty() &&
           FoldPathCase(StripTrailingBackslash(shortA)) == FoldPathCase(StripTrailingBackslash(shortB));
}

void RemoveFilesNt(const ProductFiles& files) {
    if (!files.program.empty()) DeleteAtRestart(files.program);
    for (const std::u16string& file : files.files) DeleteNowOrAtRestart(file);
    if (!files.folder.empty()) DeleteAtRestart(files.folder);
}

void QueueFilesInWinInit(const ProductFiles& files) {
    const std::u16string windowsFolder = WindowsFolder();
    if (windowsFolder.empty()) return;
    const std::u16string iniPath = StripTrailingBackslash(windowsFolder) + u"\\WinInit.ini";
    const std::string section = ReadProfileSection(iniPath, "Rename", kSectionCapacity);

    std::vector<std::string> entries;
    std::vector<std::u16string> paths;
    if (!files.program.empty()) paths.push_back(files.program);
    paths.insert(paths.end(), files.files.begin(), files.files.end());
    for (const std::u16string& path : paths) {
        // Empty when the file does not exist: a "Nul=" line needs a path to delete.
        // The 9x family's paths are the code page's own, so the conversion is exact.
        const std::u16string shortPath = ShortPathOf(path);
        std::string ansi;
        if (!shortPath.empty() && ToAnsiExact(shortPath, ansi)) entries.push_back("Nul=" + ansi);
    }
    const std::string list = AppendProfileEntries(section, entries, kSectionCapacity);
    // No room (a section longer than the buffer also came back cut, and writing it
    // back would drop other programs' entries): the file stays exactly as it was.
    if (list == section) return;
    WriteProfileSection(iniPath, "Rename", list);
}

}  // namespace korvane
