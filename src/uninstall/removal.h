// What the uninstaller removes: the extension's registration and settings, then its
// files, at once or at the next start of the system.
#pragma once
#include <string>

#include "uninstall/uninstall_text.h"

namespace korvane {

enum class RegistrationRemoval { Removed, RightsMissing };

// Deletes "InprocServer32" under the class key first: its failure for any reason
// but absence means the user lacks the rights, and then nothing else is touched.
// Otherwise deletes the class key, both handler keys, the settings key and the
// entry in the system's list of installed programs, in that order.
RegistrationRemoval RemoveRegistration();

// The library path the registration names (environment references expanded),
// read before the registration goes; empty when there is none.
std::u16string RegisteredLibrary();

// Whether the two folders are one, compared as the file system compares them
// (full and short forms, without regard to case).
bool SameFolder(const std::u16string& first, const std::u16string& second);

// NT: the program and the folder go at the next restart; the files now, or at the
// restart when they are in use. An empty program or folder stays.
void RemoveFilesNt(const ProductFiles& files);

// 9x: "Nul=<short path>" lines for the program and the files are added to the
// [Rename] section of WinInit.ini, which the system carries out at its next start.
// The folder stays.
void QueueFilesInWinInit(const ProductFiles& files);

}  // namespace korvane
