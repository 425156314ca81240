// Path cuts follow the system's ANSI code page. Run in code page 932 and in 1252
// (see code_page.cmake): in 1252 é (0xE9) and ë (0xEB) are characters of their own,
// in 932 they would be lead bytes taking the next byte, a separator, along.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "match/folder_scan.h"
#include "match/match_name.h"
#include "common/path_text.h"
#include "shellext/shell_extension.h"
#include "test_support.h"
#include "transfer/destination_paths.h"
#include "transfer/transfer_engine.h"
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

// Below a folder whose name ends in ë: in 1252 the part below it, never a flattened
// name; in 932 that folder ends inside a character and has nothing below.
TEST(CodePage, PathCutsAndDestinations) {
    const std::string zoe = "C:\\Users\\Zo\xEB", cafe = zoe + "\\Caf\xE9";
    EXPECT_EQ(korvane::ParentFolder(cafe + "\\a.txt", false), Western() ? cafe : "C:\\Users");
    EXPECT_EQ(korvane::DestinationPathFor("D:\\dst", zoe, cafe + "\\y.txt"), Western() ? "D:\\dst\\Caf\xE9\\y.txt" : "");
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
    ASSERT_FALSE(extension->CurrentSelection().unusable);
    ASSERT_EQ(extension->CurrentSelection().currentFolder, cafe);

    transferdriver::DialogDriver driver;
    korvane::TransferJob job;
    job.currentFolder = cafe;
    job.destinationFolder = destination.Path();
    job.sameFileAction = korvane::kOverwriteAlways;
    job.includeSubfolders = true;
    job.pattern = "*.txt";
    job.matches = korvane::ScanFolder(cafe, korvane::PreparedPattern(job.pattern, 0));
    korvane::RunTransfer(job, nullptr);

    EXPECT_EQ(ReadTextFile(destination / "a\\y.txt") + ReadTextFile(destination / "b\\y.txt"), "firstsecond");
    EXPECT_EQ(ReadTextFile(destination / "\xE9t\xE9.txt"), "summer");
    auto rows = driver.results.rows;
    std::sort(rows.begin(), rows.end());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1] + "|" + rows[0][2], destination.Path() + "|snow?.txt");  // the only failure
    EXPECT_EQ(rows[1][0] + "|" + rows[1][1], cafe + "|" + destination.Path());
    EXPECT_EQ(rows[2][0] + "|" + rows[2][1], cafe + "\\a|" + (destination / "a"));
    EXPECT_EQ(rows[3][0] + "|" + rows[3][1], cafe + "\\b|" + (destination / "b"));
}
