#include "shellext/shell_extension.h"

#include <new>

#include "common/module.h"

namespace korvane {

ShellExtension::ShellExtension() noexcept { ObjectCreated(); }

ShellExtension::~ShellExtension() { ObjectDestroyed(); }

ShellExtension* ShellExtension::New() noexcept {
    auto* object = new (std::nothrow) ShellExtension();
    if (object) object->AddRef();
    return object;
}

STDMETHODIMP ShellExtension::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellExtInit))
        *ppv = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(riid, IID_IContextMenu))
        *ppv = static_cast<IContextMenu*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// One object serves one menu on one Explorer thread, so its own count stays a plain
// integer; only the module-wide count is shared between threads.
STDMETHODIMP_(ULONG) ShellExtension::AddRef() { return static_cast<ULONG>(++refCount_); }

STDMETHODIMP_(ULONG) ShellExtension::Release() {
    const LONG left = --refCount_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

}  // namespace korvane
