// IContextMenu: the menu item, its help text, and the command (command.cpp).
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "os/ansi.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "shellext/shell_extension.h"

namespace korvane {

namespace {

HRESULT CommandsAdded(USHORT count) { return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, count); }

// At most capacity - 1 UTF-16 units and a NUL, never ending inside a surrogate pair.
void WriteWide(const std::u16string& text, wchar_t* out, UINT capacity) {
    std::size_t count = text.size() < capacity - 1 ? text.size() : capacity - 1;
    if (count > 0 && count < text.size() && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) --count;
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<wchar_t>(text[i]);
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
        InsertMenuText(menu, indexMenu, MF_BYPOSITION | MF_STRING, idCmdFirst, LoadResourceString(textId));
        return CommandsAdded(1);
    } catch (...) {
        return CommandsAdded(0);
    }
}

STDMETHODIMP ShellExtension::GetCommandString(UINT_PTR idCmd, UINT type, UINT*, CHAR* name, UINT cchMax) {
    try {
        // Validation requests may come without a buffer.
        if (idCmd != 0 || !name || cchMax == 0) return S_OK;
        const std::u16string text = LoadResourceString(settings_.useRegex ? IDS_HELP_REGEX : IDS_HELP_WILDCARD);
        // cchMax counts characters of the kind asked for: UTF-16 only when the
        // request says so, or a byte buffer would be overrun by twice its size.
        if ((type & GCS_UNICODE) && IsNt())
            WriteWide(text, reinterpret_cast<wchar_t*>(name), cchMax);
        else
            WriteAnsiCut(text, name, cchMax - 1);
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
