#include <gtest/gtest.h>

#include <string>

#include "dialog/entry_text.h"

using namespace korvane;

namespace {
const std::string kHyo = "\x95\x5C";  // 表: second byte 0x5C
const std::string kRu = "\x83\x8B";   // ル: second byte in the lead-byte range
}  // namespace

TEST(EntryText, CutNeverSplitsACharacter) {
    const struct { std::string in; std::size_t max; std::string want; } cases[] = {
        {std::string(300, 'a'), 259, std::string(259, 'a')},
        {std::string(259, 'a'), 259, std::string(259, 'a')},
        {"", 259, ""},
        {"ab" + kHyo, 3, "ab"},             // the lead byte alone would be left at the end
        {"ab" + kHyo, 4, "ab" + kHyo},
        {kRu + kRu + "x", 3, kRu},          // trail bytes that look like lead bytes
        {kRu + kRu + "x", 5, kRu + kRu + "x"},
        {"a\x81", 5, "a\x81"},              // a lone lead byte at the very end is kept as it is
    };
    for (const auto& c : cases) EXPECT_EQ(CutToBytes(c.in, c.max), c.want) << c.in << " / " << c.max;
}

TEST(EntryText, FullPaths) {
    for (const char* p : {"E:\\backup", "e:/x", "C:\\", "\\\\server\\share", "//server/share"})
        EXPECT_TRUE(IsFullPath(p)) << p;
    for (const char* p : {"", "backup", "..\\out", "\\backup", "D:backup", "D:", "1:\\x", " C:\\x"})
        EXPECT_FALSE(IsFullPath(p)) << p;
}

TEST(EntryText, DestinationsThatAreNotFullPathsStayInsideTheCurrentFolder) {
    const struct { std::string typed; std::string folder; std::string want; } cases[] = {
        {"E:\\backup\\", "D:\\data", "E:\\backup\\"},         // full paths unchanged, trailing backslash kept
        {"\\\\srv\\share\\x", "D:\\data", "\\\\srv\\share\\x"},
        {"", "D:\\data", ""},
        {"backup", "D:\\data", "D:\\data\\backup"},
        {"backup\\new", "D:\\data", "D:\\data\\backup\\new"},
        {"..\\out", "D:\\data\\in", "D:\\data\\out"},
        {"..\\..\\..\\out", "D:\\data", "D:\\out"},          // never above the root
        {".\\a\\.\\b", "D:\\data", "D:\\data\\a\\b"},
        {"backup", "D:", "D:\\backup"},                       // a drive root held as "D:"
        {"\\backup", "D:\\data\\in", "D:\\backup"},
        {"D:backup", "C:\\work", "D:\\backup"},
        {"D:", "C:\\work", "D:\\"},
        {"..", "D:", "D:\\"},
        {"backup", "\\\\srv\\share\\data", "\\\\srv\\share\\data\\backup"},
        {"\\backup", "\\\\srv\\share\\data", "\\\\srv\\share\\backup"},
        {"out/x", "D:\\data", "D:\\data\\out\\x"},
        {kHyo + "\\x", "D:\\" + kHyo, "D:\\" + kHyo + "\\" + kHyo + "\\x"},  // 0x5C trail bytes are no separators
        {"backup", "", "backup"},                             // no folder to resolve against
    };
    for (const auto& c : cases) EXPECT_EQ(ResolveDestination(c.typed, c.folder), c.want) << c.typed << " in " << c.folder;
}

TEST(EntryText, AppendAddsTheCurrentFolderName) {
    const struct { const char* typed; std::string folder; bool append; std::string want; } cases[] = {
        {"E:\\backup\\", "D:\\data", true, "E:\\backup\\data"},
        {"E:\\backup", "D:\\data", true, "E:\\backup\\data"},
        {"E:\\backup\\", "D:\\data", false, "E:\\backup\\"},
        {"E:\\backup", "D:", true, "E:\\backup\\"},          // a drive root has no name: one backslash
        {"E:\\", "D:\\data", true, "E:\\data"},
        {"backup", "D:\\data", true, "D:\\data\\backup\\data"},
        {"E:\\b", "D:\\" + kHyo, true, "E:\\b\\" + kHyo},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EffectiveDestination(c.typed, c.folder, c.append), c.want) << c.typed << " in " << c.folder;
}
