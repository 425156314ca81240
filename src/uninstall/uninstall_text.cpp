#include "uninstall/uninstall_text.h"

#include "match/path_text.h"

namespace korvane {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string ArgumentText(const std::string& commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    if (n > 0 && commandLine[0] == '"') {
        i = commandLine.find('"', 1);
        i = i == std::string::npos ? n : i + 1;
    } else {
        while (i < n && !IsBlank(commandLine[i])) ++i;
    }
    while (i < n && IsBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

std::string ProgramFolder(const std::string& programPath) {
    const std::size_t sep = LastSeparator(programPath);
    return sep == kNoSeparator ? programPath : programPath.substr(0, sep);
}

ProductFiles PlanRemoval(const std::string& programPath, const std::string& registeredLibrary, bool sameFolder) {
    ProductFiles plan;
    const std::string libraryFolder = ProgramFolder(registeredLibrary);
    if (registeredLibrary.empty() || libraryFolder == registeredLibrary) return plan;  // no folder known
    if (sameFolder) {
        const std::string folder = ProgramFolder(programPath);
        plan.program = programPath;
        // An uninstaller in a drive's root would otherwise ask for the drive itself.
        if (!IsBareDrive(folder)) plan.folder = folder;
        plan.files = {folder + "\\Korvane.dll", folder + "\\Korvane.chm"};
    } else {
        plan.files = {libraryFolder + "\\Korvane.dll", libraryFolder + "\\Korvane.chm",
                      libraryFolder + "\\Retrakt.exe"};
    }
    return plan;
}

std::string AppendProfileEntries(const std::string& section, const std::vector<std::string>& entries,
                                 std::size_t capacity) {
    std::string list = section;
    for (const auto& entry : entries) {
        // The entry, its NUL and the NUL that closes the list.
        if (list.size() + entry.size() + 2 > capacity) break;
        list += entry;
        list += '\0';
    }
    return list;
}

}  // namespace korvane
