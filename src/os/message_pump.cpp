#include "os/message_pump.h"

#include "os/late_bound.h"
#include "os/platform.h"

namespace korvane {

namespace {

template <typename Peek, typename DialogMessage, typename Dispatch>
bool Pump(HWND dialog, Peek peek, DialogMessage dialogMessage, Dispatch dispatch) {
    MSG msg;
    while (peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (dialog && dialogMessage(dialog, &msg)) continue;
        TranslateMessage(&msg);
        dispatch(&msg);
    }
    return true;
}

}  // namespace

bool PumpMessages(HWND dialog) {
    if (IsNt()) {
        KORVANE_BIND(user32, PeekMessageW);
        KORVANE_BIND(user32, IsDialogMessageW);
        KORVANE_BIND(user32, DispatchMessageW);
        if (PeekMessageW_ && IsDialogMessageW_ && DispatchMessageW_)
            return Pump(dialog, PeekMessageW_, IsDialogMessageW_, DispatchMessageW_);
    }
    return Pump(dialog, PeekMessageA, IsDialogMessageA, DispatchMessageA);
}

void ServeSentMessages() {
    MSG msg;
    if (IsNt()) {
        KORVANE_BIND(user32, PeekMessageW);
        if (PeekMessageW_) {
            PeekMessageW_(&msg, nullptr, 0, 0, PM_NOREMOVE);
            return;
        }
    }
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

}  // namespace korvane
