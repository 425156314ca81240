// IShellExtInit::Initialize: the first selected item decides the mode, the folder
// the command works in and, for a file, the suggested pattern.
#include <windows.h>

#include "common/com_memory.h"
#include "common/unique_handle.h"
#include "common/path_text.h"
#include "os/ansi.h"
#include "os/files.h"
#include "shellext/drop_block.h"
#include "shellext/shell_extension.h"

namespace korvane {

namespace {

enum class Intake { kRefused, kUsable, kUnusable };

// The first path of the data object's drop list. Only global memory is read, and
// only as far as its own size: a block that is cut short or whose offsets point
// outside it refuses the selection. An ANSI list (fWide 0) is taken in the code
// page; its path is unusable when it is not exact.
Intake FirstDroppedPath(IDataObject* data, std::u16string& path) {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    UniqueStgMedium medium;
    if (FAILED(data->GetData(&format, medium.Put()))) return Intake::kRefused;
    if (medium.Get().tymed != TYMED_HGLOBAL || !medium.Get().hGlobal) return Intake::kRefused;
    const SIZE_T size = GlobalSize(medium.Get().hGlobal);
    GlobalLockGuard lock(medium.Get().hGlobal);
    if (!lock.Data()) return Intake::kRefused;
    DroppedPath dropped;
    if (!ReadFirstDroppedPath(static_cast<const unsigned char*>(lock.Data()), size, dropped)) return Intake::kRefused;
    if (dropped.wide) {
        path = dropped.widePath;
        return Intake::kUsable;
    }
    path = FromAnsi(dropped.ansiPath);
    std::string back;
    return ToAnsiExact(path, back) && back == dropped.ansiPath ? Intake::kUsable : Intake::kUnusable;
}

// The folder the command works in is listed with "\*" after it: a longer path
// cannot be listed, nor can a file's path longer than the system's limit be used.
bool FitsSystem(const std::u16string& path, InvocationMode mode) {
    return path.size() + (mode == kFolderMode ? 2 : 0) <= kMaxPathUnits;
}

bool IsDirectory(const std::u16string& path) {
    EntryFacts facts;
    return FindEntry(path, facts) && (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

STDMETHODIMP ShellExtension::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    try {
        dataObject_ = ComPtr<IDataObject>(data);
        if (!data) return E_INVALIDARG;

        std::u16string path;
        const Intake intake = FirstDroppedPath(data, path);
        if (intake == Intake::kRefused) return E_INVALIDARG;
        // A drive root (D:\) is not found by the listing and stays in extension mode.
        const InvocationMode mode = IsDirectory(path) ? kFolderMode : kExtensionMode;
        // The menu item stays; the command only says why it cannot act.
        selection_.unusable = intake == Intake::kUnusable || !FitsSystem(path, mode);
        if (selection_.unusable) return S_OK;

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
