// The message pump a long step runs on Explorer's thread while its own modeless
// dialog is up: every message of the thread is dispatched, Explorer's windows too.
#pragma once
#include <windows.h>

namespace korvane {

// Dispatches every message of the thread until the queue is empty; the dialog's
// keys (Esc, Tab) go to it through IsDialogMessage. The W functions on the NT family,
// where Explorer's windows are Unicode: a character typed meanwhile reaches them
// whole. False when WM_QUIT came: it is posted again with its exit code, for the
// thread's own loop to end on.
bool PumpMessages(HWND dialog);

// Serves the messages other threads have sent to this one, and nothing else: a
// thread waiting for a worker that sends to a window of this thread lets it on.
void ServeSentMessages();

}  // namespace korvane
