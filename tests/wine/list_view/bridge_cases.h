// The tests both ways of reaching the view must pass; each test program instantiates
// them for its own way.
#pragma once
#include <gtest/gtest.h>

#include "shellext/shell_extension.h"

namespace viewtest {

struct BridgeKind {
    void (korvane::ShellExtension::*select)(HWND view);
    bool otherProcess;  // the view is shown by the host program, not by the test
};

class BridgeTest : public testing::TestWithParam<BridgeKind> {
protected:
    void Select(korvane::ShellExtension& extension, HWND view) const { (extension.*GetParam().select)(view); }
};

}  // namespace viewtest
