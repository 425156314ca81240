#include "os/placement.h"

namespace korvane {

namespace {

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
