#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transfer/drop_list.h"

using namespace korvane;

namespace {

std::uint32_t FieldAt(const std::string& block, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(block[offset + i]);
    return value;
}

void ExpectHeader(const std::string& block, std::uint32_t wide) {
    ASSERT_GE(block.size(), 20u);
    EXPECT_EQ(FieldAt(block, 0), 20u) << "pFiles";
    for (std::size_t offset : {4u, 8u, 12u}) EXPECT_EQ(FieldAt(block, offset), 0u) << offset;
    EXPECT_EQ(FieldAt(block, 16), wide) << "fWide";
}

}  // namespace

TEST(DropList, WideListIsUtf16LittleEndianWithClosingNuls) {
    // 表 is U+8868; 😀 is the pair D83D DE00, written as two units in their order.
    const std::string block = BuildDropList({u"D:\\a.txt", u"E:\\表\\😀"});
    ExpectHeader(block, 1);
    const std::string paths("D\0:\0\\\0a\0.\0t\0x\0t\0" "\0\0"
                            "E\0:\0\\\0\x68\x88\\\0\x3D\xD8\x00\xDE" "\0\0"
                            "\0\0", 36);
    EXPECT_EQ(block.substr(20), paths);
    EXPECT_EQ(block.size(), 20u + 2 * (9 + 8) + 2);

    const std::string empty = BuildDropList({});
    ExpectHeader(empty, 1);
    EXPECT_EQ(empty.substr(20), std::string(2, '\0')) << "an empty list is its closing NUL unit";
}

TEST(DropList, AnsiHeaderPathsAndClosingNul) {
    const struct {
        std::vector<std::string> paths;
        std::size_t size;
    } cases[] = {
        {{}, 21},  // an empty list: the header and the list's closing NUL
        {{"D:\\a.txt", "D:\\b.txt", "D:\\c.txt"}, 48},        // three paths of 9 bytes with their NULs
        {{"D:\\w\\a.txt", "D:\\w\\b.txt", "D:\\w\\c.txt"}, 54},  // 11 bytes each
        {{"D:\\x"}, 26},
    };
    for (const auto& c : cases) {
        const std::string block = BuildAnsiDropList(c.paths);
        ASSERT_EQ(block.size(), c.size) << c.paths.size();
        ExpectHeader(block, 0);

        std::string expected;
        for (const auto& p : c.paths) expected += p + '\0';
        expected += '\0';
        EXPECT_EQ(block.substr(20), expected);
    }
}

TEST(DropList, AnsiDoubleByteNamesAreCopiedByteForByte) {
    // Shift-JIS: 表 and ソ end in 0x5C, ル in a byte of the lead range; none may be altered or cut.
    const std::string hyo = "\x95\x5C", so = "\x83\x5C", ru = "\x83\x8B";
    const std::vector<std::string> paths = {"D:\\" + hyo + "\\" + so + ".txt", "D:\\" + ru + so};
    const std::string block = BuildAnsiDropList(paths);
    EXPECT_EQ(block.substr(20), paths[0] + '\0' + paths[1] + '\0' + '\0');
}

TEST(DropList, CutMovesEverythingElseCopies) {
    EXPECT_EQ(PreferredDropEffect(kCopyToClipboard), 1u);
    EXPECT_EQ(PreferredDropEffect(kCutToClipboard), 2u);
}
