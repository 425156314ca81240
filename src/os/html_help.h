// HTML Help, bound at run time: the library is found through the HTML Help
// control's registration (or, without one, by its plain name in the system
// folder) and its entry point taken by ordinal: HtmlHelpW (15) on the NT family,
// so that a help file in a folder outside the code page opens, HtmlHelpA (14) on
// the 9x family.
#pragma once
#include <windows.h>

#include <string>

namespace korvane {

// HKEY_CLASSES_ROOT key whose default value is the HTML Help control's path.
inline constexpr char kHtmlHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// HTML Help's command that opens the topic of a context number (HH_HELP_CONTEXT).
inline constexpr UINT kHelpContextCommand = 0x000F;

class HelpBinding {
public:
    // fallbackLibrary: the file name loaded from the system folder when the
    // registration is missing or cannot be loaded.
    HelpBinding(std::string controlKey, std::u16string fallbackLibrary) noexcept;
    HelpBinding(const HelpBinding&) = delete;
    HelpBinding& operator=(const HelpBinding&) = delete;

    // The entry point (HtmlHelpW on the NT family, HtmlHelpA on the 9x family), bound
    // at the first call. A failed binding is remembered: later calls return null at
    // once and never load anything again. The library stays loaded for the life of
    // the process.
    FARPROC Entry();
    // How many times a binding was attempted (at most once).
    int Attempts() const { return attempts_; }

private:
    FARPROC Bind() const;

    std::string controlKey_;
    std::u16string fallbackLibrary_;
    volatile LONG state_ = 0;
    FARPROC entry_ = nullptr;
    int attempts_ = 0;
};

// Opens Korvane.chm beside the module with the command and its data word.
void ShowHelp(HWND owner, UINT command, DWORD_PTR data);

}  // namespace korvane
