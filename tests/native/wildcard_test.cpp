#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "match/wildcard.h"
#include "print_text.h"
#include "wildcard_oracle.h"

using korvane::MatchWildcard;

namespace {
const std::u16string kHyo = u"表";
const std::u16string kSo = u"ソ";
const std::u16string kGrin = u"😀";          // one character, two units: D83D DE00
const std::u16string kLoneHigh = u"\xD83D";  // the high half alone is a character too
const std::u16string kLoneLow = u"\xDE00";

bool ListMatches(const std::u16string& pattern, const std::u16string& name) {
    return korvane::WildcardList(pattern).Matches(name);
}
}  // namespace

// Each case is checked against the oracle too, so the table also pins the definition.
TEST(Wildcard, Comparison) {
    const struct { std::u16string pattern, name; bool want; } cases[] = {
        {u"", u"", true}, {u"", u"a", false}, {u"*", u"", true}, {u"?", u"", false}, {u"??", u"a", false},
        {u"a*b", u"ab", true}, {u"a*b", u"a.x.b", true}, {u"a*b", u"a.x.bc", false}, {u"*a*a*", u"a", false},
        {u"a?c*d", u"abcXd", true}, {u"*.TXT", u"report.txt", true}, {u"*.txt", u"report.txt.bak", false},
        {u"[ab].txt", u"[AB].TXT", true}, {u"[ab].txt", u"a.txt", false},  // no classes, no escapes
        {u"\\*", u"\\abc", true},
        // "?" takes one character: a BMP unit, a whole pair, or a lone surrogate
        {u"?", kHyo, true}, {u"??", kHyo, false}, {u"*" + kSo, u"a" + kSo, true},
        {u"?.txt", u"한.txt", true}, {u"?.txt", kGrin + u".txt", true}, {u"?.txt", u"ab.txt", false},
        {u"??.txt", kGrin + u".txt", false}, {u"?", kLoneHigh, true}, {u"?", kLoneLow + kLoneHigh, false},
        {u"??", kLoneLow + kLoneHigh, true}, {u"a?" + kGrin, u"A" + kGrin + kGrin, true},
        {u"한*", u"한국어.txt", true}, {u"*" + kGrin + u"*", u"x" + kGrin + u"y", true},
        // a pattern's lone half never matches half of a pair
        {kLoneHigh + u"*", kGrin + u"x", false}, {u"*" + kLoneLow, kGrin, false}, {u"*" + kLoneLow, u"a" + kLoneLow, true},
        // folding is a-z only: not accented or full-width letters
        {u"*.TXT", u"café.txt", true}, {u"CAFÉ.txt", u"café.txt", false}, {u"ａ", u"Ａ", false},
        {u"à", u"À", false}, {u"@", u"`", false}, {u"[", u"{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.want) << Show(c.pattern) << " / " << Show(c.name);
        EXPECT_EQ(oracle::Wildcard(c.pattern, c.name), c.want) << "oracle: " << Show(c.pattern) << " / " << Show(c.name);
    }
}

TEST(Wildcard, ListsAndDotRules) {
    const struct { std::u16string pattern, name; bool want; } cases[] = {
        {u"", u"a.txt", false}, {u" \t ", u"a.txt", false}, {u"\n", u"\n", true},  // only TAB and SPACE separate
        {u"\u3000", u"\u3000", true},  // nor does the ideographic space
        {u"*.txt *.doc", u"b.DOC", true}, {u" *.txt\t\t*.doc ", u"b.DOC", true}, {u"*.txt *.doc", u"c.txt.bak", false},
        {u".txt", u"a.txt", true}, {u".txt", u"a.txt.bak", false}, {u".txt", u".txt", true},
        {u"abc", u"abc", true}, {u"abc", u"abc.txt", true}, {u"abc", u"ABC.tar.gz", true}, {u"abc", u"abcd", false},
        {u"abc", u"xabc", false}, {u"a.*", u"a.txt", true}, {u"a.*", u"a", false},
        {u"*.", u"README", true}, {u"*.", u"a.txt", false}, {u".", u"README", true}, {u".", u"a.b", false},
        {u"abc.", u"ABC", true}, {u"abc.", u"abc.txt", false}, {u"x.y.", u"x.y", false}, {u"x.y.", u"xy", false},
        {u"?", u"a.txt", true}, {u"?", u"ab", false}, {u"?", kHyo + u".txt", true}, {u"??", kHyo + u".txt", false},
        {u"?", kGrin + u".txt", true}, {u"?.", kGrin, true}, {u"??.", kGrin, false},
        {kHyo + u" " + kSo, kSo, true},
        {u"*", u"", true}, {u"nomatch *.doc abc", u"ABC.x", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListMatches(c.pattern, c.name), c.want) << Show(c.pattern) << " / " << Show(c.name);
        EXPECT_EQ(oracle::List(c.pattern, c.name), c.want) << "oracle: " << Show(c.pattern) << " / " << Show(c.name);
    }
}

// The definition needs about C(285, 30) steps for each of these; the test hangs if
// the matcher ever searches that way. The longest names (260 units) and patterns
// (259) must stay far below a millisecond each, with pairs as without.
TEST(Wildcard, ManyStarsStayFast) {
    const std::u16string name(255, u'a');
    std::u16string starsA, starsAny;
    for (int i = 0; i < 30; ++i) starsA += u"*a", starsAny += u"*?";
    for (const auto& p : {std::u16string(30, u'*') + u"b", starsA + u"b", starsAny + u"*b*", u"*" + std::u16string(40, u'a') + u"b*"})
        EXPECT_FALSE(MatchWildcard(p, name)) << Show(p);
    EXPECT_TRUE(MatchWildcard(starsA + u"*", name));

    std::u16string grins, nearly = u"*";
    for (int i = 0; i < 130; ++i) grins += kGrin;
    for (int i = 0; i < 64; ++i) nearly += u"?";
    nearly += u"a*";
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(MatchWildcard(nearly, grins));
        EXPECT_FALSE(MatchWildcard(u"*" + std::u16string(128, u'a') + u"b*", std::u16string(260, u'a')));
    }
    EXPECT_TRUE(MatchWildcard(u"*" + kGrin + u"*", grins));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200)) << "200 worst cases";
}

TEST(Wildcard, AgreesWithTheDefinitionOnGeneratedInputs) {
    // Both cases of letters, letters that do not fold, the separators, and surrogates
    // that form pairs, lone ones, and halves in the wrong order.
    const std::u16string patternUnits = u"aAbB.?*[\\éÉ한 \t\xD83D\xDE00";
    const std::u16string nameUnits = u"aAbB.[]\\éÉ한\xD83D\xDE00\xDBFF";
    std::mt19937 random(20240611);
    auto make = [&](const std::u16string& from, std::size_t maxLength) {
        std::u16string s(random() % (maxLength + 1), u' ');
        for (auto& c : s) c = from[random() % from.size()];
        return s;
    };
    int mismatches = 0;
    for (int i = 0; i < 100000 && mismatches < 10; ++i) {
        const std::u16string pattern = make(patternUnits, 9), name = make(nameUnits, 10);
        std::u16string word = pattern;
        for (auto& c : word)
            if (c == u' ' || c == u'\t') c = u'*';
        if (MatchWildcard(word, name) != oracle::Wildcard(word, name))
            ++mismatches, ADD_FAILURE() << Show(word) << " / " << Show(name);
        if (ListMatches(pattern, name) != oracle::List(pattern, name))
            ++mismatches, ADD_FAILURE() << Show(pattern) << " / " << Show(name);
    }
}
