// Sections of an initialisation file in the code page: the 9x family's WinInit.ini,
// whose [Rename] section the system carries out at its next start.
#pragma once
#include <cstddef>
#include <string>

namespace korvane {

// The section's entries, each ended by a NUL, without the NUL that closes the list,
// as GetPrivateProfileSection gives them into a buffer of capacity bytes.
std::string ReadProfileSection(const std::u16string& file, const char* section, std::size_t capacity);
// Writes the section back whole: list holds the entries, each ended by a NUL.
bool WriteProfileSection(const std::u16string& file, const char* section, const std::string& list);

}  // namespace korvane
