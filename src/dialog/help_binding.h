// HTML Help, bound at run time: the library is found through the HTML Help
// control's registration (or, without one, by its plain name in the system
// folder) and HtmlHelpA is taken by ordinal.
#pragma once
#include <windows.h>

#include <string>

namespace korvane {

using HtmlHelpFunction = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

// HKEY_CLASSES_ROOT key whose default value is the HTML Help control's path.
inline constexpr char kHtmlHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

class HelpBinding {
public:
    // fallbackLibrary: the file name loaded from the system folder when the
    // registration is missing or cannot be loaded.
    HelpBinding(std::string controlKey, std::string fallbackLibrary) noexcept;
    HelpBinding(const HelpBinding&) = delete;
    HelpBinding& operator=(const HelpBinding&) = delete;

    // The entry point, bound at the first call. A failed binding is remembered: later
    // calls return null at once and never load anything again. The library stays
    // loaded for the life of the process.
    HtmlHelpFunction Entry();
    // How many times a binding was attempted (at most once).
    int Attempts() const { return attempts_; }

private:
    HtmlHelpFunction Bind() const;

    std::string controlKey_;
    std::string fallbackLibrary_;
    volatile LONG state_ = 0;
    HtmlHelpFunction entry_ = nullptr;
    int attempts_ = 0;
};

}  // namespace korvane
