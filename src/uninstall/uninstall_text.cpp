#include "uninstall/uninstall_text.h"

#include "common/path_text.h"

namespace korvane {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string ArgumentText(std::u16string_view commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    if (n > 0 && commandLine[0] == u'"') {
        i = commandLine.find(u'"', 1);
        i = i == std::u16string_view::npos ? n : i + 1;
    } else {
        while (i < n && !IsBlank(commandLine[i])) ++i;
    }
    while (i < n && IsBlank(commandLine[i])) ++i;
    return std::u16string(commandLine.substr(i));
}

std::u16string ProgramFolder(std::u16string_view programPath) {
    const std::size_t sep = LastSeparator(programPath);
    return std::u16string(sep == kNoSeparator ? programPath : programPath.substr(0, sep));
}

ProductFiles PlanRemoval(std::u16string_view programPath, std::u16string_view registeredLibrary, bool sameFolder) {
    ProductFiles plan;
    const std::u16string libraryFolder = ProgramFolder(registeredLibrary);
    if (registeredLibrary.empty() || libraryFolder == registeredLibrary) return plan;  // no folder known
    if (sameFolder) {
        const std::u16string folder = ProgramFolder(programPath);
        plan.program = programPath;
        // An uninstaller in a drive's root would otherwise ask for the drive itself.
        if (!IsBareDrive(folder)) plan.folder = folder;
        plan.files = {folder + u"\\Korvane.dll", folder + u"\\Korvane.chm"};
    } else {
        plan.files = {libraryFolder + u"\\Korvane.dll", libraryFolder + u"\\Korvane.chm",
                      libraryFolder + u"\\Retrakt.exe"};
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
