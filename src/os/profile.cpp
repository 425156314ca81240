#include "os/profile.h"

#include <windows.h>

#include <vector>

#include "os/ansi.h"

namespace korvane {

// Only the 9x family reads WinInit.ini, and its names are the code page's own.
std::string ReadProfileSection(const std::u16string& file, const char* section, std::size_t capacity) {
    std::string path;
    if (capacity < 2 || !ToAnsiExact(file, path)) return std::string();
    std::vector<char> buffer(capacity, '\0');
    const DWORD read = GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(capacity), path.c_str());
    return std::string(buffer.data(), read < capacity ? read : capacity - 2);
}

bool WriteProfileSection(const std::u16string& file, const char* section, const std::string& list) {
    std::string path;
    if (!ToAnsiExact(file, path)) return false;
    // c_str() adds the NUL that closes the list.
    return WritePrivateProfileSectionA(section, list.c_str(), path.c_str()) != 0;
}

}  // namespace korvane
