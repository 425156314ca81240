// The COM object of one context-menu invocation. Explorer creates one per menu; it
// holds the data object of the selection, what Initialize made of it and the
// settings of its mode, and runs the command (command.cpp) as a row of steps, each
// a function of its subsystem that takes its inputs and returns its result.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/com_ptr.h"
#include "settings/settings_store.h"
#include "shellext/selection.h"

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

    // What Initialize made of the selection, and the data object it holds.
    const Selection& CurrentSelection() const noexcept { return selection_; }
    IDataObject* HeldDataObject() const noexcept { return dataObject_.Get(); }

private:
    ShellExtension() noexcept;
    ~ShellExtension();
    ShellExtension(const ShellExtension&) = delete;
    ShellExtension& operator=(const ShellExtension&) = delete;

    // The command, from the main dialog to the stored choices (command.cpp). invoker:
    // the window the command came from.
    void RunCommand(HWND invoker);

    LONG refCount_ = 0;
    ComPtr<IDataObject> dataObject_;  // held from Initialize until destruction
    Selection selection_;
    ModeSettings settings_;  // of selection_.mode, read again for every menu and command
};

}  // namespace korvane
