// IContextMenu: the menu item, its help text, and the command (command.cpp).
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "match/path_text.h"
#include "resources/resource.h"
#include "shellext/shell_extension.h"
#include "os/system_helpers.h"

namespace korvane {

namespace {

HRESULT CommandsAdded(USHORT count) { return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, count); }

bool IsNtPlatform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// At most capacity - 1 bytes and a NUL, never ending inside a double-byte character.
void WriteAnsi(const std::string& text, char* out, UINT capacity) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t step = IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > capacity - 1) break;
        end += step;
    }
    std::memcpy(out, text.data(), end);
    out[end] = '\0';
}

// At most capacity - 1 UTF-16 units and a NUL, never ending inside a surrogate pair.
void WriteWide(const std::string& text, wchar_t* out, UINT capacity) {
    const int needed = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, nullptr, 0);
    std::wstring wide(needed > 0 ? static_cast<std::size_t>(needed) : 1, L'\0');
    if (needed > 0) MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, &wide[0], needed);
    wide.resize(std::wcslen(wide.c_str()));
    std::size_t count = wide.size() < capacity - 1 ? wide.size() : capacity - 1;
    if (count > 0 && count < wide.size() && IS_HIGH_SURROGATE(wide[count - 1])) --count;
    std::memcpy(out, wide.data(), count * sizeof(wchar_t));
    out[count] = L'\0';
}

}  // namespace

STDMETHODIMP ShellExtension::QueryContextMenu(HMENU menu, UINT indexMenu, UINT idCmdFirst, UINT, UINT flags) {
    try {
        // The regular-expression option may have changed since the last menu.
        ReloadModeSettings(selection_.mode, settings_);
        if (flags & CMF_DEFAULTONLY) return CommandsAdded(0);
        UINT textId;
        if (IsWindows7OrLater())
            textId = settings_.useRegex ? IDS_MENU_REGEX_7 : IDS_MENU_WILDCARD_7;
        else
            textId = settings_.useRegex ? IDS_MENU_REGEX : IDS_MENU_WILDCARD;
        const std::string text = LoadResourceString(textId);
        InsertMenuA(menu, indexMenu, MF_BYPOSITION | MF_STRING, idCmdFirst, text.c_str());
        return CommandsAdded(1);
    } catch (...) {
        return CommandsAdded(0);
    }
}

STDMETHODIMP ShellExtension::GetCommandString(UINT_PTR idCmd, UINT type, UINT*, CHAR* name, UINT cchMax) {
    try {
        // Validation requests may come without a buffer.
        if (idCmd != 0 || !name || cchMax == 0) return S_OK;
        const std::string text = LoadResourceString(settings_.useRegex ? IDS_HELP_REGEX : IDS_HELP_WILDCARD);
        // cchMax counts characters of the kind asked for: UTF-16 only when the
        // request says so, or a byte buffer would be overrun by twice its size.
        if ((type & GCS_UNICODE) && IsNtPlatform())
            WriteWide(text, reinterpret_cast<wchar_t*>(name), cchMax);
        else
            WriteAnsi(text, name, cchMax);
    } catch (...) {
    }
    return S_OK;
}

STDMETHODIMP ShellExtension::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    // A verb string, or a command offset other than our single item's.
    if (!info || info->lpVerb != nullptr) return S_OK;
    try {
        RunCommand(info->hwnd);
    } catch (...) {
    }
    return S_OK;
}

}  // namespace korvane
