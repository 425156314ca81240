// The system's ANSI code page, run in 932 and in 1252 (see code_page.cmake). Only
// the edge to the A functions follows it: in 932 0x95 is a lead byte taking the
// next byte (表 is 0x95 0x5C), in 1252 a character of its own, and é (0xE9) is a
// lead byte in 932. Paths, scans and transfers are UTF-16 and give the same answer
// in both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "os/ansi.h"
#include "shellext/shell_extension.h"
#include "test_support.h"
#include "transfer/destination_paths.h"
#include "transfer_driver.h"

using namespace testsupport;
using Paths = std::vector<std::u16string>;

namespace {

bool Western() { return GetACP() == 1252; }

}  // namespace

// Exactly what the code page holds converts, both ways; what it would best-fit
// (¥ to 0x5C, the separator, in 932) does not.
TEST(CodePage, TheAnsiEdgeFollowsTheSystemsCodePage) {
    const UINT codePage = GetACP();
    std::printf("ANSI code page %u\n", codePage);
    ASSERT_TRUE(codePage == 932 || codePage == 1252) << "the locales of the test runs give 932 or 1252";
    const struct { std::u16string text; const char* in932; const char* in1252; } cases[] = {
        {u"a.txt", "a.txt", "a.txt"},
        {u"表", "\x95\x5C", nullptr},
        {u"ｱ", "\xB1", nullptr},  // a single byte of 932
        {u"é", nullptr, "\xE9"},
        {u"¥", nullptr, "\xA5"},
        {u"😀", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const char* want = Western() ? c.in1252 : c.in932;
        std::string ansi;
        EXPECT_EQ(korvane::ToAnsiExact(c.text, ansi), want != nullptr) << A(c.text);
        if (want) {
            EXPECT_EQ(ansi, want) << A(c.text);
            EXPECT_EQ(korvane::FromAnsi(want), c.text) << A(c.text);
        }
    }
    // A lead byte at the end is half a character in 932, read as one replacement
    // unit (the code page's default, U+30FB, under Wine); in 1252 it is •.
    const std::u16string cut = korvane::FromAnsi("a\x95");
    ASSERT_EQ(cut.size(), 2u);
    if (Western()) {
        EXPECT_EQ(cut[1], u'\u2022');
    } else {
        EXPECT_NE(cut[1], u'\u2022');
    }
}

// Below a folder whose name ends in ë, the same cuts in either code page. (Cut as
// code page 932's bytes, that folder ended inside a character and had nothing below.)
TEST(CodePage, PathCutsAndDestinations) {
    const std::u16string zoe = u"C:\\Users\\Zoë", cafe = zoe + u"\\Café";
    EXPECT_EQ(korvane::ParentFolder(cafe + u"\\a.txt", false), cafe);
    EXPECT_EQ(korvane::DestinationPathFor(u"D:\\dst", zoe, cafe + u"\\y.txt"), u"D:\\dst\\Café\\y.txt");
    EXPECT_EQ(korvane::ParentFolder(u"C:\\表\\ソ\\ル.txt", false), u"C:\\表\\ソ");
    EXPECT_EQ(korvane::DestinationPathFor(u"D:\\dst", u"C:\\表", u"C:\\表\\ソ\\ル.txt"), u"D:\\dst\\ソ\\ル.txt");
}

// A whole copy with subfolders from a folder named with é, selected as a Western
// user would: the command works in that folder, both y.txt keep their subfolders,
// and names of any script arrive exactly, whichever code page the system has:
// Japanese in 1252, é and ☃ in 932, ☃ in both.
TEST(CodePage, CopyWithSubfoldersFromAWesternFolder) {
    TempFolder top, destination;
    const std::u16string cafe = top / u"Zoë\\Café";
    ASSERT_TRUE(WriteFileU(cafe + u"\\a\\y.txt", "first"));
    ASSERT_TRUE(WriteFileU(cafe + u"\\b\\y.txt", "second"));
    ASSERT_TRUE(WriteFileU(cafe + u"\\été.txt", "summer"));
    ASSERT_TRUE(WriteFileU(cafe + u"\\snow☃.txt", "snow"));
    ASSERT_TRUE(WriteFileU(cafe + u"\\表.txt", "table"));
    ASSERT_TRUE(WriteFileU(cafe + u"\\ソ\\ル.txt", "katakana"));

    ExtensionRef extension;
    auto data = ShellDataObject(std::vector<std::wstring>{W(cafe + u"\\été.txt")});
    ASSERT_TRUE(data);
    ASSERT_EQ(extension->Initialize(nullptr, data.Get(), nullptr), S_OK);
    ASSERT_FALSE(extension->CurrentSelection().unusable);
    ASSERT_EQ(extension->CurrentSelection().currentFolder, cafe);

    transferdriver::Transfer t(cafe, {}, destination.PathU());
    t.Scan(u"*.txt", true);
    t.Run();

    const std::u16string out = destination.PathU();
    Paths names = {u"a", u"b", u"été.txt", u"snow☃.txt", u"表.txt", u"ソ"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(NamesIn(out), names);
    EXPECT_EQ(ReadFileU(out + u"\\a\\y.txt") + ReadFileU(out + u"\\b\\y.txt"), "firstsecond");
    EXPECT_EQ(ReadFileU(out + u"\\été.txt"), "summer");
    EXPECT_EQ(ReadFileU(out + u"\\snow☃.txt"), "snow");
    EXPECT_EQ(ReadFileU(out + u"\\表.txt"), "table");
    EXPECT_EQ(NamesIn(out + u"\\ソ"), Paths{u"ル.txt"});
    EXPECT_EQ(ReadFileU(out + u"\\ソ\\ル.txt"), "katakana");

    using transferdriver::CopyRow;
    std::vector<transferdriver::ResultRow> rows = t.Rows(), want = {
        CopyRow(cafe, out, u"été.txt", true),
        CopyRow(cafe, out, u"snow☃.txt", true),
        CopyRow(cafe, out, u"表.txt", true),
        CopyRow(cafe + u"\\a", out + u"\\a", u"y.txt", true),
        CopyRow(cafe + u"\\b", out + u"\\b", u"y.txt", true),
        CopyRow(cafe + u"\\ソ", out + u"\\ソ", u"ル.txt", true),
    };
    std::sort(rows.begin(), rows.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(rows, want);
    EXPECT_EQ(t.driver.results.caption, u"コピー結果");
}
