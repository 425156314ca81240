// The command, step by step: the main dialog's choices, the matches (from the disk,
// or from Explorer's own list before Windows 7), the action, the stored choices.
// Each step is its subsystem's function; this file only hands each step's result to
// the next.
#include <windows.h>

#include <cstring>

#include "common/com_apartment.h"
#include "dialog/main_dialog.h"
#include "explorer/list_view_bridge.h"
#include "match/collection.h"
#include "match/match_name.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "shellext/shell_extension.h"
#include "transfer/background_collection.h"
#include "transfer/clipboard.h"
#include "transfer/transfer_engine.h"

namespace korvane {

namespace {

BOOL CALLBACK FindListView(HWND window, LPARAM found) {
    char className[260] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "SysListView32") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Explorer's file list among the descendants of the invoking window. Without a
// window nothing is searched: a null parent would make the walk cover every window
// of the desktop and find some other program's list.
HWND FindExplorerListView(HWND window) {
    HWND view = nullptr;
    if (window) EnumChildWindows(window, FindListView, reinterpret_cast<LPARAM>(&view));
    return view;
}

// The object stays alive for the whole command: the transfer's message pump runs
// the host's own code, which may drop its reference meanwhile.
class ReferenceHold {
public:
    explicit ReferenceHold(IUnknown* object) : object_(object) { object_->AddRef(); }
    ~ReferenceHold() { object_->Release(); }
    ReferenceHold(const ReferenceHold&) = delete;
    ReferenceHold& operator=(const ReferenceHold&) = delete;

private:
    IUnknown* object_;
};

bool FromDisk(const Selection& selection) { return selection.mode == kFolderMode || IsWindows7OrLater(); }

bool ToFolder(const Selection& selection, const MainChoices& choices) {
    // In folder mode the main dialog offers only the two folder actions.
    return selection.mode == kFolderMode || choices.action == kCopyToFolder || choices.action == kMoveToFolder;
}

// Before Windows 7 in extension mode the matches are the items of Explorer's own
// list, selected there as they match; they are few and the view lives on this thread.
MatchList CollectFromView(const Selection& selection, const MainChoices& choices, HWND view) {
    ViewRequest request;
    request.currentFolder = selection.currentFolder;
    request.pattern = choices.pattern;
    request.useRegex = choices.useRegex;
    request.collectPaths = choices.action <= kCutToClipboard;
    return IsWindowsXpOrLater() ? SelectInView(view, request) : SelectInViewShared(view, request);
}

// Matches from the disk are looked for off this thread: by the transfer itself, under
// its progress dialog, or here for the clipboard. A stop there ends the command with
// nothing acted on.
void Act(const Selection& selection, const MainChoices& choices, HWND view, HWND invoker) {
    const bool fromDisk = FromDisk(selection);
    if (ToFolder(selection, choices)) {
        TransferJob job;
        job.action = choices.action;
        job.currentFolder = selection.currentFolder;
        job.destinationFolder = choices.destinationFolder;
        job.sameFileAction = choices.sameFileAction;
        job.collectHere = fromDisk;
        job.includeSubfolders = choices.includeSubfolders != 0;
        job.pattern = choices.pattern;
        job.useRegex = choices.useRegex;
        if (!fromDisk) job.matches = CollectFromView(selection, choices, view);
        RunTransfer(job, view, invoker);
        return;
    }
    MatchList matches;
    if (!fromDisk) {
        matches = CollectFromView(selection, choices, view);
    } else {
        DiskRequest request;
        request.folder = selection.currentFolder;
        if (!CollectShowingProgress(request, {choices.pattern, choices.useRegex}, view ? view : invoker, matches))
            return;
    }
    if (choices.action == kCopyToClipboard || choices.action == kCutToClipboard)
        PutFilesOnClipboard(matches, choices.action, GetDesktopWindow());
    // Select only: the selection made in the view is the result.
}

}  // namespace

void ShellExtension::RunCommand(HWND invoker) {
    ReferenceHold hold(static_cast<IShellExtInit*>(this));
    if (selection_.unusable) {
        // Its path cannot be used as it stands: nothing is done.
        ShowMessage(invoker, LoadResourceString(IDS_SELECTION_NAME_UNUSABLE), MB_ICONEXCLAMATION);
        return;
    }
    const HWND view = FindExplorerListView(invoker);
    if (!view && !IsWindows7OrLater()) {
        ShowMessage(invoker, LoadResourceString(IDS_NO_EXPLORER_WINDOW), MB_ICONHAND);
        return;
    }
    MainDialogInputs inputs;
    inputs.mode = selection_.mode;
    inputs.currentFolder = selection_.currentFolder;
    inputs.extensionPattern = selection_.extensionPattern;
    ReloadModeSettings(selection_.mode, settings_);
    inputs.settings = settings_;
    inputs.view = view;
    MainChoices choices;
    if (RunMainDialog(invoker, inputs, choices) != IDOK) return;

    ComApartment apartment;
    Act(selection_, choices, view, invoker);
    // SetFocus(nullptr) would take the keyboard focus from the thread's window.
    if (view) SetFocus(view);
    SaveChoices(selection_.mode, choices, settings_);
}

}  // namespace korvane
