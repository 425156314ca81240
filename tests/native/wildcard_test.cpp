#include <gtest/gtest.h>

#include <random>
#include <string>

#include "match/wildcard.h"
#include "wildcard_oracle.h"

using korvane::MatchWildcard;

namespace {
const std::string kHyo = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";   // ソ

bool ListMatches(const std::string& pattern, const std::string& name) {
    return korvane::WildcardList(pattern).Matches(name);
}
}  // namespace

// Each case is checked against the oracle too, so the table also pins the definition.
TEST(Wildcard, Comparison) {
    const struct { std::string pattern, name; bool want; } cases[] = {
        {"", "", true}, {"", "a", false}, {"*", "", true}, {"?", "", false}, {"??", "a", false},
        {"a*b", "ab", true}, {"a*b", "a.x.b", true}, {"a*b", "a.x.bc", false}, {"*a*a*", "a", false},
        {"a?c*d", "abcXd", true}, {"*.TXT", "report.txt", true}, {"*.txt", "report.txt.bak", false},
        {"[ab].txt", "[AB].TXT", true}, {"[ab].txt", "a.txt", false},  // no classes, no escapes
        {"\\*", "\\abc", true},
        {"?", kHyo, false}, {"??", kHyo, true}, {"*" + kSo, "a" + kSo, true},  // "?" takes one byte
        {"\x83\x61", "\x83\x41", true},  // folding is ASCII only but reaches trail bytes too
        {"\xE0", "\xC0", false}, {"@", "`", false}, {"[", "{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.want) << c.pattern << " / " << c.name;
        EXPECT_EQ(oracle::Wildcard(c.pattern, c.name), c.want) << "oracle: " << c.pattern << " / " << c.name;
    }
}

TEST(Wildcard, ListsAndDotRules) {
    const struct { std::string pattern, name; bool want; } cases[] = {
        {"", "a.txt", false}, {" \t ", "a.txt", false}, {"\n", "\n", true},  // only TAB and SPACE separate
        {"*.txt *.doc", "b.DOC", true}, {" *.txt\t\t*.doc ", "b.DOC", true}, {"*.txt *.doc", "c.txt.bak", false},
        {".txt", "a.txt", true}, {".txt", "a.txt.bak", false}, {".txt", ".txt", true},
        {"abc", "abc", true}, {"abc", "abc.txt", true}, {"abc", "ABC.tar.gz", true}, {"abc", "abcd", false},
        {"abc", "xabc", false}, {"a.*", "a.txt", true}, {"a.*", "a", false},
        {"*.", "README", true}, {"*.", "a.txt", false}, {".", "README", true}, {".", "a.b", false},
        {"abc.", "ABC", true}, {"abc.", "abc.txt", false}, {"x.y.", "x.y", false}, {"x.y.", "xy", false},
        {"?", "a.txt", true}, {"?", "ab", false}, {"?", kHyo + ".txt", false}, {"??", kHyo + ".txt", true},
        {kHyo + " " + kSo, kSo, true},  // 0x5C in a character is no separator
        {"*", "", true}, {"nomatch *.doc abc", "ABC.x", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListMatches(c.pattern, c.name), c.want) << c.pattern << " / " << c.name;
        EXPECT_EQ(oracle::List(c.pattern, c.name), c.want) << "oracle: " << c.pattern << " / " << c.name;
    }
}

// The definition needs about C(285, 30) steps for each of these; the test hangs if
// the matcher ever searches that way.
TEST(Wildcard, ManyStarsStayFast) {
    const std::string name(255, 'a');
    std::string starsA, starsAny;
    for (int i = 0; i < 30; ++i) starsA += "*a", starsAny += "*?";
    for (const auto& p : {std::string(30, '*') + "b", starsA + "b", starsAny + "*b*", "*" + std::string(40, 'a') + "b*"})
        EXPECT_FALSE(MatchWildcard(p, name)) << p;
    EXPECT_TRUE(MatchWildcard(starsA + "*", name));
}

TEST(Wildcard, AgreesWithTheDefinitionOnGeneratedInputs) {
    // Lead and trail bytes, 0x5C, both cases of letters, and the separators.
    const std::string patternBytes = "aAbB.?*[\x81\x5C\x83\xE0 \t";
    const std::string nameBytes = "aAbB.[]\x81\x5C\x83\xE0\xFC";
    std::mt19937 random(20240611);
    auto make = [&](const std::string& from, std::size_t maxLength) {
        std::string s(random() % (maxLength + 1), ' ');
        for (auto& c : s) c = from[random() % from.size()];
        return s;
    };
    int mismatches = 0;
    for (int i = 0; i < 100000 && mismatches < 10; ++i) {
        const std::string pattern = make(patternBytes, 9), name = make(nameBytes, 10);
        std::string word = pattern;
        for (auto& c : word)
            if (c == ' ' || c == '\t') c = '*';
        if (MatchWildcard(word, name) != oracle::Wildcard(word, name)) ++mismatches, ADD_FAILURE() << word << " / " << name;
        if (ListMatches(pattern, name) != oracle::List(pattern, name)) ++mismatches, ADD_FAILURE() << pattern << " / " << name;
    }
}
