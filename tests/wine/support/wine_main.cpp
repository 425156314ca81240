// main() of every Windows test program: the program's own module stands in for the
// DLL's (its resources are linked in when the test asks for them).
#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include "common/module.h"

int main(int argc, char** argv) {
    korvane::moduleInstance = GetModuleHandleA(nullptr);
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
