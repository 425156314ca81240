// The system's VBScript regular-expression object. mingw-w64's headers do not
// declare it, so the interface is written out here from its published layout
// (IDispatch, then the properties Pattern, IgnoreCase and Global, then Execute,
// Test and Replace, in that vtable order).
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace korvane {

// {3F4DACA4-160D-11D2-A8E9-00104B365C9F}: the RegExp class.
inline constexpr CLSID kRegExpClassId = {0x3F4DACA4, 0x160D, 0x11D2, {0xA8, 0xE9, 0x00, 0x10, 0x4B, 0x36, 0x5C, 0x9F}};
// {3F4DACA0-160D-11D2-A8E9-00104B365C9F}: IRegExp.
inline constexpr IID kRegExpInterfaceId = {0x3F4DACA0, 0x160D, 0x11D2, {0xA8, 0xE9, 0x00, 0x10, 0x4B, 0x36, 0x5C, 0x9F}};
// CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER.
inline constexpr DWORD kRegExpContext = 7;

struct IRegExp : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Pattern(BSTR* pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Pattern(BSTR pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IgnoreCase(VARIANT_BOOL* ignoreCase) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IgnoreCase(VARIANT_BOOL ignoreCase) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Global(VARIANT_BOOL* global) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Global(VARIANT_BOOL global) = 0;
    virtual HRESULT STDMETHODCALLTYPE Execute(BSTR source, IDispatch** matches) = 0;
    virtual HRESULT STDMETHODCALLTYPE Test(BSTR source, VARIANT_BOOL* match) = 0;
    virtual HRESULT STDMETHODCALLTYPE Replace(BSTR source, BSTR replacement, BSTR* result) = 0;
};

}  // namespace korvane
