#include "bridge_cases.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "bridge_support.h"
#include "test_support.h"

using namespace viewtest;
using korvane::MatchList;
using Strings = std::vector<std::string>;
using Indexes = std::vector<int>;

namespace {

// The first two texts carry what the user had before: a selection and the focus on
// an item that will not match.
std::vector<ViewItem> MixedItems() {
    return {{"c.txt"}, {"a.doc", true, true}, {"b.txt"}, {"readme", true, false}};
}

}  // namespace

korvane::ViewRequest viewtest::Request(const std::string& pattern, const std::string& folder, bool collectPaths,
                                       std::uint32_t useRegex) {
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
        Strings paths;
        std::uint32_t bytes;
    } cases[] = {
        {korvane::kCopyToFolder, {"C:\\work\\c.txt", "C:\\work\\b.txt"}, 28},
        {korvane::kCutToClipboard, {"C:\\work\\c.txt", "C:\\work\\b.txt"}, 28},
        {korvane::kSelectOnly, {}, 0},  // the view changes, nothing is collected
    };
    for (const auto& c : cases) {
        auto shown = ShowView(MixedItems(), GetParam().otherProcess);
        const HWND view = shown->View();
        ASSERT_TRUE(view);
        const MatchList list = Select(view, Request("*.txt", "C:\\work", c.action <= korvane::kCutToClipboard));
        EXPECT_EQ(SelectedItems(view), (Indexes{0, 2})) << c.action;
        EXPECT_EQ(FocusedItem(view), 1) << "the focus stays where the user left it";
        EXPECT_EQ(list.paths, c.paths) << c.action;
        EXPECT_EQ(list.pathBytes, c.bytes) << c.action;
    }
}

TEST_P(BridgeTest, NamesArePairedWithTheFolderAsTheViewShowsThem) {
    using testsupport::kHyo;
    using testsupport::kRu;
    using testsupport::kSo;
    const std::string doubleByte = std::string(kHyo) + kSo + ".txt";  // both end in 0x5C
    const std::string noDot = std::string(kRu) + kSo;
    // Explorer hiding known extensions shows "report" for report.txt.
    const std::vector<ViewItem> items = {{doubleByte}, {"report"}, {noDot}, {"x.txt"}};
    const struct {
        const char* pattern;
        std::uint32_t useRegex;
        std::string folder;
        Indexes selected;
        Strings paths;
    } cases[] = {
        {"*", 0, "D:", {0, 1, 2, 3}, {"D:\\" + doubleByte, "D:\\report", "D:\\" + noDot, "D:\\x.txt"}},
        {"*.txt", 0, std::string("D:\\") + kHyo, {0, 3}, {std::string("D:\\") + kHyo + "\\" + doubleByte,
                                                          std::string("D:\\") + kHyo + "\\x.txt"}},
        {"report", 0, "D:\\data", {1}, {"D:\\data\\report"}},
        {"*.", 0, "D:", {1, 2}, {"D:\\report", "D:\\" + noDot}},
        {"^re", 1, "D:", {1}, {"D:\\report"}},
    };
    auto shown = ShowView(items, GetParam().otherProcess);
    const HWND view = shown->View();
    ASSERT_TRUE(view);
    for (const auto& c : cases) {
        const MatchList list = Select(view, Request(c.pattern, c.folder, true, c.useRegex));
        EXPECT_EQ(SelectedItems(view), c.selected) << c.pattern;
        EXPECT_EQ(list.paths, c.paths) << c.pattern;
        std::uint32_t bytes = 0;
        for (const auto& p : c.paths) bytes += static_cast<std::uint32_t>(p.size() + 1);
        EXPECT_EQ(list.pathBytes, bytes) << c.pattern;
    }
}

TEST_P(BridgeTest, ATextLongerThanTheBufferIsCutInsideIt) {
    // Wine's view fills all 260 bytes without a NUL; the text must end there all the same.
    const std::string longName(300, 'n');
    auto shown = ShowView({{longName}}, GetParam().otherProcess);
    ASSERT_TRUE(shown->View());
    const MatchList list = Select(shown->View(), Request("*", "C:"));
    ASSERT_EQ(list.paths.size(), 1u);
    const std::string& path = list.paths[0];
    EXPECT_GE(path.size(), 3u + 259u);
    EXPECT_LE(path.size(), 3u + 260u);
    EXPECT_EQ(path, "C:\\" + longName.substr(0, path.size() - 3));
    EXPECT_EQ(list.pathBytes, path.size() + 1);
}

// The remaining tests look at the messages, so the view is always in this process.

TEST_P(BridgeTest, AnEmptyViewIsAskedForItsItemsAndRedrawnOnly) {
    LocalView shown({});
    MessageSpy spy(shown.View());
    const MatchList list = Select(shown.View(), Request("*"));
    EXPECT_TRUE(list.paths.empty());
    EXPECT_EQ(list.pathBytes, 0u);
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
    Select(shown.View(), Request("*.txt"));
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
        if (m.message != LVM_GETITEMA || handled) return;
        auto* record = reinterpret_cast<LVITEMA*>(m.lp);
        handed.push_back(record);
        handed.push_back(record->pszText);
    });
    Select(shown.View(), Request("*.txt"));
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
    Strings paths;
    testsupport::BackgroundThread worker([&] {
        ScriptedWindow dead([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        paths = Select(dead.Handle(), Request("*")).paths;
        returned = true;
    });
    ASSERT_TRUE(worker.Join(20000)) << "the walk did not end";
    EXPECT_TRUE(returned);
    EXPECT_TRUE(paths.empty());
}

TEST_P(BridgeTest, AnItemWhoseTextCannotBeReadIsNotTakenForThePreviousOne) {
    std::vector<std::pair<int, UINT>> states;  // item, selection state set
    ScriptedWindow view([&](UINT message, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* record = reinterpret_cast<LVITEMA*>(lp);
        switch (message) {
        case LVM_GETITEMCOUNT:
            return 2;
        case LVM_GETNEXTITEM:
            return static_cast<int>(wp) < 1 ? static_cast<int>(wp) + 1 : -1;
        case LVM_GETITEMA:  // item 0 answers "a.txt", item 1 fails
            if (record->iItem != 0) return FALSE;
            std::strcpy(record->pszText, "a.txt");
            return TRUE;
        case LVM_SETITEMA:
            states.emplace_back(record->iItem, record->state & record->stateMask);
            return TRUE;
        case LVM_SETITEMSTATE:
            states.emplace_back(static_cast<int>(wp), record->state & record->stateMask);
            return TRUE;
        }
        return 0;
    });
    EXPECT_EQ(Select(view.Handle(), Request("*", "C:")).paths, (Strings{"C:\\a.txt"}));
    EXPECT_EQ(states, (std::vector<std::pair<int, UINT>>{{0, LVIS_SELECTED}, {1, 0}}));
}

// A view that keeps answering new indexes is asked no more often than it has items,
// and one that answers without writing the text never hands on the previous name.
TEST_P(BridgeTest, TheWalkIsBoundByTheCountAndEveryTextIsFresh) {
    int textRequests = 0;
    ScriptedWindow view([&](UINT message, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* record = reinterpret_cast<LVITEMA*>(lp);
        switch (message) {
        case LVM_GETITEMCOUNT:
            return 3;
        case LVM_GETNEXTITEM:
            return static_cast<int>(wp) + 1;  // never -1
        case LVM_GETITEMA:
            ++textRequests;
            if (record->iItem == 0) std::strcpy(record->pszText, "a.txt");
            return TRUE;  // items 1 and 2 leave the buffer as it was
        }
        return TRUE;
    });
    const MatchList list = Select(view.Handle(), Request("*", "C:"));
    EXPECT_EQ(textRequests, 3);
    EXPECT_EQ(list.paths, (Strings{"C:\\a.txt"}));
}

// Items are texts; on disk a matching text may name a folder (which a move would take
// whole), repeat another item's path (hidden extensions), or read as path syntax.
TEST_P(BridgeTest, FoldersRepeatsAndPathSyntaxAreNotCollected) {
    testsupport::TempFolder folder;
    ASSERT_TRUE(testsupport::MakeFolder(folder / "data.txt"));
    ASSERT_TRUE(testsupport::WriteTextFile(folder / "x.txt"));
    const std::vector<ViewItem> items = {{"data.txt"}, {"x.txt"}, {"x.txt"}, {"a\\..\\..\\notes.txt"},
                                         {"gone.txt"}, {"tail."}};
    auto shown = ShowView(items, GetParam().otherProcess);
    ASSERT_TRUE(shown->View());
    for (auto action : {korvane::kMoveToFolder, korvane::kSelectOnly}) {
        const MatchList list = Select(shown->View(), Request("*", folder.Path(), action == korvane::kMoveToFolder));
        // The folder stays selected as the user asked; a text naming nothing still
        // goes on, to fail in the results as before.
        EXPECT_EQ(SelectedItems(shown->View()), (Indexes{0, 1, 2, 4})) << action;
        const Strings collected = {folder / "x.txt", folder / "gone.txt"};
        EXPECT_EQ(list.paths, action == korvane::kMoveToFolder ? collected : Strings{}) << action;
        ASSERT_EQ(list.leftOut.size(), 2u) << action;
        EXPECT_EQ(list.leftOut[0].name, "a\\..\\..\\notes.txt");
        EXPECT_EQ(list.leftOut[1].name, "tail.");
        EXPECT_EQ(list.leftOut[0].folder, folder.Path());
    }
}
