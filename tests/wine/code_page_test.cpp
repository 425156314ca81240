// Path cuts follow the system's ANSI code page. Run in code page 932 and in 1252
// (see code_page.cmake): in 1252 é (0xE9) and ë (0xEB) are characters of their own,
// in 932 they would be lead bytes taking the next byte, a separator, along.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "match/path_text.h"
#include "shellext/shell_extension.h"
#include "test_support.h"
#include "transfer/destination_paths.h"
#include "transfer_driver.h"

using namespace testsupport;

namespace {

bool Western() { return GetACP() == 1252; }

}  // namespace

TEST(CodePage, LeadBytesAreTheSystemsOwn) {
    const UINT codePage = GetACP();
    std::printf("ANSI code page %u\n", codePage);
    ASSERT_TRUE(codePage == 932 || codePage == 1252) << "the locales of the test runs give 932 or 1252";
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(korvane::IsLeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE)
            << b;
}

TEST(CodePage, PathCutsAndDestinations) {
    const std::string zoe = "C:\\Users\\Zo\xEB", cafe = zoe + "\\Caf\xE9";
    const struct { std::string in, western, japanese; } parents[] = {
        {cafe + "\\a.txt", cafe, "C:\\Users"},
        {cafe, zoe, "C:\\Users"},
        {"C:\\" + std::string("\x95\x5C") + "\\b", "C:\\\x95\x5C", "C:\\\x95\x5C"},  // 表 in 932; • and a separator in 1252
    };
    for (const auto& c : parents)
        EXPECT_EQ(korvane::ParentFolder(c.in, false), Western() ? c.western : c.japanese) << c.in;

    // Below a current folder whose name ends in ë: the part below it, never a
    // flattened name. In 932 that folder ends inside a character and has nothing below.
    const struct { std::string source, western; } destinations[] = {
        {zoe + "\\Caf\xE9\\y.txt", "D:\\dst\\Caf\xE9\\y.txt"},
        {zoe + "\\b\\y.txt", "D:\\dst\\b\\y.txt"},
        {zoe + "\\\xFC.txt", "D:\\dst\\\xFC.txt"},
    };
    for (const auto& c : destinations)
        EXPECT_EQ(korvane::DestinationPathFor("D:\\dst", zoe, c.source), Western() ? c.western : "") << c.source;
}

// A whole copy with subfolders from a folder named with é, selected as a Western
// user would: the command works in that folder, both y.txt keep their subfolders,
// and a name 1252 cannot hold either (☃) is reported.
TEST(CodePage, CopyWithSubfoldersFromAWesternFolder) {
    if (!Western()) GTEST_SKIP() << "made for code page 1252";
    TempFolder top, destination;
    const std::string cafe = top / "Zo\xEB\\Caf\xE9";
    ASSERT_TRUE(WriteTextFile(cafe + "\\a\\y.txt", "first"));
    ASSERT_TRUE(WriteTextFile(cafe + "\\b\\y.txt", "second"));
    ASSERT_TRUE(WriteTextFile(cafe + "\\\xE9t\xE9.txt", "summer"));
    ASSERT_TRUE(WriteWideFile(Widen(cafe) + L"\\snow\u2603.txt"));

    ExtensionRef extension;
    auto data = ShellDataObject({cafe + "\\\xE9t\xE9.txt"});
    ASSERT_TRUE(data);
    ASSERT_EQ(extension->Initialize(nullptr, data.Get(), nullptr), S_OK);
    ASSERT_EQ(extension->selectionUnusable, 0u);
    ASSERT_EQ(extension->currentFolder, cafe);

    transferdriver::DialogDriver driver;
    extension->pattern = "*.txt";
    extension->includeSubfolders = 1;
    extension->action = korvane::kCopyToFolder;
    extension->sameFileAction = korvane::kOverwriteAlways;
    extension->destinationFolder = destination.Path();
    extension->CollectFolder(extension->currentFolder);
    extension->RunTransfer(nullptr);

    EXPECT_EQ(ReadTextFile(destination / "a\\y.txt"), "first");
    EXPECT_EQ(ReadTextFile(destination / "b\\y.txt"), "second");
    EXPECT_EQ(ReadTextFile(destination / "\xE9t\xE9.txt"), "summer");
    EXPECT_EQ(WideNamesIn(Widen(destination.Path())), (std::vector<std::wstring>{L"a", L"b", L"\u00e9t\u00e9.txt"}));
    auto rows = driver.results.rows;
    std::sort(rows.begin(), rows.end(), [](const auto& x, const auto& y) { return x[2] + x[0] < y[2] + y[0]; });
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][2], "snow?.txt");
    EXPECT_EQ(rows[0][1], destination.Path());
    EXPECT_EQ(rows[1][0], cafe + "\\a");
    EXPECT_EQ(rows[1][1], destination / "a");
    EXPECT_EQ(rows[2][0], cafe + "\\b");
    EXPECT_EQ(rows[2][1], destination / "b");
    EXPECT_EQ(rows[3][2], "\xE9t\xE9.txt");
}
