// The dialogs of a run on another thread, as a second thread of a benchmark finds
// them: the first visible window of that thread holding the given control.
#pragma once
#include <windows.h>

#include "resource.h"

struct ControlSearch {
    int control;
    HWND found;
};

inline BOOL CALLBACK FindWindowWithControl(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (!GetDlgItem(window, search->control) || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

inline HWND FindDialogWith(DWORD thread, int control) {
    ControlSearch search{control, nullptr};
    EnumThreadWindows(thread, FindWindowWithControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND FindProgressDialog(DWORD thread) { return FindDialogWith(thread, IDC_PROGRESS_BAR); }

// The progress dialog of that thread once it is on the screen, looked for without
// pause (so that the moment it shows is seen at once), or null after about 20,000
// looks.
inline HWND AwaitProgressDialog(DWORD thread) {
    HWND dialog = nullptr;
    for (int i = 0; i < 20000 && !dialog; ++i) {
        dialog = FindProgressDialog(thread);
        if (!dialog) Sleep(0);
    }
    return dialog;
}
