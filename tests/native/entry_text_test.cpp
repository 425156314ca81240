#include <gtest/gtest.h>

#include <string>

#include "dialog/entry_text.h"
#include "print_text.h"

using namespace korvane;

namespace {
const std::u16string kHyo = u"表";
const std::u16string kGrin = u"😀";  // two units: D83D DE00
}  // namespace

TEST(EntryText, CutNeverSplitsAPair) {
    const struct { std::u16string in; std::size_t max; std::u16string want; } cases[] = {
        {std::u16string(300, u'a'), 259, std::u16string(259, u'a')},
        {std::u16string(259, u'a'), 259, std::u16string(259, u'a')},
        {u"", 259, u""},
        {u"ab" + kHyo + u"c", 3, u"ab" + kHyo},  // a BMP character is one unit
        {u"ab" + kGrin, 3, u"ab"},              // the high half alone would be left at the end
        {u"ab" + kGrin, 4, u"ab" + kGrin},
        {kGrin + kGrin + u"x", 3, kGrin},
        {kGrin, 1, u""},
        {kGrin, 0, u""},
        {u"a\xD83D" u"b", 2, u"a\xD83D"},    // a lone high surrogate is a character of its own
        {u"\xDE00\xD83D", 1, u"\xDE00"},      // halves in the wrong order are no pair
    };
    for (const auto& c : cases) EXPECT_EQ(CutToUnits(c.in, c.max), c.want) << Show(c.in) << " / " << c.max;
}

TEST(EntryText, FullPaths) {
    for (const char16_t* p : {u"E:\\backup", u"e:/x", u"C:\\", u"\\\\server\\share", u"//server/share"})
        EXPECT_TRUE(IsFullPath(p)) << Show(p);
    for (const char16_t* p : {u"", u"backup", u"..\\out", u"\\backup", u"D:backup", u"D:", u"1:\\x", u" C:\\x", u"Ｃ:\\x"})
        EXPECT_FALSE(IsFullPath(p)) << Show(p);
}

TEST(EntryText, DestinationsThatAreNotFullPathsStayInsideTheCurrentFolder) {
    const struct { std::u16string typed, folder, want; } cases[] = {
        {u"E:\\backup\\", u"D:\\data", u"E:\\backup\\"},  // full paths unchanged, trailing backslash kept
        {u"\\\\srv\\share\\x", u"D:\\data", u"\\\\srv\\share\\x"},
        {u"", u"D:\\data", u""},
        {u"backup", u"D:\\data", u"D:\\data\\backup"},
        {u"backup\\new", u"D:\\data", u"D:\\data\\backup\\new"},
        {u"..\\out", u"D:\\data\\in", u"D:\\data\\out"},
        {u"..\\..\\..\\out", u"D:\\data", u"D:\\out"},  // never above the root
        {u".\\a\\.\\b", u"D:\\data", u"D:\\data\\a\\b"},
        {u"backup", u"D:", u"D:\\backup"},  // a drive root held as "D:"
        {u"\\backup", u"D:\\data\\in", u"D:\\backup"},
        {u"D:backup", u"C:\\work", u"D:\\backup"},
        {u"D:", u"C:\\work", u"D:\\"},
        {u"..", u"D:", u"D:\\"},
        {u"backup", u"\\\\srv\\share\\data", u"\\\\srv\\share\\data\\backup"},
        {u"\\backup", u"\\\\srv\\share\\data", u"\\\\srv\\share\\backup"},
        {u"out/x", u"D:\\data", u"D:\\data\\out\\x"},
        {kHyo + u"\\x", u"D:\\" + kHyo, u"D:\\" + kHyo + u"\\" + kHyo + u"\\x"},
        {u"..\\" + kGrin + u"\\" + kGrin, u"D:\\" + kGrin + u"\\in", u"D:\\" + kGrin + u"\\" + kGrin + u"\\" + kGrin},
        {u"backup", u"", u"backup"},  // no folder to resolve against
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveDestination(c.typed, c.folder), c.want) << Show(c.typed) << " in " << Show(c.folder);
}

TEST(EntryText, AppendAddsTheCurrentFolderName) {
    const struct { std::u16string typed, folder; bool append; std::u16string want; } cases[] = {
        {u"E:\\backup\\", u"D:\\data", true, u"E:\\backup\\data"},
        {u"E:\\backup", u"D:\\data", true, u"E:\\backup\\data"},
        {u"E:\\backup\\", u"D:\\data", false, u"E:\\backup\\"},
        {u"E:\\backup", u"D:", true, u"E:\\backup\\"},  // a drive root has no name: one backslash
        {u"E:\\", u"D:\\data", true, u"E:\\data"},
        {u"backup", u"D:\\data", true, u"D:\\data\\backup\\data"},
        {u"E:\\b", u"D:\\" + kHyo, true, u"E:\\b\\" + kHyo},
        {u"E:\\b", u"D:\\a\\" + kGrin, true, u"E:\\b\\" + kGrin},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EffectiveDestination(c.typed, c.folder, c.append), c.want) << Show(c.typed) << " in " << Show(c.folder);
}
