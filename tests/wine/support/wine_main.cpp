// main() of every Windows test program: the program's own module stands in for the
// DLL's (its resources are linked in when the test asks for them).
#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include "match/system_code_page.h"
#include "common/module.h"

int main(int argc, char** argv) {
    korvane::moduleInstance = GetModuleHandleA(nullptr);
    korvane::UseSystemLeadBytes();  // as the library does when it is loaded
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
