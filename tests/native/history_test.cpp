#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "print_text.h"
#include "settings/history.h"

using korvane::MergeHistory;
using List = std::vector<std::u16string>;

namespace {

List Numbered(int count, const std::u16string& stem) {
    List list;
    for (int i = 0; i < count; ++i) list.push_back(stem + korvane::DecimalText(static_cast<unsigned>(i)));
    return list;
}

}  // namespace

TEST(History, UsedEntryGoesFirstOnce) {
    const struct { List previous; std::u16string entry; List want; } cases[] = {
        {{}, u"*.txt", {u"*.txt"}},
        {{u"a", u"b", u"c"}, u"new", {u"new", u"a", u"b", u"c"}},
        {{u"a", u"b", u"c"}, u"a", {u"a", u"b", u"c"}},
        {{u"a", u"b", u"c"}, u"b", {u"b", u"a", u"c"}},  // the second moves to the front
        {{u"a", u"b", u"c"}, u"c", {u"c", u"a", u"b"}},
        // unit for unit: letter case, a trailing blank and full-width forms make other entries
        {{u"*.TXT", u"*.txt ", u"*.ｔｘｔ"}, u"*.txt", {u"*.txt", u"*.TXT", u"*.txt ", u"*.ｔｘｔ"}},
        {{u"表*.txt", u"ソ", u"😀"}, u"ソ", {u"ソ", u"表*.txt", u"😀"}},
        // a list read back with a repeated entry comes out with each entry once
        {{u"a", u"b", u"a", u"c", u"b"}, u"x", {u"x", u"a", u"b", u"c"}},
        {{u"a", u"b", u"a"}, u"b", {u"b", u"a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(MergeHistory(c.previous, c.entry), c.want) << Show(c.entry);
}

TEST(History, FullListKeepsTheLimit) {
    const List full = Numbered(10, u"p");

    // a new entry pushes out the oldest
    List want = {u"new"};
    want.insert(want.end(), full.begin(), full.end() - 1);
    EXPECT_EQ(MergeHistory(full, u"new"), want);

    // the oldest used again comes to the front and nothing is lost
    want = {u"p9"};
    want.insert(want.end(), full.begin(), full.end() - 1);
    EXPECT_EQ(MergeHistory(full, u"p9"), want);

    // a longer list than the limit is cut, too
    EXPECT_EQ(MergeHistory(Numbered(15, u"q"), u"q12").size(), 10u);
    EXPECT_EQ(MergeHistory(Numbered(15, u"q"), u"q12")[9], u"q8");
}

TEST(History, OtherLimits) {
    EXPECT_EQ(MergeHistory({u"a", u"b", u"c"}, u"d", 2), (List{u"d", u"a"}));
    EXPECT_EQ(MergeHistory({u"a", u"b", u"c"}, u"d", 1), (List{u"d"}));
    EXPECT_EQ(MergeHistory({u"a", u"b", u"c"}, u"d", 0), List{});
}
