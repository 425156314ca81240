#include "os/platform.h"

#include <windows.h>

#include "os/ansi.h"
#include "os/late_bound.h"
#include "os/wide.h"

namespace korvane {

namespace {

OSVERSIONINFOA QueryVersion() noexcept {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes; a failed call leaves zeros
    GetVersionExA(&info);
    return info;
}

bool NtAtLeast(DWORD major, DWORD minor) noexcept {
    const OSVERSIONINFOA info = QueryVersion();
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return info.dwMajorVersion > major || (info.dwMajorVersion == major && info.dwMinorVersion >= minor);
}

}  // namespace

// The family never changes while a process runs; the test programs set the version
// Wine reports before they start.
bool IsNt() noexcept {
    static const bool nt = QueryVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;
    return nt;
}

bool IsWindowsXpOrLater() noexcept { return NtAtLeast(5, 1); }
bool IsWindowsVistaOrLater() noexcept { return NtAtLeast(6, 0); }
bool IsWindows7OrLater() noexcept { return NtAtLeast(6, 1); }

std::u16string CommandLineText() {
    if (IsNt()) {
        KORVANE_BIND(kernel32, GetCommandLineW);
        const wchar_t* line = GetCommandLineW_ ? GetCommandLineW_() : nullptr;
        return line ? std::u16string(reinterpret_cast<const char16_t*>(line)) : std::u16string();
    }
    const char* line = GetCommandLineA();
    return line ? FromAnsi(line) : std::u16string();
}

HMODULE SystemLibrary(const char* library) noexcept {
    if (HMODULE loaded = GetModuleHandleA(library)) return loaded;
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(library) >= MAX_PATH) return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, library);
    return LoadLibraryA(path);  // stays loaded: pointers into it are kept
}

FARPROC SystemFunction(const char* library, const char* name) noexcept {
    HMODULE module = SystemLibrary(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace korvane
