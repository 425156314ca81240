// Folders of many files for the benchmarks, made and removed quickly under Wine.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/unique_handle.h"

namespace benchfolder {

inline const char* const kExtensions[] = {"txt", "doc", "log", "dat", "jpg", "png", "csv", "xml", "tar.gz", ""};

inline std::string Ansi(const std::wstring& wide);

// With japanese set, the stems are 報告 and 資料 in the ANSI code page: names the
// scans convert from UTF-16 in full, where ASCII names take a shortcut.
inline std::string NameFor(int i, bool japanese = false) {
    static const std::string report = Ansi(L"\u5831\u544a"), data = Ansi(L"\u8cc7\u6599");
    char name[64];
    const char* ext = kExtensions[i % 10];
    const char* stem = japanese ? (i % 7 == 0 ? report : data).c_str() : (i % 7 == 0 ? "Report" : "data");
    std::snprintf(name, sizeof name, "%s_%06d%s%s", stem, i, *ext ? "." : "", ext);
    return name;
}

// Between the ANSI code page and UTF-16 or UTF-8 (the Unix names under Wine).
inline std::string Ansi(const std::wstring& wide) {
    char buffer[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}
inline std::string Utf8(const std::string& ansi) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, MAX_PATH);
    char buffer[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

// Wine's way to a Unix path, absent on Windows.
inline std::string UnixPath(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName) return std::string();
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* name = unixName(wide);
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

// The bare enumeration the scans are built on.
inline std::size_t Enumerate(const std::string& folder) {
    std::size_t files = 0;
    WIN32_FIND_DATAA entry;
    UniqueFind find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
    if (!find) return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileA(find.Get(), &entry));
    return files;
}

// Under Wine every new name costs a case-insensitive search of the whole folder, so
// 100,000 CreateFileA calls take many minutes there; a Unix program makes the files
// when Wine can start one.
inline std::vector<std::string> MakeFolder(const std::string& folder, int count, bool japanese = false) {
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> names;
    names.reserve(count);
    std::string list;
    for (int i = 0; i < count; ++i) {
        names.push_back(NameFor(i, japanese));
        list += Utf8(names.back()) + "\n";
    }
    const std::string listPath = folder + ".names";
    {
        UniqueFile file(CreateFileA(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (file) WriteFile(file.Get(), list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
    }
    const std::string unixFolder = UnixPath(folder), unixList = UnixPath(listPath);
    const bool made = !unixFolder.empty() && !unixList.empty() &&
                      RunShell("cd '" + unixFolder + "' && xargs -a '" + unixList + "' touch",
                               [&] { return Enumerate(folder) == names.size(); });
    DeleteFileA(listPath.c_str());
    if (!made)
        for (const auto& name : names)
            UniqueFile file(CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return names;
}

inline void RemoveFolder(const std::string& folder, const std::vector<std::string>& names) {
    const std::string unixFolder = UnixPath(folder);
    if (!unixFolder.empty() &&
        RunShell("rm -rf '" + unixFolder + "'", [&] { return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES; }))
        return;
    for (const auto& name : names) DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace benchfolder
