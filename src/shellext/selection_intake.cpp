// IShellExtInit::Initialize: the first selected item decides the mode, the folder
// the command works in and, for a file, the suggested pattern.
#include <windows.h>
#include <shellapi.h>

#include "common/unique_handle.h"
#include "match/path_text.h"
#include "shellext/shell_extension.h"

namespace korvane {

namespace {

// The first path of the data object's drop list, or an empty string.
std::string FirstDroppedPath(IDataObject* data) {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return std::string();

    std::string path;
    {
        GlobalLockGuard lock(medium.hGlobal);
        if (auto drop = static_cast<HDROP>(lock.Data())) {
            char buffer[MAX_PATH] = {};
            if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) != 0 &&
                DragQueryFileA(drop, 0, buffer, MAX_PATH) != 0)
                path = buffer;
        }
    }
    ReleaseStgMedium(&medium);
    return path;
}

bool IsDirectory(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA(path.c_str(), &found));
    return find && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

STDMETHODIMP ShellExtension::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    try {
        if (dataObject) dataObject->Release();
        dataObject = data;
        if (!dataObject) return E_INVALIDARG;
        dataObject->AddRef();

        const std::string path = FirstDroppedPath(dataObject);
        if (path.empty()) return E_INVALIDARG;

        // A drive root (D:\) is not accepted by FindFirstFileA and stays in extension mode.
        mode = IsDirectory(path) ? kFolderMode : kExtensionMode;
        LoadSettings();  // every per-mode value depends on the mode just decided

        if (mode == kFolderMode) {
            currentFolder = path;
        } else {
            extensionPattern = MakeExtensionPattern(path, useRegex);
            currentFolder = ParentFolder(path, false);
        }
        return S_OK;
    } catch (...) {
        return E_INVALIDARG;
    }
}

}  // namespace korvane
