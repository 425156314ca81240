#include "shellext/class_factory.h"

#include <new>

#include "common/module.h"
#include "shellext/shell_extension.h"

namespace korvane {

ClassFactory::ClassFactory() noexcept { ObjectCreated(); }
ClassFactory::~ClassFactory() { ObjectDestroyed(); }

ClassFactory* ClassFactory::New() noexcept {
    auto* factory = new (std::nothrow) ClassFactory();
    if (factory) factory->AddRef();
    return factory;
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    const LONG left = InterlockedDecrement(&refCount_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    ShellExtension* object = ShellExtension::New();
    if (!object) return E_OUTOFMEMORY;
    // Take a reference, query, release: an interface the object lacks destroys it
    // again instead of leaking it and keeping the library loaded.
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

STDMETHODIMP ClassFactory::LockServer(BOOL) { return S_OK; }

HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_Korvane)) return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = ClassFactory::New();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

HRESULT CanUnloadNow() { return LiveObjectCount() == 0 ? S_OK : S_FALSE; }

}  // namespace korvane
