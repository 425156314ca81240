// Folders of many files for the benchmarks, made and removed quickly under Wine.
// Paths are UTF-16, as the product's own; the files are made through the W functions.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/unique_handle.h"

namespace benchfolder {

inline const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

inline std::u16string Ascii(const char* text) {
    std::u16string wide;
    for (; *text; ++text) wide += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return wide;
}

inline const char* const kExtensions[] = {"txt", "doc", "log", "dat", "jpg", "png", "csv", "xml", "tar.gz", ""};

// With japanese set, the stems are 表示ファイル and 資料 instead of Report and data:
// every name then holds characters outside ASCII, which Wine converts from the Unix
// file system's UTF-8 unit by unit, where an ASCII name is copied.
inline std::u16string NameFor(int i, bool japanese = false) {
    static const std::u16string report = u"表示ファイル", data = u"資料";
    char tail[32];
    const char* ext = kExtensions[i % 10];
    std::snprintf(tail, sizeof tail, "_%06d%s%s", i, *ext ? "." : "", ext);
    const std::u16string stem = japanese ? (i % 7 == 0 ? report : data) : (i % 7 == 0 ? u"Report" : u"data");
    return stem + Ascii(tail);
}

// The Unix names under Wine are UTF-8.
inline std::string Utf8(const std::u16string& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

// Wine's way to a Unix path, absent on Windows.
inline std::string UnixPath(const std::u16string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName) return std::string();
    char* name = unixName(W(windowsPath));
    if (!name) return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a Unix shell command (Wine runs a Unix program given by its Z: path) and
// waits up to five minutes for done(): Wine's handle of a Unix process cannot be waited on.
template <typename Done>
inline bool RunShell(const std::string& command, Done done) {
    std::string line = "sh -c \"" + command + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 3000 && !done(); ++i) Sleep(100);
    return done();
}

// The bare enumeration the scans are built on (the NT family's: FindFirstFileW and
// FindNextFileW), counting the files.
inline std::size_t Enumerate(const std::u16string& folder) {
    std::size_t files = 0;
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW(W(folder + u"\\*"), &entry));
    if (!find) return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileW(find.Get(), &entry));
    return files;
}

// Under Wine every new name costs a case-insensitive search of the whole folder, so
// 100,000 CreateFileW calls take many minutes there; a Unix program makes the files
// when Wine can start one.
inline std::vector<std::u16string> MakeFolder(const std::u16string& folder, int count, bool japanese = false) {
    CreateDirectoryW(W(folder), nullptr);
    std::vector<std::u16string> names;
    names.reserve(count);
    std::string list;
    for (int i = 0; i < count; ++i) {
        names.push_back(NameFor(i, japanese));
        list += Utf8(names.back()) + "\n";
    }
    const std::u16string listPath = folder + u".names";
    {
        UniqueFile file(CreateFileW(W(listPath), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (file) WriteFile(file.Get(), list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
    }
    const std::string unixFolder = UnixPath(folder), unixList = UnixPath(listPath);
    const bool made = !unixFolder.empty() && !unixList.empty() &&
                      RunShell("cd '" + unixFolder + "' && xargs -a '" + unixList + "' touch", [&] {
                          // touch makes them in order; a listing of the whole folder
                          // costs far more than a look at the last name.
                          return GetFileAttributesW(W(folder + u"\\" + names.back())) != INVALID_FILE_ATTRIBUTES &&
                                 Enumerate(folder) == names.size();
                      });
    DeleteFileW(W(listPath));
    if (!made)
        for (const auto& name : names)
            UniqueFile file(CreateFileW(W(folder + u"\\" + name), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return names;
}

inline void RemoveFolder(const std::u16string& folder, const std::vector<std::u16string>& names) {
    const std::string unixFolder = UnixPath(folder);
    if (!unixFolder.empty() &&
        RunShell("rm -rf '" + unixFolder + "'",
                 [&] { return GetFileAttributesW(W(folder)) == INVALID_FILE_ATTRIBUTES; }))
        return;
    for (const auto& name : names) DeleteFileW(W(folder + u"\\" + name));
    RemoveDirectoryW(W(folder));
}

}  // namespace benchfolder
