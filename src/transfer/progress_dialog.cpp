#include "transfer/progress_dialog.h"

#include <commctrl.h>

#include "common/module.h"
#include "os/late_bound.h"
#include "os/placement.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/left_out.h"
#include "transfer/transfer_display.h"

namespace korvane {

namespace {

// The system's own shell32 clips before Vista, where they match the look of the
// system; our own clips from Vista on.
constexpr int kShellMoveClip = 160;
constexpr int kShellCopyClip = 161;

void StartAnimation(HWND dialog, ActionKind action) {
    HINSTANCE module = moduleInstance;
    int clip = action != kCopyToFolder ? IDR_AVI_MOVE : IDR_AVI_COPY;
    if (!IsWindowsVistaOrLater()) {
        // Stays loaded: the control reads the clip for as long as it plays.
        module = SystemLibrary("shell32.dll");
        clip = action != kCopyToFolder ? kShellMoveClip : kShellCopyClip;
    }
    const HWND animation = GetDlgItem(dialog, IDC_PROGRESS_ANIMATION);
    SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(module), reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(clip)));
    SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
}

void OnInit(HWND dialog, const ProgressRun& run) {
    PlaceNearCursor(dialog, 0);
    StartAnimation(dialog, run.action);
    ShowFileCount(dialog, run);
}

LPARAM BarEnd(std::size_t files) {
    const std::size_t steps = files * kBarSteps;
    return static_cast<LPARAM>(steps < 0x7FFFFFFF ? steps : 0x7FFFFFFF);
}

// The bar redraws itself at once on every PBM_SETPOS (Wine's does), which costs
// more than copying a small file; a position that would fill no further pixel is
// left out. The end of the range is always set.
void MoveBar(HWND bar, int position) {
    PBRANGE range = {};
    SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    const int span = range.iHigh - range.iLow;
    if (span > 0 && position < range.iHigh) {
        RECT client = {};
        GetClientRect(bar, &client);
        const int width = client.right - client.left;
        const int shown = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
        if (MulDiv(shown - range.iLow, width, span) == MulDiv(position - range.iLow, width, span)) return;
    }
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// The bar at the start of the file of that number, plus a part of its steps.
int BarPosition(std::size_t number, std::uint64_t done, std::uint64_t total) {
    const std::uint64_t before = number > 0 ? (number - 1) * static_cast<std::uint64_t>(kBarSteps) : 0;
    const std::uint64_t within = total > 0 && done <= total ? done * kBarSteps / total : 0;
    const std::uint64_t position = before + within;
    return static_cast<int>(position < 0x7FFFFFFF ? position : 0x7FFFFFFF);
}

void OnProgress(HWND dialog, const ProgressRun& run, WPARAM number) {
    MoveBar(GetDlgItem(dialog, IDC_PROGRESS_BAR), BarPosition(number, 0, 0));
    SetItemText(dialog, IDC_PROGRESS_TEXT,
                ProgressText(run.currentDestination, LoadResourceString(IDS_PROGRESS_OBJECT),
                             LoadResourceString(run.action != kCopyToFolder ? IDS_PROGRESS_MOVING
                                                                            : IDS_PROGRESS_COPYING)));
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* run = reinterpret_cast<ProgressRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!run) return FALSE;  // messages before WM_INITDIALOG, and after the run let go
        switch (message) {
        case WM_INITDIALOG: OnInit(dialog, *run); break;
        case WM_COMMAND:
            // The stop button, or Esc through IsDialogMessageA: the loop looks at the
            // flag before the next file; the dialog stays until the run ends.
            if (LOWORD(wParam) == IDCANCEL) run->cancelRequested = true;
            break;
        case WM_TRANSFER_PROGRESS: OnProgress(dialog, *run, wParam); break;
        }
    } catch (...) {
    }
    return FALSE;
}

void ShowSearching(HWND dialog, std::size_t found) {
    if (!dialog) return;
    SetItemText(dialog, IDC_PROGRESS_TEXT, WithCount(LoadResourceString(IDS_PROGRESS_SEARCHING), found));
}

void ShowFileCount(HWND dialog, const ProgressRun& run) {
    if (!dialog) return;
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, BarEnd(run.fileCount));
}

void ShowBytes(HWND dialog, std::size_t number, std::uint64_t done, std::uint64_t total) {
    if (!dialog) return;
    MoveBar(GetDlgItem(dialog, IDC_PROGRESS_BAR), BarPosition(number, done, total));
}

}  // namespace korvane
