// IShellExtInit::Initialize: the first selected item decides the mode, the folder
// the command works in and, for a file, the suggested pattern.
#include <windows.h>
#include <shellapi.h>

#include "common/com_memory.h"
#include "common/unique_handle.h"
#include "match/exact_ansi.h"
#include "match/path_text.h"
#include "shellext/shell_extension.h"

namespace korvane {

namespace {

bool IsNtPlatform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The first path of the drop list in the ANSI code page. On the NT family it is read
// in UTF-16, and exact is false when the code page cannot hold it as it is: the ANSI
// form would name another item, or none (café read as cafe, ¥ as a separator).
std::string FirstPathOf(HDROP drop, bool& exact) {
    exact = true;
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0) return std::string();
    if (IsNtPlatform()) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        if (length == 0) return std::string();
        std::wstring wide(length + 1, L'\0');
        if (DragQueryFileW(drop, 0, &wide[0], length + 1) != length) return std::string();
        std::string path;
        exact = ToExactAnsi(wide.data(), length, path) && path.size() < MAX_PATH;
        return path;
    }
    char buffer[MAX_PATH] = {};
    return DragQueryFileA(drop, 0, buffer, MAX_PATH) != 0 ? std::string(buffer) : std::string();
}

// The first path of the data object's drop list, or an empty string.
std::string FirstDroppedPath(IDataObject* data, bool& exact) {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    UniqueStgMedium medium;
    if (FAILED(data->GetData(&format, medium.Put()))) return std::string();
    GlobalLockGuard lock(medium.Get().hGlobal);
    const auto drop = static_cast<HDROP>(lock.Data());
    return drop ? FirstPathOf(drop, exact) : std::string();
}

bool IsDirectory(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA(path.c_str(), &found));
    return find && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

STDMETHODIMP ShellExtension::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    try {
        dataObject_ = ComPtr<IDataObject>(data);
        if (!data) return E_INVALIDARG;

        bool exact = true;
        const std::string path = FirstDroppedPath(data, exact);
        if (path.empty()) return E_INVALIDARG;
        // The menu item stays; the command only says why it cannot act.
        selection_.unusable = !exact;
        if (!exact) return S_OK;

        // A drive root (D:\) is not accepted by FindFirstFileA and stays in extension mode.
        const InvocationMode mode = IsDirectory(path) ? kFolderMode : kExtensionMode;
        if (mode != selection_.mode) settings_ = ModeSettings();  // the other mode's histories are not this one's
        selection_.mode = mode;
        ReloadModeSettings(mode, settings_);  // every per-mode value depends on the mode

        if (selection_.mode == kFolderMode) {
            selection_.currentFolder = path;
        } else {
            selection_.extensionPattern = MakeExtensionPattern(path, settings_.useRegex);
            selection_.currentFolder = ParentFolder(path, false);
        }
        return S_OK;
    } catch (...) {
        return E_INVALIDARG;
    }
}

}  // namespace korvane
