// The library's IClassFactory and the two exported entry points' logic.
#pragma once
#include <windows.h>
#include <objbase.h>

namespace korvane {

class ClassFactory final : public IClassFactory {
public:
    static ClassFactory* New() noexcept;  // one reference, or null

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ClassFactory() noexcept;
    ~ClassFactory();
    LONG refCount_ = 0;
};

// DllGetClassObject: a new factory for our class id, CLASS_E_CLASSNOTAVAILABLE otherwise.
HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
// DllCanUnloadNow: S_OK when no factory or extension object is alive. Server locks
// are not counted.
HRESULT CanUnloadNow();

}  // namespace korvane
