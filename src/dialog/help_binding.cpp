#include "dialog/help_binding.h"

#include <cstring>
#include <utility>

#include "common/registered_path.h"
#include "common/unique_handle.h"
#include "dialog/entry_text.h"
#include "dialog/main_dialog.h"
#include "match/path_text.h"
#include "common/module.h"

namespace korvane {

namespace {

enum : LONG { kUnbound = 0, kBinding = 1, kBound = 2, kFailed = 3 };

constexpr WORD kHtmlHelpAOrdinal = 14;

// A library named without a folder is taken from the system folder, never looked
// up along the search path, where the current directory (a downloaded folder, a
// share) could supply a file of that name.
std::string InSystemFolder(const std::string& path) {
    if (IsFullPath(path)) return path;
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return StripTrailingBackslash(std::string(folder, length)) + "\\" + path;
}

}  // namespace

HelpBinding::HelpBinding(std::string controlKey, std::string fallbackLibrary) noexcept
    : controlKey_(std::move(controlKey)), fallbackLibrary_(std::move(fallbackLibrary)) {}

HtmlHelpFunction HelpBinding::Entry() {
    // Two Explorer windows may ask at once: one binds, the other gets no help this time.
    const LONG seen = InterlockedCompareExchange(&state_, kBinding, kUnbound);
    if (seen == kUnbound) {
        ++attempts_;
        HtmlHelpFunction bound = nullptr;
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

HtmlHelpFunction HelpBinding::Bind() const {
    HMODULE library = nullptr;
    const std::string registered = RegisteredPath(controlKey_);
    if (!registered.empty()) {
        const std::string path = InSystemFolder(registered);
        if (!path.empty()) library = LoadLibraryA(path.c_str());
    }
    if (!library) {
        const std::string path = InSystemFolder(fallbackLibrary_);
        if (!path.empty()) library = LoadLibraryA(path.c_str());
    }
    if (!library) return nullptr;
    auto entry = reinterpret_cast<HtmlHelpFunction>(GetProcAddress(library, MAKEINTRESOURCEA(kHtmlHelpAOrdinal)));
    if (!entry) FreeLibrary(library);
    return entry;
}

void ShowHelp(HWND owner, UINT command, DWORD_PTR data) {
    static HelpBinding binding(kHtmlHelpControlKey, "hhctrl.ocx");
    try {
        char module[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(moduleInstance, module, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        const std::string file = ParentFolder(std::string(module, length), false) + "\\Korvane.chm";
        if (HtmlHelpFunction entry = binding.Entry()) entry(owner, file.c_str(), command, data);
    } catch (...) {
    }
}

}  // namespace korvane
