// Text work of the uninstaller that needs no Windows: its argument, its folder, and
// the WinInit.ini [Rename] list it extends on the 9x family.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The command line after the program name, as the C runtime hands it to WinMain: a
// quoted name ends at its closing quote, an unquoted one at the first blank or tab,
// and the blanks and tabs after the name are skipped.
std::u16string ArgumentText(std::u16string_view commandLine);

// The folder part of the program's own path: everything before its last backslash,
// or the whole path when it has none.
std::u16string ProgramFolder(std::u16string_view programPath);

// What the uninstaller removes on disk. Run from the folder the library is
// registered in, it takes that folder with it: itself and the folder at the next
// restart, the library and the help file now. Run from anywhere else (a copy in a
// download folder), its own folder and its own file stay, and only the product's
// known files beside the registered library go: the library, the help file and
// the uninstaller there. Without a registration nothing is removed on disk.
struct ProductFiles {
    std::u16string program;             // this running program, removed at the restart; empty: it stays
    std::u16string folder;              // removed at the restart once empty; empty: it stays
    std::vector<std::u16string> files;  // removed now, or at the restart when in use
};
// registeredLibrary: the library path the registration names, empty when there is
// none; sameFolder: whether the program's folder is the registered library's.
ProductFiles PlanRemoval(std::u16string_view programPath, std::u16string_view registeredLibrary, bool sameFolder);

// A profile section as GetPrivateProfileSectionA gives it (WinInit.ini is read and
// written in the ANSI code page; only the 9x family uses it): `section` holds the
// entries, each ended by a NUL, without the NUL that closes the list. Returns the
// section with the new entries appended in order, each only while the whole list
// with its closing NUL still fits into `capacity` bytes; the first entry that does
// not fit ends the appending, so a full section comes back unchanged. A section
// longer than the buffer comes back from GetPrivateProfileSectionA cut, at
// capacity - 2 bytes: no entry fits after it, so it is never written back cut.
std::string AppendProfileEntries(const std::string& section, const std::vector<std::string>& entries,
                                 std::size_t capacity);

}  // namespace korvane
