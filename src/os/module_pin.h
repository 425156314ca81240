// A reference to the module some code lies in, so that a thread running that code
// keeps the library loaded until it has left it.
#pragma once
#include <windows.h>

namespace korvane {

// A new reference to the module that holds address (the library in Explorer, the
// program in the tests), given back with FreeLibrary or, by a thread's very last
// call, FreeLibraryAndExitThread; null when none can be had.
HMODULE PinModuleOf(const void* address) noexcept;

}  // namespace korvane
