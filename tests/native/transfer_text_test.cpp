#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "print_text.h"
#include "common/path_text.h"
#include "transfer/destination_paths.h"
#include "transfer/left_out.h"
#include "transfer/overwrite_text.h"
#include "transfer/transfer_display.h"

using namespace korvane;

namespace {
const std::u16string kHyo = u"表";
const std::u16string kRu = u"ル";
const std::u16string kGrin = u"😀";  // D83D DE00
}  // namespace

TEST(TransferPaths, DestinationKeepsThePartBelowTheCurrentFolder) {
    const struct { std::u16string root, current, source, want; } cases[] = {
        {u"D:\\dst", u"E:\\src", u"E:\\src\\b.txt", u"D:\\dst\\b.txt"},
        {u"D:\\dst", u"E:\\src", u"E:\\src\\a\\b.txt", u"D:\\dst\\a\\b.txt"},
        {u"D:\\dst\\src", u"E:\\src", u"E:\\src\\a\\b.txt", u"D:\\dst\\src\\a\\b.txt"},
        {u"D:", u"E:\\src", u"E:\\src\\b.txt", u"D:\\b.txt"},  // the root D:\ once stripped
        // the current folder as a bare drive, or with its backslash (single or doubled in the entry)
        {u"D:\\dst", u"E:", u"E:\\b.txt", u"D:\\dst\\b.txt"},
        {u"D:\\dst", u"E:\\", u"E:\\b.txt", u"D:\\dst\\b.txt"},
        {u"D:\\dst", u"E:\\", u"E:\\\\b.txt", u"D:\\dst\\b.txt"},
        {u"D:\\dst", u"E:\\" + kHyo, u"E:\\" + kHyo + u"\\" + kRu + u"\\b.txt", u"D:\\dst\\" + kRu + u"\\b.txt"},
        {u"D:\\dst", u"E:\\" + kGrin, u"E:\\" + kGrin + u"\\" + kGrin, u"D:\\dst\\" + kGrin},
        // a prefix that stops inside a name is no folder of the source: no destination,
        // never a name flattened into the destination
        {u"D:\\dst", u"E:\\src", u"E:\\srcx\\b.txt", u""},
        {u"D:\\dst", u"E:\\" + kGrin.substr(0, 1), u"E:\\" + kGrin + u"\\b.txt", u""},  // half of a pair
        {u"D:\\dst", u"E:\\src", u"F:\\other\\b.txt", u""},
        {u"D:\\dst", u"E:\\src", u"E:\\src\\", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DestinationPathFor(c.root, c.current, c.source), c.want) << Show(c.current) << " | " << Show(c.source);
}

TEST(TransferPaths, LiesInsideOnlyAtASeparator) {
    const struct { std::u16string path, folder, rest; bool inside; } cases[] = {
        {u"D:\\P\\SEL\\DEEP", u"D:\\P", u"\\SEL\\DEEP", true},
        {u"D:\\P", u"D:\\P", u"", true},      // the folder itself
        {u"D:\\SEL", u"D:", u"\\SEL", true},  // below a drive root
        {u"D:\\PX\\SEL", u"D:\\P", u"", false},
        {u"D:\\P", u"D:\\P\\SEL", u"", false},  // above is not inside
        {u"D:\\" + kGrin + u"\\SEL", u"D:\\" + kGrin.substr(0, 1), u"", false},
    };
    for (const auto& c : cases) {
        std::u16string rest;
        EXPECT_EQ(LiesInside(c.path, c.folder, rest), c.inside) << Show(c.path) << " in " << Show(c.folder);
        EXPECT_EQ(rest, c.rest) << Show(c.path);
    }
}

TEST(TransferPaths, FolderLevelsOutermostFirst) {
    using Levels = std::vector<std::u16string>;
    EXPECT_EQ(FolderLevels(u"D:\\dst\\a\\b"), (Levels{u"D:", u"D:\\dst", u"D:\\dst\\a", u"D:\\dst\\a\\b"}));
    EXPECT_EQ(FolderLevels(u"D:"), (Levels{u"D:"}));
    EXPECT_EQ(FolderLevels(u"\\\\srv\\share\\x"), (Levels{u"\\", u"\\\\srv", u"\\\\srv\\share", u"\\\\srv\\share\\x"}));
    EXPECT_EQ(FolderLevels(u"D:\\" + kHyo + u"\\" + kGrin + u"\\c"),
              (Levels{u"D:", u"D:\\" + kHyo, u"D:\\" + kHyo + u"\\" + kGrin, u"D:\\" + kHyo + u"\\" + kGrin + u"\\c"}));
}

TEST(TransferText, NumbersArePlainDigits) {
    EXPECT_EQ(FormatSize(0), u"0");
    EXPECT_EQ(FormatSize(1234567), u"1234567");
    EXPECT_EQ(FormatSize(0xFFFFFFFFu), u"4294967295");  // never a sign
    EXPECT_EQ(DecimalText(~std::uint64_t{0}), u"18446744073709551615");
    EXPECT_EQ(FormatTimeStamp(2010, 5, 3, 9, 7, 5), u"2010/05/03 09:07:05");
    EXPECT_EQ(FormatTimeStamp(12345, 12, 31, 23, 59, 0), u"12345/12/31 23:59:00");
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
    // A reason to show widens the result column from the folder columns, within bounds.
    EXPECT_EQ(ResultColumnWidths(1000, 80), (std::array<int, 4>{350, 350, 200, 100}));
    EXPECT_EQ(ResultColumnWidths(1000, 181), (std::array<int, 4>{310, 309, 200, 181}));
    EXPECT_EQ(ResultColumnWidths(1000, 5000), (std::array<int, 4>{175, 175, 200, 450}));
}

// Left-out names get failed rows with the folders the list shows; the name is never
// cut, even when it reads as path syntax.
TEST(TransferText, LeftOutNamesBecomeFailedRows) {
    const auto rows = LeftOutRows({{u"E:\\src\\" + kHyo, u"a\\..\\x.txt"}, {u"E:", u"nul.txt"}}, u"D:\\dst", u"E:\\src");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].sourceFolder + u"|" + rows[0].destinationFolder + u"|" + rows[0].fileName,
              u"E:\\src\\" + kHyo + u"|D:\\dst\\" + kHyo + u"|a\\..\\x.txt");
    EXPECT_EQ(rows[1].sourceFolder + u"|" + rows[1].destinationFolder, u"E:\\|");  // not below: no destination
    EXPECT_EQ(rows[0].succeeded + rows[1].succeeded, 0);
    EXPECT_EQ(WithCount(u" (%u files)", 12), u" (12 files)");
    EXPECT_EQ(WithCount(u"%u of %u", 0), u"0 of %u");  // only the first
    EXPECT_EQ(WithCount(u"no count", 3), u"no count");
}
