// The main dialog's match count (control 1040): which files the current entries
// would act on, counted anew when the pattern, the action or the subfolder box
// changes, and the refusal at OK of an expression the RegExp object rejects.
#pragma once
#include <windows.h>

#include <string>

namespace korvane {

class ShellExtension;

// At WM_INITDIALOG, once the controls hold their first entries: starts the first count.
// view is Explorer's list view the command works on (null when there is none).
void AttachMatchCount(HWND dialog, const ShellExtension& extension, HWND view);
// After every WM_COMMAND, with its wParam: counts again when what would be counted
// changed; a change of the pattern waits for a pause in the typing first.
void UpdateMatchCount(HWND dialog, const ShellExtension& extension, WPARAM command);
// The count's own timers and result message, and WM_DESTROY (which abandons the count
// and waits a bounded time for its threads). True when the message was the count's.
bool HandleMatchCountMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// In regular-expression mode, at OK: when the RegExp object rejects the pattern, tells
// the user so (with the object's own description when it gives one) and returns true.
bool RefuseRejectedExpression(HWND dialog, const ShellExtension& extension, const std::string& pattern);

}  // namespace korvane
