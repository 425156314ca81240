#include "os/module_pin.h"

#include <string>

#include "os/files.h"
#include "os/late_bound.h"

namespace korvane {

HMODULE PinModuleOf(const void* address) noexcept {
    try {
        // Windows XP and later; earlier systems load the module again by its path.
        using GetModuleHandleExFn = BOOL(WINAPI*)(DWORD, LPCSTR, HMODULE*);
        static const auto getEx = LateBound<GetModuleHandleExFn>("kernel32.dll", "GetModuleHandleExA");
        HMODULE module = nullptr;
        if (getEx && getEx(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCSTR>(address), &module))
            return module;
        MEMORY_BASIC_INFORMATION info = {};
        if (!VirtualQuery(address, &info, sizeof info) || !info.AllocationBase) return nullptr;
        return LoadLibraryAt(ModuleFileName(static_cast<HMODULE>(info.AllocationBase)));
    } catch (...) {
        return nullptr;
    }
}

}  // namespace korvane
