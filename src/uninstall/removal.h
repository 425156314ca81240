// What the uninstaller removes: the extension's registration and settings, then its
// files, at once or at the next start of the system.
#pragma once
#include <string>

namespace korvane {

enum class RegistrationRemoval { Removed, RightsMissing };

// Deletes "InprocServer32" under the class key first: its failure for any reason
// but absence means the user lacks the rights, and then nothing else is touched.
// Otherwise deletes the class key, both handler keys, the settings key and the
// entry in the system's list of installed programs, in that order.
RegistrationRemoval RemoveRegistration();

// The uninstaller, the library and the help file, all in the uninstaller's folder.
struct ProductFiles {
    std::string program;
    std::string folder;
    std::string library;
    std::string helpFile;
};
ProductFiles FilesBeside(const std::string& programPath);

// NT: the program and its folder go at the next restart; the library and the help
// file now, or at the restart when they are in use. A bare drive stays.
void RemoveFilesNt(const ProductFiles& files);

// 9x: "Nul=<short path>" lines for the program, the library and the help file are
// added to the [Rename] section of WinInit.ini, which the system carries out at its
// next start. The folder stays.
void QueueFilesInWinInit(const ProductFiles& files);

}  // namespace korvane
