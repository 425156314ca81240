// The progress dialog of a run, Explorer's window disabled meanwhile, and the paced
// message pump that services both while the work goes on.
#pragma once
#include <windows.h>

#include "os/message_pump.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/progress_dialog.h"

namespace korvane {

// The progress dialog for the length of the loop. Its procedure lets go of the
// run's state before the window goes, so late messages find no object.
class ProgressWindow {
public:
    // shown: at once; otherwise when Show is called.
    ProgressWindow(HWND owner, ProgressRun& run, bool shown = true)
        : dialog_(CreateModelessDialog(IDD_PROGRESS, owner, ProgressDialogProc, reinterpret_cast<LPARAM>(&run))) {
        if (dialog_ && shown) Show();
    }
    void Show() {
        if (dialog_ && !IsWindowVisible(dialog_)) ShowWindow(dialog_, SW_SHOW);
    }
    ~ProgressWindow() {
        if (dialog_ && IsWindow(dialog_)) {
            SetWindowLongPtrA(dialog_, DWLP_USER, 0);
            DestroyWindow(dialog_);
        }
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    HWND Get() const { return dialog_; }
    // Gone when its owner was destroyed during a pump.
    bool Lost() const { return dialog_ && !IsWindow(dialog_); }

private:
    HWND dialog_;
};

// Explorer's window is disabled for the run, as under a modal dialog: closing it
// would destroy the progress dialog and the list view under the loop. It is
// enabled again before the progress dialog goes, so that the activation returns
// to it.
class DisabledOwner {
public:
    explicit DisabledOwner(HWND owner) {
        HWND top = owner;
        while (top && (GetWindowLongA(top, GWL_STYLE) & WS_CHILD)) top = GetParent(top);
        if (top && IsWindowEnabled(top)) {
            window_ = top;
            EnableWindow(window_, FALSE);
        }
    }
    ~DisabledOwner() {
        if (window_ && IsWindow(window_)) EnableWindow(window_, TRUE);
    }
    DisabledOwner(const DisabledOwner&) = delete;
    DisabledOwner& operator=(const DisabledOwner&) = delete;

private:
    HWND window_ = nullptr;
};

// The message pump runs when it matters, not for every file (a pump costs Wine
// about 50 us, a tenth of copying a small file): before the first file, whenever
// 15 ms have passed since it last ran, right after the dialog was told of a file
// (so that the name shows before the copy), and before every overwrite question.
// A click on the stop button is then noticed within one file plus 15 ms; as before,
// a stop seen in the pump before a file lets that file finish.
class PacedPump {
public:
    explicit PacedPump(const ProgressWindow& window) : window_(window) {}
    bool Due() const { return !ran_ || GetTickCount() - last_ >= kIntervalMs; }
    // False when the run must stop before the file: WM_QUIT came, or the window went.
    bool Run() {
        const bool goOn = PumpMessages(window_.Get()) && !window_.Lost();
        ran_ = true;
        last_ = GetTickCount();
        return goOn;
    }

private:
    static constexpr DWORD kIntervalMs = 15;
    const ProgressWindow& window_;
    bool ran_ = false;
    DWORD last_ = 0;
};

}  // namespace korvane
