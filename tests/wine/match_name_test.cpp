// MatchName with the system's RegExp object, and the scan's prepared pattern against
// fresh MatchName calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "match/match_name.h"
#include "test_support.h"

using korvane::MatchName;
using korvane::PreparedPattern;
using testsupport::kHyo;
using testsupport::kSo;

TEST(MatchName, RegularExpressionsOfTheSystemComponent) {
    const std::string hyoSo = std::string(kHyo) + kSo;
    const struct { std::string pattern, name; std::uint32_t useRegex; bool want; } cases[] = {
        {"txt", "a.txt.bak", 1, true},  // found anywhere in the name
        {"txt", "A.TXT", 1, false},     // case counts
        {"abc", "xabcx", 0x100, true},  // any nonzero switch
        {"abc", "xabcx", 0, false},
        {"\\.txt$", "report.txt.bak", 1, false},
        {"(", "(", 1, false},           // not an expression: nothing matches, silently
        {"*.TXT", "a.txt", 1, false},
        {"*.TXT", "a.txt", 0, true},
        {" ", "a b.txt", 1, true},      // nothing trimmed or split
        {" ", "ab.txt", 1, false},
        {"", "anything", 1, true},      // an empty pattern goes to the component as it is
        {"", "anything", 0, false},
        // characters, not bytes: 表 ends in 0x5C yet is no escape, and counts as one
        {kHyo, "a" + hyoSo + ".txt", 1, true},
        {"^" + hyoSo + "$", hyoSo, 1, true},
        {"^..$", hyoSo, 1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchName(c.pattern, c.name, c.useRegex), c.want) << c.pattern << " / " << c.name;
}

// Without COM on the thread the component cannot be created: no match, no exception.
TEST(MatchName, NoComponentMatchesNothing) {
    bool fresh = true, prepared = true, wildcard = false;
    testsupport::BackgroundThread thread([&] {
        fresh = MatchName("a", "a", 1);
        prepared = PreparedPattern("a", 1).Matches("a");
        wildcard = PreparedPattern("a", 0).Matches("a");
    });
    ASSERT_TRUE(thread.Join());
    EXPECT_FALSE(fresh);
    EXPECT_FALSE(prepared);
    EXPECT_TRUE(wildcard);
}

// One object per scan must answer every name as a fresh object per name would, in
// any order and however often it is asked.
TEST(PreparedPattern, AnswersAsFreshMatchNameDoes) {
    const std::vector<std::string> names = {
        "a.txt", "A.TXT", "b.doc", "README", "report.txt.bak", "x", "", ".txt", "a b.txt",
        std::string(kHyo) + ".txt", std::string(kSo) + kHyo, "\x81", "abc.tar.gz", "txt",
    };
    const struct { std::string pattern; std::uint32_t useRegex; } patterns[] = {
        {"*.txt *.doc", 0}, {"abc README", 0}, {"*.", 0}, {"", 0}, {" \t", 0}, {".txt", 0}, {"??*", 0},
        {"txt", 1}, {"^a", 1}, {"\\.txt$", 1}, {"(", 1}, {"", 1}, {" ", 1}, {"^.$", 1},
        {std::string(kHyo), 1}, {"T", 1},
    };
    for (const auto& p : patterns) {
        const PreparedPattern prepared(p.pattern, p.useRegex);
        for (int round = 0; round < 2; ++round)
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::string& name = names[round == 0 ? i : names.size() - 1 - i];
                EXPECT_EQ(prepared.Matches(name), MatchName(p.pattern, name, p.useRegex))
                    << "pattern '" << p.pattern << "' regex " << p.useRegex << " name '" << name << "'";
            }
    }
}
