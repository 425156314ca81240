// Every W function the edge calls is bound at run time. The 9x family exports only
// some of them (and most of those as stubs that fail or lie), and a DLL whose import
// table names a function its system lacks is not loaded at all: with late binding
// the library loads everywhere, and the W functions run only where IsNt() holds.
#pragma once
#include <windows.h>

namespace korvane {

// A library of the system folder, loaded from there when it is not loaded yet (never
// looked up along the search path) and kept loaded; null when it cannot be had.
HMODULE SystemLibrary(const char* library) noexcept;

// The function of that name in a system library, or null.
FARPROC SystemFunction(const char* library, const char* name) noexcept;

// The function bound once, on first use, typed as the SDK declares it.
template <typename Function>
Function LateBound(const char* library, const char* name) noexcept {
    return reinterpret_cast<Function>(SystemFunction(library, name));
}

}  // namespace korvane

// A static local pointer to the W function `name` of `library`, of its own type:
//   KORVANE_BIND(kernel32, FindFirstFileW); ... FindFirstFileW_(...)
// The caller has checked IsNt(); on the NT family every one of them exists.
#define KORVANE_BIND(library, name) \
    static const auto name##_ = ::korvane::LateBound<decltype(&::name)>(#library ".dll", #name)
