#include "transfer_driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <map>

#include "resources/resource.h"
#include "transfer/progress_dialog.h"

namespace transferdriver {

namespace {

DialogDriver* current = nullptr;
WNDPROC progressProc = nullptr;
std::map<HWND, int> pendingClicks;  // held dialogs and the button they get

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void CALLBACK HeldClick(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    auto it = pendingClicks.find(dialog);
    if (it == pendingClicks.end()) return;
    if (it->second == 0)
        PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    else
        PostClick(dialog, it->second);
    pendingClicks.erase(it);
}

LRESULT CALLBACK AfterSend(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && current) {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (sent->message == WM_INITDIALOG) current->DialogInitialised(sent->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ProgressSubclass(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(progressProc, dialog, message, wParam, lParam);
    if (message == korvane::WM_TRANSFER_PROGRESS && current)
        current->ProgressHandled(dialog, static_cast<int>(wParam));
    return result;
}

std::string ListText(HWND list, int item, int subItem) {
    char buffer[1024] = {};
    LVITEMA cell = {};
    cell.iSubItem = subItem;
    cell.pszText = buffer;
    cell.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell));
    return buffer;
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

}  // namespace

std::string Ansi(const char* utf8) {
    wchar_t wide[1024] = {};
    char ansi[2048] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

std::string WindowText(HWND window) {
    char buffer[2048] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

DialogDriver::DialogDriver() : previous_(current) {
    // One hook serves every driver; the newest one answers.
    current = this;
    if (!previous_) hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterSend, nullptr, GetCurrentThreadId());
    if (const char* hold = std::getenv("KORVANE_SHOT_HOLD_MS")) holdMs_ = static_cast<DWORD>(std::atoi(hold));
}

DialogDriver::~DialogDriver() {
    if (hook_) UnhookWindowsHookEx(hook_);
    current = previous_;
}

void DialogDriver::Respond(HWND dialog, int buttonId) {
    if (holdMs_) {
        pendingClicks[dialog] = buttonId;
        SetTimer(dialog, 0x4B56, holdMs_, HeldClick);
    } else if (buttonId == 0) {
        PressEscape(dialog);
    } else {
        PostClick(dialog, buttonId);
    }
}

void DialogDriver::PressEscape(HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }

void DialogDriver::DialogInitialised(HWND dialog) {
    if (GetDlgItem(dialog, IDC_PROGRESS_BAR)) {
        ++progress.shown;
        progress.owner = GetWindow(dialog, GW_OWNER);
        progress.caption = WindowText(dialog);
        progress.rangeLow = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, TRUE, 0));
        progress.rangeHigh = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0));
        run_ = reinterpret_cast<const korvane::ProgressRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
        progressProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgressSubclass)));
    } else if (GetDlgItem(dialog, IDC_OVERWRITE_YES_TO_ALL)) {
        questions.push_back(WindowText(GetDlgItem(dialog, IDC_OVERWRITE_MESSAGE)));
        questionOwners.push_back(GetWindow(dialog, GW_OWNER));
        Answer answer = Answer::kNo;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        switch (answer) {
        case Answer::kYes: Respond(dialog, IDOK); break;
        case Answer::kNo: Respond(dialog, IDCANCEL); break;
        case Answer::kYesToAll: Respond(dialog, IDC_OVERWRITE_YES_TO_ALL); break;
        case Answer::kEscape: Respond(dialog, 0); break;
        }
    } else if (GetDlgItem(dialog, IDC_RESULTS_LIST)) {
        ++results.shown;
        if (run_) {
            progress.stopped = run_->cancelRequested;
            progress.lastDestination = run_->currentDestination;
            run_ = nullptr;
        }
        results.owner = GetWindow(dialog, GW_OWNER);
        results.caption = WindowText(dialog);
        const HWND list = GetDlgItem(dialog, IDC_RESULTS_LIST);
        RECT frame = {};
        GetWindowRect(list, &frame);
        results.listWidth = frame.right - frame.left;
        results.headers.clear();
        results.widths.clear();
        for (int i = 0;; ++i) {
            char title[256] = {};
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = title;
            column.cchTextMax = sizeof title;
            if (!SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column))) break;
            results.headers.push_back(title);
            results.widths.push_back(column.cx);
        }
        results.rows.clear();
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            results.rows.push_back({ListText(list, i, 0), ListText(list, i, 1), ListText(list, i, 2), ListText(list, i, 3)});
        Respond(dialog, IDOK);
    }
}

void DialogDriver::ProgressHandled(HWND dialog, int step) {
    progress.wasVisible = progress.wasVisible || IsWindowVisible(dialog);
    progress.steps.push_back(
        {static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)),
         WindowText(GetDlgItem(dialog, IDC_PROGRESS_TEXT))});
    if (holdMs_ && step == 1) PumpFor(holdMs_);
    if (onProgress) onProgress(step, dialog);
}

}  // namespace transferdriver
