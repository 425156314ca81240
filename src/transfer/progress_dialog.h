// The modeless progress dialog of a copy or move (template 105). Its parameter is
// the run's ProgressRun; the transfer loop's own pump services it between files.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "common/types.h"

namespace korvane {

// What the dialog shows, and the one thing it tells the run. The run keeps it for
// as long as the dialog lives.
struct ProgressRun {
    ActionKind action = kCopyToFolder;
    std::size_t fileCount = 0;       // the end of the bar's range
    std::u16string currentDestination;  // destination of the file being transferred
    bool cancelRequested = false;    // the stop button or Esc; the loop looks before each file
};

// Posted before each file: wParam is the file's 1-based number, lParam 0. The text
// comes from the run's currentDestination.
inline constexpr UINT WM_TRANSFER_PROGRESS = WM_APP + 1;

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace korvane
