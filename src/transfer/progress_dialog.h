// The modeless progress dialog of a copy or move (template 105). Its parameter is
// the running ShellExtension; the transfer loop's own pump services it between files.
#pragma once
#include <windows.h>

namespace korvane {

// Posted before each file: wParam is the file's 1-based number, lParam 0. The text
// comes from the extension's currentItemPath.
inline constexpr UINT WM_TRANSFER_PROGRESS = WM_APP + 1;

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace korvane
