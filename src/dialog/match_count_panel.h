// The main dialog's match count (control 1040): which files the current entries
// would act on, counted anew when the pattern, the action or the subfolder box
// changes, and the refusal at OK of an expression the RegExp object rejects.
#pragma once
#include <windows.h>

#include <string>

namespace korvane {

struct MainDialogState;

// At WM_INITDIALOG, once the controls hold their first entries: starts the first count
// (of the items of the inputs' view, when the count reads a view).
void AttachMatchCount(HWND dialog, const MainDialogState& state);
// After every WM_COMMAND, with its wParam: counts again when what would be counted
// changed; a change of the pattern waits for a pause in the typing first.
void UpdateMatchCount(HWND dialog, const MainDialogState& state, WPARAM command);
// The count's own timers and result message, and WM_DESTROY (which abandons the count
// and waits a bounded time for its threads). True when the message was the count's.
bool HandleMatchCountMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// At OK in regular-expression mode: when the RegExp object rejects the pattern, tells
// the user so (with the object's own description when it gives one) and returns true.
bool RefuseRejectedExpression(HWND dialog, const std::u16string& pattern);

}  // namespace korvane
