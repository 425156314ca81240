// The COM object of one context-menu invocation. Explorer creates one per menu;
// it carries the whole state of the command: the selection's folder, the settings
// of the mode, the choices made in the main dialog, the match list and the results.
//
// The operations of the other subsystems are members, each defined in its
// subsystem's folder (named beside the declaration).
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shellext/types.h"

namespace korvane {

class ShellExtension final : public IShellExtInit, public IContextMenu {
public:
    // A new object holding one reference (the caller's), or null when memory is short.
    static ShellExtension* New() noexcept;

    // IUnknown: both faces share one count.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IShellExtInit (selection_intake.cpp)
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE pidlFolder, IDataObject* dataObject, HKEY progIdKey) override;

    // IContextMenu (context_menu.cpp)
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR idCmd, UINT type, UINT* reserved, CHAR* name, UINT cchMax) override;

    // Settings of the current mode (settings/settings_store.cpp).
    void LoadSettings();
    void SaveChoices();

    // The pattern the main dialog starts with (dialog/main_dialog.cpp).
    std::string InitialPattern() const;

    // Folder scans (match/folder_scan.cpp).
    void CollectFolder(std::string folder);
    // leaveOut: a folder below `folder`, spelt as the scan spells the folders it
    // enters (folder + "\" + names); the scan does not enter it (compared case-
    // insensitively). Empty: every folder is entered.
    void CollectSubfolders(std::string folder, std::uint32_t addHere, const std::string& leaveOut = std::string());

    // Explorer's list view before Windows 7 (explorer/list_view_bridge.cpp).
    void SelectInView(HWND view);
    void SelectInViewShared(HWND view);

    // Actions (transfer/transfer_engine.cpp, transfer/clipboard.cpp).
    // owner: Explorer's list view, or null. invoker: the window the command was
    // invoked on, whose top-level window is disabled for the run when there is no owner.
    void RunTransfer(HWND owner, HWND invoker = nullptr);
    void PutFilesOnClipboard(HWND owner);

    // --- state of the invocation ---
    IDataObject* dataObject = nullptr;  // held from Initialize until destruction
    std::string extensionPattern;       // from the first selected file's extension
    std::string pattern;                // confirmed in the main dialog
    std::string currentFolder;          // the folder the command works in; "D:" for a drive root
    std::string destinationFolder;      // effective destination (folder name appended when asked)
    std::string typedDestination;       // destination as typed
    std::string currentItemPath;        // destination of the file being transferred
    std::vector<std::string> matchPaths;
    // Beside matchPaths: each file's size as the scan listed it, so that the transfer
    // does not ask for it again. Entries that did not come from a scan (Explorer's
    // view) are kSizeUnknown, or lie past its end.
    std::vector<std::uint64_t> matchSizes;
    std::vector<LeftOutName> leftOutNames;  // matched, but never to be opened: reported instead
    std::array<std::vector<std::string>, 2> patternHistory;
    std::array<std::vector<std::string>, 2> destinationHistory;
    std::vector<TransferResult> transferResults;
    std::array<ActionKind, 2> initialAction{kCopyToFolder, kCopyToFolder};
    std::array<SameFileAction, 2> initialSameFileAction{kAskBeforeOverwrite, kAskBeforeOverwrite};
    std::array<std::uint32_t, 2> initialIncludeSubfolders{0, 0};
    std::array<std::uint32_t, 2> initialAppendFolderName{0, 0};
    std::uint32_t useRegex = 0;
    SameFileAction sameFileAction = kAskBeforeOverwrite;
    std::uint32_t includeSubfolders = 0;
    ActionKind action = kCopyToFolder;
    std::uint32_t initialPatternSource = 0;
    std::uint32_t matchPathBytes = 0;  // sum over matchPaths of (length + 1)
    std::uint32_t cancelRequested = 0;
    std::uint32_t selectionUnusable = 0;  // the selected item's path does not convert exactly
    InvocationMode mode = kExtensionMode;

private:
    ShellExtension() noexcept;
    ~ShellExtension();
    ShellExtension(const ShellExtension&) = delete;
    ShellExtension& operator=(const ShellExtension&) = delete;

    LONG refCount_ = 0;
};

}  // namespace korvane
