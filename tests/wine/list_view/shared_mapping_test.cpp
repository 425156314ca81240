// The list view reached through a shared mapping, as before Windows XP. On an NT
// kernel the mapping's address means something only in this process, so the view is
// the test's own.
#include <commctrl.h>

#include <string>
#include <vector>

#include "bridge_cases.h"
#include "bridge_support.h"
#include "test_support.h"

using namespace viewtest;
using testsupport::U;
using Paths = std::vector<std::u16string>;

INSTANTIATE_TEST_SUITE_P(SharedMapping, BridgeTest,
                         testing::Values(BridgeKind{&korvane::SelectInViewShared, false}));

TEST(SharedMappingBridge, RunsOnANineXSystem) { EXPECT_FALSE(testsupport::IsNtPlatform()); }

TEST(SharedMappingBridge, TwoCommandsAtOnceDoNotShareTheirRecord) {
    // A second command starts while the first waits for its view, as two Explorer
    // processes of the 9x family would run them: with one mapping for both, the
    // second's records would overwrite the first's.
    LocalView first({{u"a.txt"}, {u"b.doc"}, {u"c.txt"}});
    LocalView second({{u"x.txt"}, {u"y.txt"}, {u"z.doc"}});
    korvane::MatchList secondList;
    bool started = false;
    MessageSpy spy(first.View(), [&](const SpiedMessage& m, bool handled) {
        if (m.message != LVM_GETITEMA || handled || started) return;
        started = true;
        secondList = korvane::SelectInViewShared(second.View(), Request(u"*.doc", u"C:\\two"));
    });
    const korvane::MatchList firstList = korvane::SelectInViewShared(first.View(), Request(u"*.txt", u"C:\\one"));
    ASSERT_TRUE(started);
    EXPECT_EQ(firstList.paths, (Paths{u"C:\\one\\a.txt", u"C:\\one\\c.txt"}));
    EXPECT_EQ(secondList.paths, (Paths{u"C:\\two\\z.doc"}));
    EXPECT_EQ(SelectedItems(first.View()), (std::vector<int>{0, 2}));
    EXPECT_EQ(SelectedItems(second.View()), (std::vector<int>{2}));
}

// The 9x family has only the A messages: the view answers in the code page's bytes,
// which the bridge turns back into the same characters, double-byte characters whose
// second byte is 0x5C or a lead byte and half-width katakana alike.
TEST(SharedMappingBridge, TextsComeInTheCodePagesBytesAndAreCollectedExactly) {
    using testsupport::kHyo;
    using testsupport::kRu;
    using testsupport::kSo;
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    const std::vector<std::u16string> texts = {U(std::string(kHyo) + kSo + ".txt"), U(std::string(kRu) + "\xB1.txt"),
                                               u"\u65e5\u672c\u8a9e.doc", u"\u80fd.txt"};
    LocalView shown({{texts[0]}, {texts[1]}, {texts[2]}, {texts[3]}});
    std::vector<UINT> itemMessages;
    korvane::MatchList list;
    {
        MessageSpy spy(shown.View(), [&](const SpiedMessage& m, bool handled) {
            if (!handled && m.message != LVM_GETITEMCOUNT && m.message != LVM_GETNEXTITEM &&
                m.message != LVM_REDRAWITEMS)
                itemMessages.push_back(m.message);
        });
        list = korvane::SelectInViewShared(shown.View(), Request(u"*.txt", u"C:\\data"));
    }
    EXPECT_EQ(list.paths, (Paths{u"C:\\data\\" + texts[0], u"C:\\data\\" + texts[1], u"C:\\data\\" + texts[3]}));
    EXPECT_EQ(SelectedItems(shown.View()), (std::vector<int>{0, 1, 3}));
    // Each item read and set with the A messages, never the W ones.
    const std::vector<UINT> perItem = {LVM_GETITEMA, LVM_SETITEMA};
    std::vector<UINT> want;
    for (std::size_t i = 0; i < texts.size(); ++i) want.insert(want.end(), perItem.begin(), perItem.end());
    EXPECT_EQ(itemMessages, want);
}
