#include <gtest/gtest.h>

#include <string>

#include "transfer/destination_paths.h"
#include "transfer/left_out.h"
#include "transfer/overwrite_text.h"
#include "transfer/transfer_display.h"

using namespace korvane;

namespace {
// Shift-JIS: 表 ends in 0x5C; ル ends in a byte of the lead range.
const std::string kHyo = "\x95\x5C";
const std::string kRu = "\x83\x8B";
}  // namespace

TEST(TransferPaths, DestinationKeepsThePartBelowTheCurrentFolder) {
    const struct { std::string root, current, source, want; } cases[] = {
        {"D:\\dst", "E:\\src", "E:\\src\\b.txt", "D:\\dst\\b.txt"},
        {"D:\\dst", "E:\\src", "E:\\src\\a\\b.txt", "D:\\dst\\a\\b.txt"},
        {"D:\\dst\\src", "E:\\src", "E:\\src\\a\\b.txt", "D:\\dst\\src\\a\\b.txt"},
        {"D:", "E:\\src", "E:\\src\\b.txt", "D:\\b.txt"},  // the root D:\ once stripped
        // the current folder as a bare drive, or with its backslash (single or doubled in the entry)
        {"D:\\dst", "E:", "E:\\b.txt", "D:\\dst\\b.txt"},
        {"D:\\dst", "E:\\", "E:\\b.txt", "D:\\dst\\b.txt"},
        {"D:\\dst", "E:\\", "E:\\\\b.txt", "D:\\dst\\b.txt"},
        // a folder name ending in a 0x5C trail byte is not cut inside the character
        {"D:\\dst", "E:\\" + kHyo, "E:\\" + kHyo + "\\" + kRu + "\\b.txt", "D:\\dst\\" + kRu + "\\b.txt"},
        // a prefix that stops inside a name is no folder of the source: no destination,
        // never a name flattened into the destination
        {"D:\\dst", "E:\\src", "E:\\srcx\\b.txt", ""},
        {"D:\\dst", "E:\\" + kHyo.substr(0, 1), "E:\\" + kHyo + "\\b.txt", ""},
        {"D:\\dst", "E:\\src", "F:\\other\\b.txt", ""},
        {"D:\\dst", "E:\\src", "E:\\src\\", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DestinationPathFor(c.root, c.current, c.source), c.want) << c.current << " | " << c.source;
}

TEST(TransferPaths, LiesInsideOnlyAtARealSeparator) {
    const struct { std::string path, folder, rest; bool inside; } cases[] = {
        {"D:\\P\\SEL\\DEEP", "D:\\P", "\\SEL\\DEEP", true},
        {"D:\\P", "D:\\P", "", true},      // the folder itself
        {"D:\\SEL", "D:", "\\SEL", true},  // below a drive root
        {"D:\\PX\\SEL", "D:\\P", "", false},
        {"D:\\P", "D:\\P\\SEL", "", false},  // above is not inside
        {"D:\\" + kHyo + "\\SEL", "D:\\" + kHyo.substr(0, 1), "", false},  // 0x5C as a trail byte
    };
    for (const auto& c : cases) {
        std::string rest;
        EXPECT_EQ(LiesInside(c.path, c.folder, rest), c.inside) << c.path << " in " << c.folder;
        EXPECT_EQ(rest, c.rest) << c.path;
    }
}

TEST(TransferPaths, FolderLevelsOutermostFirstAtRealSeparatorsOnly) {
    using Levels = std::vector<std::string>;
    EXPECT_EQ(FolderLevels("D:\\dst\\a\\b"), (Levels{"D:", "D:\\dst", "D:\\dst\\a", "D:\\dst\\a\\b"}));
    EXPECT_EQ(FolderLevels("D:"), (Levels{"D:"}));
    EXPECT_EQ(FolderLevels("\\\\srv\\share\\x"), (Levels{"\\", "\\\\srv", "\\\\srv\\share", "\\\\srv\\share\\x"}));
    // 表's 0x5C is no level; the separator after ル (whose trail byte is in the lead range) is one.
    EXPECT_EQ(FolderLevels("D:\\" + kHyo + "\\" + kRu + "\\c"),
              (Levels{"D:", "D:\\" + kHyo, "D:\\" + kHyo + "\\" + kRu, "D:\\" + kHyo + "\\" + kRu + "\\c"}));
}

TEST(TransferText, SizesArePlainDigits) {
    EXPECT_EQ(FormatSize(0), "0");
    EXPECT_EQ(FormatSize(1234567), "1234567");
    EXPECT_EQ(FormatSize(0xFFFFFFFFu), "4294967295");  // never a sign
}

TEST(TransferText, NewerOnlyComparesAllSixtyFourBits) {
    EXPECT_FALSE(SourceIsNewer(7, 100, 7, 100));                // equal: skip
    EXPECT_TRUE(SourceIsNewer(7, 101, 7, 100));                 // one tick newer
    EXPECT_FALSE(SourceIsNewer(7, 99, 7, 100));                 // older
    EXPECT_TRUE(SourceIsNewer(8, 0, 7, 0xFFFFFFFFu));           // the high half decides first
    EXPECT_FALSE(SourceIsNewer(7, 0xFFFFFFFFu, 8, 0));
    EXPECT_TRUE(SourceIsNewer(0x80000000u, 0, 0x7FFFFFFFu, 5));  // unsigned, not signed
}

TEST(TransferText, ResultColumnsTruncateTheirShareOfTheWidth) {
    EXPECT_EQ(ResultColumnWidths(1000), (std::array<int, 4>{350, 350, 200, 100}));
    EXPECT_EQ(ResultColumnWidths(759), (std::array<int, 4>{265, 265, 151, 75}));  // 265.65, 151.8, 75.9
    EXPECT_EQ(ResultColumnWidths(0), (std::array<int, 4>{0, 0, 0, 0}));
}

// Left-out names get failed rows with the folders the list shows; the name is never
// cut, even when it reads as path syntax.
TEST(TransferText, LeftOutNamesBecomeFailedRows) {
    const auto rows = LeftOutRows({{"E:\\src\\" + kHyo, "a\\..\\x.txt"}, {"E:", "snow?.txt"}}, "D:\\dst", "E:\\src");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].sourceFolder + "|" + rows[0].destinationFolder + "|" + rows[0].fileName,
              "E:\\src\\" + kHyo + "|D:\\dst\\" + kHyo + "|a\\..\\x.txt");
    EXPECT_EQ(rows[1].sourceFolder + "|" + rows[1].destinationFolder, "E:\\|");  // not below: no destination
    EXPECT_EQ(rows[0].succeeded + rows[1].succeeded, 0);
    EXPECT_EQ(WithCount(" (%u files)", 12), " (12 files)");
}
