#include "bridge_cases.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "bridge_support.h"
#include "test_support.h"

using namespace viewtest;
using korvane::FailureReason;
using korvane::MatchList;
using testsupport::U;
using Paths = std::vector<std::u16string>;
using Indexes = std::vector<int>;

namespace {

// The first two texts carry what the user had before: a selection and the focus on
// an item that will not match.
std::vector<ViewItem> MixedItems() {
    return {{u"c.txt"}, {u"a.doc", true, true}, {u"b.txt"}, {u"readme", true, false}};
}

}  // namespace

korvane::ViewRequest viewtest::Request(const std::u16string& pattern, const std::u16string& folder,
                                       bool collectPaths, std::uint32_t useRegex) {
    korvane::ViewRequest request;
    request.currentFolder = folder;
    request.pattern = pattern;
    request.useRegex = useRegex;
    request.collectPaths = collectPaths;
    return request;
}

TEST_P(BridgeTest, SelectsExactlyTheMatchesAndCollectsThemInTheViewsOrder) {
    const struct {
        korvane::ActionKind action;
        Paths paths;
        std::uint32_t units;
    } cases[] = {
        {korvane::kCopyToFolder, {u"C:\\work\\c.txt", u"C:\\work\\b.txt"}, 28},
        {korvane::kCutToClipboard, {u"C:\\work\\c.txt", u"C:\\work\\b.txt"}, 28},
        {korvane::kSelectOnly, {}, 0},  // the view changes, nothing is collected
    };
    for (const auto& c : cases) {
        auto shown = ShowView(MixedItems(), GetParam().otherProcess);
        const HWND view = shown->View();
        ASSERT_TRUE(view);
        const MatchList list = Select(view, Request(u"*.txt", u"C:\\work", c.action <= korvane::kCutToClipboard));
        EXPECT_EQ(SelectedItems(view), (Indexes{0, 2})) << c.action;
        EXPECT_EQ(FocusedItem(view), 1) << "the focus stays where the user left it";
        EXPECT_EQ(list.paths, c.paths) << c.action;
        EXPECT_EQ(list.pathUnits, c.units) << c.action;
    }
}

TEST_P(BridgeTest, NamesArePairedWithTheFolderAsTheViewShowsThem) {
    using testsupport::kHyo;
    using testsupport::kRu;
    using testsupport::kSo;
    const std::u16string doubleByte = U(std::string(kHyo) + kSo + ".txt");  // in the code page both end in 0x5C
    const std::u16string noDot = U(std::string(kRu) + kSo);
    const std::u16string hyoFolder = U(std::string("D:\\") + kHyo);
    // Explorer hiding known extensions shows "report" for report.txt.
    const std::vector<ViewItem> items = {{doubleByte}, {u"report"}, {noDot}, {u"x.txt"}};
    const struct {
        const char16_t* pattern;
        std::uint32_t useRegex;
        std::u16string folder;
        Indexes selected;
        Paths paths;
    } cases[] = {
        {u"*", 0, u"D:", {0, 1, 2, 3}, {u"D:\\" + doubleByte, u"D:\\report", u"D:\\" + noDot, u"D:\\x.txt"}},
        {u"*.txt", 0, hyoFolder, {0, 3}, {hyoFolder + u"\\" + doubleByte, hyoFolder + u"\\x.txt"}},
        {u"report", 0, u"D:\\data", {1}, {u"D:\\data\\report"}},
        {u"*.", 0, u"D:", {1, 2}, {u"D:\\report", u"D:\\" + noDot}},
        {u"^re", 1, u"D:", {1}, {u"D:\\report"}},
    };
    auto shown = ShowView(items, GetParam().otherProcess);
    const HWND view = shown->View();
    ASSERT_TRUE(view);
    for (const auto& c : cases) {
        const MatchList list = Select(view, Request(c.pattern, c.folder, true, c.useRegex));
        EXPECT_EQ(SelectedItems(view), c.selected) << testing::PrintToString(c.pattern);
        EXPECT_EQ(list.paths, c.paths) << testing::PrintToString(c.pattern);
        std::uint32_t units = 0;
        for (const auto& p : c.paths) units += static_cast<std::uint32_t>(p.size() + 1);
        EXPECT_EQ(list.pathUnits, units) << testing::PrintToString(c.pattern);
    }
}

// Wine's view may fill the whole buffer without a NUL; the text must end there all
// the same. Cut to the buffer, the name still makes a path longer than the system
// takes: the item is reported as too long, never collected or selected.
TEST_P(BridgeTest, ATextLongerThanTheBufferIsCutInsideIt) {
    const std::u16string longName(300, u'n');
    auto shown = ShowView({{longName}}, GetParam().otherProcess);
    ASSERT_TRUE(shown->View());
    const MatchList list = Select(shown->View(), Request(u"*", u"C:"));
    EXPECT_TRUE(list.paths.empty());
    EXPECT_EQ(list.pathUnits, 0u);
    EXPECT_EQ(SelectedItems(shown->View()), Indexes{});
    ASSERT_EQ(list.leftOut.size(), 1u);
    const std::u16string& name = list.leftOut[0].name;
    EXPECT_GE(name.size(), 259u);
    EXPECT_LE(name.size(), 260u);
    EXPECT_EQ(name, longName.substr(0, name.size()));
    EXPECT_EQ(list.leftOut[0].folder, u"C:");
    EXPECT_EQ(list.leftOut[0].reason, FailureReason::kPathTooLong);
}

// The remaining tests look at the messages, so the view is always in this process.

TEST_P(BridgeTest, AnEmptyViewIsAskedForItsItemsAndRedrawnOnly) {
    LocalView shown({});
    MessageSpy spy(shown.View());
    const MatchList list = Select(shown.View(), Request(u"*"));
    EXPECT_TRUE(list.paths.empty());
    EXPECT_EQ(list.pathUnits, 0u);
    // The count bounds the walk: with none, no item is asked for.
    ASSERT_EQ(spy.Messages().size(), 3u);
    EXPECT_EQ(spy.Messages()[0].message, static_cast<UINT>(LVM_GETITEMCOUNT));
    EXPECT_EQ(spy.Messages()[1].message, static_cast<UINT>(LVM_GETITEMCOUNT));
    EXPECT_EQ(spy.Messages()[2].message, static_cast<UINT>(LVM_REDRAWITEMS));
    EXPECT_EQ(spy.Messages()[2].wp, 0u);
    EXPECT_EQ(spy.Messages()[2].lp, 0);
}

TEST_P(BridgeTest, TheRedrawCoversExactlyTheItems) {
    LocalView shown(MixedItems());
    MessageSpy spy(shown.View());
    Select(shown.View(), Request(u"*.txt"));
    ASSERT_FALSE(spy.Messages().empty());
    const SpiedMessage& last = spy.Messages().back();
    EXPECT_EQ(last.message, static_cast<UINT>(LVM_REDRAWITEMS));
    EXPECT_EQ(last.wp, 0u);
    EXPECT_EQ(last.lp, 3) << "the last index of four items";
}

TEST_P(BridgeTest, NothingHandedToTheViewOutlivesTheCall) {
    LocalView shown(MixedItems());
    std::vector<void*> handed;  // the record and the text buffer the view was given
    MessageSpy spy(shown.View(), [&](const SpiedMessage& m, bool handled) {
        if (!IsTextRequest(m.message) || handled) return;
        auto* record = reinterpret_cast<LVITEMA*>(m.lp);  // pszText lies where LVITEMW has it
        handed.push_back(record);
        handed.push_back(record->pszText);
    });
    Select(shown.View(), Request(u"*.txt"));
    ASSERT_EQ(handed.size(), 8u);
    for (void* address : handed) {
        MEMORY_BASIC_INFORMATION info = {};
        ASSERT_NE(VirtualQuery(address, &info, sizeof info), 0u);
        EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE)) << address;
    }
}

TEST_P(BridgeTest, AViewThatAnswersZeroToEverythingEndsTheWalk) {
    // What a view destroyed during the main dialog does: every message answers 0.
    bool returned = false;
    Paths paths;
    testsupport::BackgroundThread worker([&] {
        ScriptedWindow dead([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        paths = Select(dead.Handle(), Request(u"*")).paths;
        returned = true;
    });
    ASSERT_TRUE(worker.Join(20000)) << "the walk did not end";
    EXPECT_TRUE(returned);
    EXPECT_TRUE(paths.empty());
}

TEST_P(BridgeTest, AnItemWhoseTextCannotBeReadIsNotTakenForThePreviousOne) {
    std::vector<std::pair<int, UINT>> states;  // item, selection state set
    ScriptedWindow view([&](UINT message, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* record = reinterpret_cast<LVITEMA*>(lp);  // the fields read here lie where LVITEMW has them
        if (IsTextRequest(message)) {  // item 0 answers "a.txt", item 1 fails
            if (record->iItem != 0) return FALSE;
            AnswerText(message, lp, u"a.txt");
            return TRUE;
        }
        switch (message) {
        case LVM_GETITEMCOUNT:
            return 2;
        case LVM_GETNEXTITEM:
            return static_cast<int>(wp) < 1 ? static_cast<int>(wp) + 1 : -1;
        case LVM_SETITEMA:
        case LVM_SETITEMW:
            states.emplace_back(record->iItem, record->state & record->stateMask);
            return TRUE;
        case LVM_SETITEMSTATE:
            states.emplace_back(static_cast<int>(wp), record->state & record->stateMask);
            return TRUE;
        }
        return 0;
    });
    EXPECT_EQ(Select(view.Handle(), Request(u"*", u"C:")).paths, (Paths{u"C:\\a.txt"}));
    EXPECT_EQ(states, (std::vector<std::pair<int, UINT>>{{0, LVIS_SELECTED}, {1, 0}}));
}

// A view that keeps answering new indexes is asked no more often than it has items,
// and one that answers without writing the text never hands on the previous name.
TEST_P(BridgeTest, TheWalkIsBoundByTheCountAndEveryTextIsFresh) {
    int textRequests = 0;
    ScriptedWindow view([&](UINT message, WPARAM wp, LPARAM lp) -> LRESULT {
        if (IsTextRequest(message)) {
            ++textRequests;
            if (reinterpret_cast<LVITEMA*>(lp)->iItem == 0) AnswerText(message, lp, u"a.txt");
            return TRUE;  // items 1 and 2 leave the buffer as it was
        }
        if (message == LVM_GETITEMCOUNT) return 3;
        if (message == LVM_GETNEXTITEM) return static_cast<int>(wp) + 1;  // never -1
        return TRUE;
    });
    const MatchList list = Select(view.Handle(), Request(u"*", u"C:"));
    EXPECT_EQ(textRequests, 3);
    EXPECT_EQ(list.paths, (Paths{u"C:\\a.txt"}));
}

// Items are texts; on disk a matching text may name a folder (which a move would take
// whole), repeat another item's path (hidden extensions), or read as path syntax.
TEST_P(BridgeTest, FoldersRepeatsAndPathSyntaxAreNotCollected) {
    testsupport::TempFolder folder;
    ASSERT_TRUE(testsupport::MakeFolder(folder / "data.txt"));
    ASSERT_TRUE(testsupport::WriteTextFile(folder / "x.txt"));
    const std::vector<ViewItem> items = {{u"data.txt"}, {u"x.txt"}, {u"x.txt"}, {u"a\\..\\..\\notes.txt"},
                                         {u"gone.txt"}, {u"tail."}, {u"nul.txt"}};
    auto shown = ShowView(items, GetParam().otherProcess);
    ASSERT_TRUE(shown->View());
    for (auto action : {korvane::kMoveToFolder, korvane::kSelectOnly}) {
        const MatchList list =
            Select(shown->View(), Request(u"*", folder.PathU(), action == korvane::kMoveToFolder));
        // The folder stays selected as the user asked; a text naming nothing still
        // goes on, to fail in the results as before.
        EXPECT_EQ(SelectedItems(shown->View()), (Indexes{0, 1, 2, 4})) << action;
        const Paths collected = {folder / u"x.txt", folder / u"gone.txt"};
        EXPECT_EQ(list.paths, action == korvane::kMoveToFolder ? collected : Paths{}) << action;
        ASSERT_EQ(list.leftOut.size(), 3u) << action;
        EXPECT_EQ(list.leftOut[0].name, u"a\\..\\..\\notes.txt");
        EXPECT_EQ(list.leftOut[1].name, u"tail.");
        EXPECT_EQ(list.leftOut[2].name, u"nul.txt");  // the device, whatever the folder
        for (const auto& left : list.leftOut) {
            EXPECT_EQ(left.folder, folder.PathU());
            EXPECT_EQ(left.reason, FailureReason::kNone);
        }
    }
}
