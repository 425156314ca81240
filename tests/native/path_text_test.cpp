#include <gtest/gtest.h>

#include <string>

#include "match/path_text.h"

using namespace korvane;

namespace {
// Shift-JIS bytes: 表 and ソ end in 0x5C; ル and ぁ end in a byte of the lead range.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kRu = "\x83\x8B";
const std::string kSmallA = "\x82\x9F";
}  // namespace

TEST(PathText, LeadByteRanges) {
    for (int b : {0x81, 0x9F, 0xE0, 0xFC, 0x83, 0x95}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x00, 0x5C, 0x7F, 0x80, 0xA0, 0xDF, 0xFD, 0xFF}) EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
}

TEST(PathText, ParentFolder) {
    const struct { std::string in; bool keepRoot; std::string want; } cases[] = {
        {"D:\\work\\report.txt", false, "D:\\work"},
        {"D:\\report.txt", false, "D:"},
        {"D:\\report.txt", true, "D:\\"},
        {"report.txt", false, "report.txt"},
        {"report.txt", true, "report.txt"},
        {"\\name", false, ""},  // only separator is the first byte
        {"D:\\a\\", false, "D:\\a"},
        {"\\\\server\\share\\f.txt", false, "\\\\server\\share"},
        // a trailing 0x5C that belongs to a character is not the separator
        {"D:\\" + kHyo, false, "D:"},
        {"D:\\x\\" + kSo, true, "D:\\x"},
        {"D:\\a" + kHyo + "b\\c.txt", false, "D:\\a" + kHyo + "b"},
        // the byte before 0x5C is a lead byte, but only as the trail of ル: 0x5C is real
        {"D:\\" + kRu + "\\a.txt", false, "D:\\" + kRu},
        {"D:\\" + kSmallA + "\\a.txt", false, "D:\\" + kSmallA},
        {"D:\\" + kRu + kRu + "\\" + kRu, false, "D:\\" + kRu + kRu},
    };
    for (const auto& c : cases) EXPECT_EQ(ParentFolder(c.in, c.keepRoot), c.want) << c.in;
}

TEST(PathText, StripTrailingBackslash) {
    const struct { std::string in, want; } cases[] = {
        {"\\", "\\"},
        {"", ""},
        {"a", "a"},
        {"D:\\", "D:"},
        {"D:\\dst\\", "D:\\dst"},
        {"D:\\dst", "D:\\dst"},
        {"D:\\dst\\\\", "D:\\dst\\"},  // only one is removed
        {"D:\\" + kSo, "D:\\" + kSo},
        {"D:\\" + kHyo + "\\", "D:\\" + kHyo},
        {"D:\\" + kRu + "\\", "D:\\" + kRu},  // 0x8B is a trail here, the 0x5C a separator
        {"D:\\" + kSmallA + "\\", "D:\\" + kSmallA},
    };
    for (const auto& c : cases) EXPECT_EQ(StripTrailingBackslash(c.in), c.want) << c.in;
}

TEST(PathText, LastPathComponent) {
    const struct { std::string in, want; } cases[] = {
        {"name", ""},
        {"D:\\data\\", ""},
        {"D:\\", ""},
        {"\\name", ""},
        {"D:\\data", "data"},
        {"D:\\a\\b.txt", "b.txt"},
        {"D:\\x\\" + kHyo, kHyo},
        {"D:\\x\\a" + kSo, "a" + kSo},
        {"D:\\" + kRu + "\\f", "f"},
        {"D:\\" + kHyo + "x\\" + kSo + kHyo, kSo + kHyo},
    };
    for (const auto& c : cases) EXPECT_EQ(LastPathComponent(c.in), c.want) << c.in;
}

TEST(PathText, SeparatorsWalkForward) {
    // ル ル 0x5C: both 0x83 bytes are leads only by position; the 0x5C is real.
    const std::string path = "C:\\" + kRu + "\\" + kSo + "\\x";
    EXPECT_EQ(SeparatorPositions(path), (std::vector<std::size_t>{2, 5, 8}));
    EXPECT_TRUE(IsSeparatorAt(path, 5));
    EXPECT_FALSE(IsSeparatorAt(path, 7));  // the trail byte of ソ
    EXPECT_EQ(LastSeparator("abc"), kNoSeparator);
    // A lone lead byte at the end does not run past the string.
    EXPECT_EQ(ParentFolder("D:\\a\\\x95", false), "D:\\a");
}

TEST(PathText, MakeExtensionPattern) {
    const struct { std::string in; std::uint32_t regex; std::string want; } cases[] = {
        {"D:\\work\\report.txt", 0, "*.txt"},
        {"D:\\work\\report.txt", 1, "\\.txt$"},
        {"D:\\work\\README", 0, ""},
        {"D:\\my.dir\\README", 0, "*.dir\\README"},
        {"D:\\w\\archive.tar.gz", 0, "*.gz"},
        {"D:\\w\\x.c++", 1, "\\.c++$"},
        {"D:\\", 0, ""},
        {"D:\\" + kHyo + ".txt", 7, "\\.txt$"},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeExtensionPattern(c.in, c.regex), c.want) << c.in;
}

TEST(PathText, FolderDisplayForm) {
    EXPECT_EQ(FolderDisplayForm("D:"), "D:\\");
    EXPECT_EQ(FolderDisplayForm("D:\\data"), "D:\\data");
    EXPECT_EQ(FolderDisplayForm("DD"), "DD");
}

// Names that can follow a folder and a separator; 0x5C and 0x7C as trail bytes are
// no separator and no bar. The lead bytes are 932's here (the default table).
TEST(PathText, PlainNames) {
    for (const std::string& name : std::vector<std::string>{"a.txt", "README", ".profile", kHyo + ".txt", "\x83\x7C"})
        EXPECT_TRUE(IsPlainName(name)) << name;
    for (const char* name : {"", ".", "..", "a\\..\\..\\notes.txt", "a/b", "c:x", "snow?.txt", "*.txt",
                                   "a\"b", "a<b", "a>b", "a|b", "tab\tname", "name.", "name ", "a\x95"})
        EXPECT_FALSE(IsPlainName(name)) << name;
}
