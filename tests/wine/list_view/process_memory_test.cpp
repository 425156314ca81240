// The list view reached through memory of the view's process, as on Windows XP and
// later; most views are shown by the host program, in a process of their own.
#include "bridge_cases.h"
#include "bridge_support.h"
#include "os/system_helpers.h"

using namespace viewtest;

INSTANTIATE_TEST_SUITE_P(ProcessMemory, BridgeTest,
                         testing::Values(BridgeKind{&korvane::SelectInView, true}));

TEST(ProcessMemoryBridge, TheHostShowsItsViewInAnotherProcessOfAnXpSystem) {
    EXPECT_TRUE(korvane::IsWindowsXpOrLater());
    ViewProcess shown({{"a.txt"}});
    ASSERT_TRUE(shown.View());
    DWORD owner = 0;
    GetWindowThreadProcessId(shown.View(), &owner);
    EXPECT_EQ(owner, shown.ProcessId());
    EXPECT_NE(owner, GetCurrentProcessId());
}

TEST(ProcessMemoryBridge, AWindowThatIsGoneChangesNothing) {
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    const korvane::MatchList list = korvane::SelectInView(gone, Request("*"));
    EXPECT_TRUE(list.paths.empty());
    EXPECT_EQ(list.pathBytes, 0u);
}
