#include <gtest/gtest.h>

#include <string>

#include "common/path_text.h"
#include "print_text.h"

using namespace korvane;

namespace {
// In Shift-JIS 表 and ソ end in the byte 0x5C and ル and ぁ in a byte of the lead
// range; in UTF-16 each is one unit, and none is a separator.
const std::u16string kHyo = u"表";
const std::u16string kSo = u"ソ";
const std::u16string kRu = u"ル";
const std::u16string kSmallA = u"ぁ";
const std::u16string kGrin = u"😀";            // U+1F600: the pair D83D DE00
const std::u16string kLoneHigh = u"\xD83D";    // a high surrogate without its partner
const std::u16string kLoneLow = u"\xDE00";
}  // namespace

TEST(PathText, ParentFolder) {
    const struct { std::u16string in; bool keepRoot; std::u16string want; } cases[] = {
        {u"D:\\work\\report.txt", false, u"D:\\work"},
        {u"D:\\report.txt", false, u"D:"},
        {u"D:\\report.txt", true, u"D:\\"},
        {u"report.txt", false, u"report.txt"},
        {u"report.txt", true, u"report.txt"},
        {u"\\name", false, u""},  // only separator is the first unit
        {u"D:\\a\\", false, u"D:\\a"},
        {u"\\\\server\\share\\f.txt", false, u"\\\\server\\share"},
        {u"D:\\" + kHyo, false, u"D:"},
        {u"D:\\x\\" + kSo, true, u"D:\\x"},
        {u"D:\\a" + kHyo + u"b\\c.txt", false, u"D:\\a" + kHyo + u"b"},
        {u"D:\\" + kRu + u"\\a.txt", false, u"D:\\" + kRu},
        {u"D:\\" + kSmallA + u"\\a.txt", false, u"D:\\" + kSmallA},
        {u"D:\\" + kRu + kRu + u"\\" + kRu, false, u"D:\\" + kRu + kRu},
        // separators beside supplementary characters and lone surrogates
        {u"D:\\" + kGrin + u"\\" + kGrin, false, u"D:\\" + kGrin},
        {u"D:\\a\\" + kLoneHigh, false, u"D:\\a"},
        {u"D:\\" + kLoneHigh + u"\\" + kLoneLow, true, u"D:\\" + kLoneHigh},
    };
    for (const auto& c : cases) EXPECT_EQ(ParentFolder(c.in, c.keepRoot), c.want) << Show(c.in);
}

TEST(PathText, StripTrailingBackslash) {
    const struct { std::u16string in, want; } cases[] = {
        {u"\\", u"\\"},
        {u"", u""},
        {u"a", u"a"},
        {u"D:\\", u"D:"},
        {u"D:\\dst\\", u"D:\\dst"},
        {u"D:\\dst", u"D:\\dst"},
        {u"D:\\dst\\\\", u"D:\\dst\\"},  // only one is removed
        {u"D:\\" + kSo, u"D:\\" + kSo},
        {u"D:\\" + kHyo + u"\\", u"D:\\" + kHyo},
        {u"D:\\" + kGrin + u"\\", u"D:\\" + kGrin},
        {u"D:\\" + kGrin, u"D:\\" + kGrin},  // the low half DE00 ends no folder
    };
    for (const auto& c : cases) EXPECT_EQ(StripTrailingBackslash(c.in), c.want) << Show(c.in);
}

TEST(PathText, LastPathComponent) {
    const struct { std::u16string in, want; } cases[] = {
        {u"name", u""},
        {u"D:\\data\\", u""},
        {u"D:\\", u""},
        {u"\\name", u""},
        {u"D:\\data", u"data"},
        {u"D:\\a\\b.txt", u"b.txt"},
        {u"D:\\x\\" + kHyo, kHyo},
        {u"D:\\x\\a" + kSo, u"a" + kSo},
        {u"D:\\" + kRu + u"\\f", u"f"},
        {u"D:\\" + kHyo + u"x\\" + kSo + kHyo, kSo + kHyo},
        {u"D:\\" + kGrin + u"\\" + kGrin + u".txt", kGrin + u".txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(LastPathComponent(c.in), c.want) << Show(c.in);
}

TEST(PathText, EveryBackslashUnitIsASeparator) {
    // Positions count units: the pair takes two.
    const std::u16string path = u"C:\\" + kRu + u"\\" + kGrin + u"\\" + kLoneHigh + u"\\x";
    EXPECT_EQ(SeparatorPositions(path), (std::vector<std::size_t>{2, 4, 7, 9}));
    EXPECT_EQ(LastSeparator(path), 9u);
    EXPECT_TRUE(IsSeparatorAt(path, 7));
    EXPECT_FALSE(IsSeparatorAt(path, 6));  // the low half of the pair
    EXPECT_FALSE(IsSeparatorAt(path, path.size()));
    EXPECT_EQ(LastSeparator(u"abc"), kNoSeparator);
}

TEST(PathText, MakeExtensionPattern) {
    const struct { std::u16string in; std::uint32_t regex; std::u16string want; } cases[] = {
        {u"D:\\work\\report.txt", 0, u"*.txt"},
        {u"D:\\work\\report.txt", 1, u"\\.txt$"},
        {u"D:\\work\\README", 0, u""},
        {u"D:\\my.dir\\README", 0, u"*.dir\\README"},
        {u"D:\\w\\archive.tar.gz", 0, u"*.gz"},
        // every metacharacter of the suffix stands for itself
        {u"D:\\w\\x.c++", 1, u"\\.c\\+\\+$"},
        {u"D:\\w\\a.b(1)", 1, u"\\.b\\(1\\)$"},
        {u"D:\\w\\x.[1]", 1, u"\\.\\[1\\]$"},
        {u"D:\\w\\x.{^$|?*}", 1, u"\\.\\{\\^\\$\\|\\?\\*\\}$"},
        {u"D:\\w\\archive.tar.gz", 1, u"\\.gz$"},
        {u"D:\\my.dir\\README", 1, u"\\.dir\\\\README$"},  // the separator is escaped too
        {u"D:\\", 0, u""},
        {u"D:\\" + kHyo + u".txt", 7, u"\\.txt$"},
        {u"D:\\a." + kGrin, 0, u"*." + kGrin},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeExtensionPattern(c.in, c.regex), c.want) << Show(c.in);
}

TEST(PathText, FolderDisplayForm) {
    EXPECT_EQ(FolderDisplayForm(u"D:"), u"D:\\");
    EXPECT_EQ(FolderDisplayForm(u"D:\\data"), u"D:\\data");
    EXPECT_EQ(FolderDisplayForm(u"DD"), u"DD");
}

// Names that can follow a folder and a separator and open that file, and the device
// names the system would open instead (the part before the first dot, trailing
// spaces dropped, ASCII letters in either case).
TEST(PathText, PlainAndDeviceNames) {
    const struct { std::u16string name; bool plain, device; } cases[] = {
        {u"a.txt", true, false}, {u"README", true, false}, {u".profile", true, false},
        {kHyo + u".txt", true, false}, {kSo, true, false}, {u"a|b", false, false}, {u"\x7F", true, false},
        {kGrin + u".txt", true, false}, {kLoneHigh + u".txt", true, false}, {u"a" + kLoneLow, true, false},
        {kLoneLow + kLoneHigh, true, false},  // halves in the wrong order: two lone surrogates
        {u"", false, false}, {u".", false, false}, {u"..", false, false}, {u"a\\..\\..\\notes.txt", false, false},
        {u"a/b", false, false}, {u"c:x", false, false}, {u"snow?.txt", false, false}, {u"*.txt", false, false},
        {u"a\"b", false, false}, {u"a<b", false, false}, {u"a>b", false, false}, {u"tab\tname", false, false},
        {u"name.", false, false}, {u"name ", false, false}, {u"\x1F", false, false},
        // devices
        {u"nul.txt", false, true}, {u"con", false, true}, {u"aux.c", false, true}, {u"prn.log", false, true},
        {u"com1.txt", false, true}, {u"lpt1", false, true}, {u"NUL.tar.gz", false, true}, {u"nul .txt", false, true},
        {u"CoM9", false, true}, {u"LPT\u00B9.txt", false, true}, {u"com\u00B2", false, true}, {u"lpt\u00B3", false, true},
        {u"CONIN$", false, true}, {u"conout$.log", false, true}, {u"nul..txt", false, true}, {u"aux  ", false, true},
        // not devices
        {u"nul1.txt", true, false}, {u"console.txt", true, false}, {u"com10.txt", true, false},
        {u"lpt.txt", true, false}, {u"com0", true, false}, {u"lpt\u2074", true, false}, {u" nul", true, false},
        {u"\uFF4E\uFF55\uFF4C", true, false},  // full-width letters fold to nothing
        {u"conin", true, false}, {u"nul_.txt", true, false}, {u"x.nul", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPlainName(c.name), c.plain) << Show(c.name);
        EXPECT_EQ(IsDeviceName(c.name), c.device) << Show(c.name);
    }
}
