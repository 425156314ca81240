// Message boxes and string-table entries of a given module: the extension's own
// dialogs reach them through ui_text.h, the uninstaller directly.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace korvane {

// The string-table entry of the module, at most capacity units; empty when missing.
std::u16string LoadModuleString(HINSTANCE module, UINT id, std::size_t capacity);

// MessageBox with the text and caption exactly on the NT family; the answer (IDYES...).
int ShowMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT style);

}  // namespace korvane
