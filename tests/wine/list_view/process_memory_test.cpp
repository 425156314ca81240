// The list view reached through memory of the view's process, as on Windows XP and
// later; most views are shown by the host program, in a process of their own.
#include <commctrl.h>

#include <string>
#include <vector>

#include "bridge_cases.h"
#include "bridge_support.h"
#include "dialog/match_count.h"
#include "explorer/view_texts.h"
#include "os/platform.h"

using namespace viewtest;
using Paths = std::vector<std::u16string>;

INSTANTIATE_TEST_SUITE_P(ProcessMemory, BridgeTest,
                         testing::Values(BridgeKind{&korvane::SelectInView, true}));

TEST(ProcessMemoryBridge, TheHostShowsItsViewInAnotherProcessOfAnXpSystem) {
    EXPECT_TRUE(korvane::IsWindowsXpOrLater());
    ViewProcess shown({{u"a.txt"}});
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
    const korvane::MatchList list = korvane::SelectInView(gone, Request(u"*"));
    EXPECT_TRUE(list.paths.empty());
    EXPECT_EQ(list.pathUnits, 0u);
}

// The NT family reads the texts with LVM_GETITEMW: names the code page cannot hold
// arrive exactly. Read through the code page, café.txt would be cafe.txt, ¥ a
// separator, 😀 and Hangul question marks. Selecting, collecting, reading the texts
// and the main dialog's count all see the same items.
TEST(ProcessMemoryBridge, NamesOutsideTheCodePageAreSelectedAndCollectedExactly) {
    const std::vector<std::u16string> texts = {u"\ud55c\uad6d\uc5b4.txt", u"a\U0001F600.txt", u"caf\u00e9.txt",
                                               u"cafe.txt", u"a\u00a5..\u00a5..\u00a5notes.txt", u"x.doc"};
    std::vector<ViewItem> items;
    for (const auto& text : texts) items.push_back({text});
    ViewProcess shown(items);
    const HWND view = shown.View();
    ASSERT_TRUE(view);

    std::vector<std::u16string> read;
    korvane::ForEachViewItemText(view, [&](std::u16string_view text) { read.emplace_back(text); });
    EXPECT_EQ(read, texts);

    const std::u16string folder = u"C:\\data";
    const struct {
        const char16_t* pattern;
        std::uint32_t useRegex;
        std::vector<int> selected;
    } cases[] = {
        {u"*.txt", 0, {0, 1, 2, 3, 4}},
        {u"\ud55c*", 0, {0}},
        {u"a?.txt", 0, {1}},  // 😀 is one character
        {u"cafe*", 0, {3}},   // café.txt is no cafe.txt
        {u"caf\u00e9*", 0, {2}},
        {u"^a\u00a5", 1, {4}},
        {u"\U0001F600|\uad6d", 1, {0, 1}},
    };
    for (const auto& c : cases) {
        const std::string label = testing::PrintToString(c.pattern);
        const korvane::MatchList selectOnly = korvane::SelectInView(view, Request(c.pattern, folder, false, c.useRegex));
        EXPECT_EQ(SelectedItems(view), c.selected) << label;
        EXPECT_TRUE(selectOnly.paths.empty()) << label;

        const korvane::MatchList copy = korvane::SelectInView(view, Request(c.pattern, folder, true, c.useRegex));
        Paths want;
        std::uint32_t units = 0;
        for (int i : c.selected) {
            want.push_back(folder + u"\\" + texts[i]);
            units += static_cast<std::uint32_t>(want.back().size() + 1);
        }
        EXPECT_EQ(SelectedItems(view), c.selected) << label;
        EXPECT_EQ(copy.paths, want) << label;
        EXPECT_EQ(copy.pathUnits, units) << label;
        EXPECT_TRUE(copy.leftOut.empty()) << label;

        korvane::MatchCountRequest count;
        count.pattern = c.pattern;
        count.useRegex = c.useRegex;
        count.folder = folder;
        count.fromView = true;
        count.view = view;
        volatile LONG cancel = 0, progress = 0;
        EXPECT_EQ(korvane::CountMatches(count, cancel, progress), static_cast<long>(c.selected.size())) << label;
        EXPECT_EQ(progress, static_cast<LONG>(c.selected.size())) << label;
    }
}
