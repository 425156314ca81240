#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/history.h"

using korvane::MergeHistory;
using List = std::vector<std::string>;

namespace {

List Numbered(int count, const std::string& stem) {
    List list;
    for (int i = 0; i < count; ++i) list.push_back(stem + std::to_string(i));
    return list;
}

}  // namespace

TEST(History, UsedEntryGoesFirstOnce) {
    const struct { List previous; std::string entry; List want; } cases[] = {
        {{}, "*.txt", {"*.txt"}},
        {{"a", "b", "c"}, "new", {"new", "a", "b", "c"}},
        {{"a", "b", "c"}, "a", {"a", "b", "c"}},
        {{"a", "b", "c"}, "b", {"b", "a", "c"}},  // the second moves to the front
        {{"a", "b", "c"}, "c", {"c", "a", "b"}},
        // byte for byte: letter case and a trailing blank make other entries
        {{"*.TXT", "*.txt "}, "*.txt", {"*.txt", "*.TXT", "*.txt "}},
        // Shift-JIS text compares as bytes
        {{"\x95\x5C*.txt", "\x83\x5C"}, "\x83\x5C", {"\x83\x5C", "\x95\x5C*.txt"}},
        // a list read back with a repeated entry comes out with each entry once
        {{"a", "b", "a", "c", "b"}, "x", {"x", "a", "b", "c"}},
        {{"a", "b", "a"}, "b", {"b", "a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(MergeHistory(c.previous, c.entry), c.want) << c.entry;
}

TEST(History, FullListKeepsTheLimit) {
    const List full = Numbered(10, "p");

    // a new entry pushes out the oldest
    List want = {"new"};
    want.insert(want.end(), full.begin(), full.end() - 1);
    EXPECT_EQ(MergeHistory(full, "new"), want);

    // the oldest used again comes to the front and nothing is lost
    want = {"p9"};
    want.insert(want.end(), full.begin(), full.end() - 1);
    EXPECT_EQ(MergeHistory(full, "p9"), want);

    // a longer list than the limit is cut, too
    EXPECT_EQ(MergeHistory(Numbered(15, "q"), "q12").size(), 10u);
    EXPECT_EQ(MergeHistory(Numbered(15, "q"), "q12")[9], "q8");
}

TEST(History, OtherLimits) {
    EXPECT_EQ(MergeHistory({"a", "b", "c"}, "d", 2), (List{"d", "a"}));
    EXPECT_EQ(MergeHistory({"a", "b", "c"}, "d", 1), (List{"d"}));
    EXPECT_EQ(MergeHistory({"a", "b", "c"}, "d", 0), List{});
}
