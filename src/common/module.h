// Module-wide state of the library: its instance handle and the count of live objects.
#pragma once
#include <windows.h>

namespace korvane {

// The module whose resources (dialogs, strings, icons, animations) the code uses:
// the DLL in Explorer, the test program in the tests.
extern HINSTANCE moduleInstance;

// {D366B385-D565-40FE-B20F-2E5F2DCAD397}
extern const CLSID CLSID_Korvane;
inline constexpr char kClassIdText[] = "{D366B385-D565-40FE-B20F-2E5F2DCAD397}";

// Live ClassFactory and ShellExtension objects. Explorer serves each window on a
// thread of its own, so two context menus can create and destroy objects at once:
// the count changes only through interlocked operations.
void ObjectCreated();
void ObjectDestroyed();
LONG LiveObjectCount();

}  // namespace korvane
