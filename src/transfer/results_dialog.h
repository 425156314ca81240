// The results list shown after every copy or move (template 108). Its parameter is
// the ShellExtension whose action and transferResults it shows.
#pragma once
#include <windows.h>

namespace korvane {

INT_PTR CALLBACK ResultsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace korvane
