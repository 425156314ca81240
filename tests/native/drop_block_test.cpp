// The first path of a drop block handed over by another program: read only within
// the block's own size, whatever its header and lists claim.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "shellext/drop_block.h"
#include "transfer/drop_list.h"

using namespace korvane;

namespace {

std::string Header(std::uint32_t offset, std::uint32_t wide) {
    std::string block(20, '\0');
    for (int i = 0; i < 4; ++i) {
        block[i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
        block[16 + i] = static_cast<char>((wide >> (8 * i)) & 0xFF);
    }
    return block;
}

bool Read(const std::string& block, DroppedPath& path) {
    return ReadFirstDroppedPath(reinterpret_cast<const unsigned char*>(block.data()), block.size(), path);
}

}  // namespace

TEST(DropBlock, WellFormedListsGiveTheirFirstPath) {
    DroppedPath path;
    ASSERT_TRUE(Read(BuildDropList({u"D:\\자료\\a😀.txt", u"D:\\b.txt"}), path));
    EXPECT_TRUE(path.wide);
    EXPECT_EQ(path.widePath, u"D:\\자료\\a😀.txt");

    ASSERT_TRUE(Read(BuildAnsiDropList({"D:\\\x95\x5C\\a.txt"}), path));  // 表: its second byte is 0x5C
    EXPECT_FALSE(path.wide);
    EXPECT_EQ(path.ansiPath, "D:\\\x95\x5C\\a.txt");

    // A header longer than the structure: the list starts where pFiles says.
    ASSERT_TRUE(Read(Header(24, 0) + std::string(4, 'x') + "C:\\x" + std::string(2, '\0'), path));
    EXPECT_EQ(path.ansiPath, "C:\\x");
}

TEST(DropBlock, MalformedBlocksAreRefusedWithoutReadingPastTheirEnd) {
    const std::string wideList = BuildDropList({u"C:\\a.txt"});
    const std::string ansiList = BuildAnsiDropList({"C:\\a.txt"});
    const struct {
        const char* what;
        std::string block;
    } cases[] = {
        {"empty", ""},
        {"shorter than the header", std::string(19, '\0')},
        {"offset inside the header", Header(8, 0) + "C:\\a" + std::string(2, '\0')},
        {"offset at the end", Header(20, 0)},
        {"offset past the end", Header(4096, 0) + "C:\\a" + std::string(2, '\0')},
        {"an empty list", Header(20, 0) + std::string(1, '\0')},
        {"an empty wide list", Header(20, 1) + std::string(2, '\0')},
        {"path without its NUL", Header(20, 0) + "C:\\a.txt"},
        {"list without its second NUL", ansiList.substr(0, ansiList.size() - 1)},
        {"wide list without its second NUL", wideList.substr(0, wideList.size() - 2)},
        {"wide list cut inside a unit", wideList.substr(0, wideList.size() - 1)},
        {"wide list at an odd offset", Header(21, 1) + std::string(1, '\0') + wideList.substr(20)},
    };
    for (const auto& c : cases) {
        // A copy of exactly the block's size, so that the sanitizer sees any read beyond it.
        const auto* bytes = new unsigned char[c.block.size() ? c.block.size() : 1];
        std::copy(c.block.begin(), c.block.end(), const_cast<unsigned char*>(bytes));
        DroppedPath path;
        EXPECT_FALSE(ReadFirstDroppedPath(bytes, c.block.size(), path)) << c.what;
        delete[] bytes;
    }
}
