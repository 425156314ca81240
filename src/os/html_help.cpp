#include "os/html_help.h"

#include <utility>

#include "common/module.h"
#include "common/path_text.h"
#include "os/ansi.h"
#include "os/files.h"
#include "os/late_bound.h"
#include "os/platform.h"
#include "os/registry.h"
#include "os/wide.h"

namespace korvane {

namespace {

enum : LONG { kUnbound = 0, kBinding = 1, kBound = 2, kFailed = 3 };

constexpr WORD kHtmlHelpAOrdinal = 14;
constexpr WORD kHtmlHelpWOrdinal = 15;

using HtmlHelpW = HWND(WINAPI*)(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data);
using HtmlHelpA = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

// A library named without a folder is taken from the system folder, never looked
// up along the search path, where the current directory (a downloaded folder, a
// share) could supply a file of that name.
std::u16string InSystemFolder(const std::u16string& path) {
    if (IsFullPath(path)) return path;
    const std::u16string folder = SystemFolder();
    if (folder.empty()) return std::u16string();
    return StripTrailingBackslash(folder) + u"\\" + path;
}

}  // namespace

HelpBinding::HelpBinding(std::string controlKey, std::u16string fallbackLibrary) noexcept
    : controlKey_(std::move(controlKey)), fallbackLibrary_(std::move(fallbackLibrary)) {}

FARPROC HelpBinding::Entry() {
    // Two Explorer windows may ask at once: one binds, the other gets no help this time.
    const LONG seen = InterlockedCompareExchange(&state_, kBinding, kUnbound);
    if (seen == kUnbound) {
        ++attempts_;
        FARPROC bound = nullptr;
        try {
            bound = Bind();
        } catch (...) {
        }
        entry_ = bound;
        InterlockedExchange(&state_, bound ? kBound : kFailed);
        return bound;
    }
    return seen == kBound ? entry_ : nullptr;
}

FARPROC HelpBinding::Bind() const {
    HMODULE library = nullptr;
    const std::u16string registered = RegisteredPath(controlKey_);
    if (!registered.empty()) library = LoadLibraryAt(InSystemFolder(registered));
    if (!library) library = LoadLibraryAt(InSystemFolder(fallbackLibrary_));
    if (!library) return nullptr;
    const WORD ordinal = IsNt() ? kHtmlHelpWOrdinal : kHtmlHelpAOrdinal;
    const FARPROC entry = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
    if (!entry) FreeLibrary(library);
    return entry;
}

void ShowHelp(HWND owner, UINT command, DWORD_PTR data) {
    static HelpBinding binding(kHtmlHelpControlKey, u"hhctrl.ocx");
    try {
        const std::u16string module = ModuleFileName(moduleInstance);
        if (module.empty()) return;
        const std::u16string file = ParentFolder(module, false) + u"\\Korvane.chm";
        const FARPROC entry = binding.Entry();
        if (!entry) return;
        if (IsNt()) {
            reinterpret_cast<HtmlHelpW>(entry)(owner, AsWide(file), command, data);
        } else {
            std::string ansi;
            if (ToAnsiExact(file, ansi)) reinterpret_cast<HtmlHelpA>(entry)(owner, ansi.c_str(), command, data);
        }
    } catch (...) {
    }
}

}  // namespace korvane
