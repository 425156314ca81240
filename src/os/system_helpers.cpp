#include "os/system_helpers.h"

#include "resources/resource.h"
#include "common/module.h"

namespace korvane {

std::string LoadResourceString(UINT id) {
    char buffer[261] = {};
    const int length = LoadStringA(moduleInstance, id, buffer, 260);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void ShowMessage(HWND owner, const std::string& text, UINT icon) {
    const std::string caption = LoadResourceString(IDS_APP_CAPTION);
    MessageBoxA(owner, text.c_str(), caption.c_str(), icon | MB_OK);
}

void SetProductIcon(HWND dialog) {
    if (HICON icon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(IDI_KORVANE))) {
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
}

namespace {

OSVERSIONINFOA QueryVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes; a failed call leaves zeros
    GetVersionExA(&info);
    return info;
}

bool NtAtLeast(DWORD major, DWORD minor) {
    const OSVERSIONINFOA info = QueryVersion();
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return info.dwMajorVersion > major || (info.dwMajorVersion == major && info.dwMinorVersion >= minor);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The lower bound is the screen origin, the upper one the work area's right and
// bottom edge; the upper clamp comes last, so an oversized dialog ends flush with them.
void MoveClamped(HWND dialog, int x, int y, int w, int h) {
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (x > work.right - w) x = work.right - w;
    if (y > work.bottom - h) y = work.bottom - h;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

bool IsWindowsXpOrLater() { return NtAtLeast(5, 1); }
bool IsWindowsVistaOrLater() { return NtAtLeast(6, 0); }
bool IsWindows7OrLater() { return NtAtLeast(6, 1); }

void CentreOverParent(HWND dialog) {
    HWND parent = GetParent(dialog);
    if (!parent) return;
    RECT d = {}, p = {};
    GetWindowRect(dialog, &d);
    GetWindowRect(parent, &p);
    const int w = Width(d), h = Height(d);
    const int x = p.left + Width(p) / 2 - w / 2;
    const int y = p.top + Height(p) / 2 - h / 2;
    MoveClamped(dialog, x, y, w, h);
}

void PlaceNearCursor(HWND dialog, int controlId) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    RECT d = {};
    GetWindowRect(dialog, &d);
    const int w = Width(d), h = Height(d);
    int x, y;
    HWND control = controlId ? GetDlgItem(dialog, controlId) : nullptr;
    if (control) {
        RECT c = {};
        GetWindowRect(control, &c);
        x = cursor.x + d.left - c.left - Width(c) / 2;
        y = cursor.y + d.top - c.top - Height(c) / 2;
    } else {
        x = cursor.x - w / 2;
        y = cursor.y - h / 2;
    }
    MoveClamped(dialog, x, y, w, h);
}

}  // namespace korvane
