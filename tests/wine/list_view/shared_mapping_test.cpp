// The list view reached through a shared mapping, as before Windows XP. On an NT
// kernel the mapping's address means something only in this process, so the view is
// the test's own.
#include <commctrl.h>

#include "bridge_cases.h"
#include "bridge_support.h"
#include "test_support.h"

using namespace viewtest;
using Strings = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(SharedMapping, BridgeTest,
                         testing::Values(BridgeKind{&korvane::SelectInViewShared, false}));

TEST(SharedMappingBridge, RunsOnANineXSystem) { EXPECT_FALSE(testsupport::IsNtPlatform()); }

TEST(SharedMappingBridge, TwoCommandsAtOnceDoNotShareTheirRecord) {
    // A second command starts while the first waits for its view, as two Explorer
    // processes of the 9x family would run them: with one mapping for both, the
    // second's records would overwrite the first's.
    LocalView first({{"a.txt"}, {"b.doc"}, {"c.txt"}});
    LocalView second({{"x.txt"}, {"y.txt"}, {"z.doc"}});
    korvane::MatchList secondList;
    bool started = false;
    MessageSpy spy(first.View(), [&](const SpiedMessage& m, bool handled) {
        if (m.message != LVM_GETITEMA || handled || started) return;
        started = true;
        secondList = korvane::SelectInViewShared(second.View(), Request("*.doc", "C:\\two"));
    });
    const korvane::MatchList firstList = korvane::SelectInViewShared(first.View(), Request("*.txt", "C:\\one"));
    ASSERT_TRUE(started);
    EXPECT_EQ(firstList.paths, (Strings{"C:\\one\\a.txt", "C:\\one\\c.txt"}));
    EXPECT_EQ(secondList.paths, (Strings{"C:\\two\\z.doc"}));
    EXPECT_EQ(SelectedItems(first.View()), (std::vector<int>{0, 2}));
    EXPECT_EQ(SelectedItems(second.View()), (std::vector<int>{2}));
}
