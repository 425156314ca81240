// MatchName with the system's RegExp object, and the scan's prepared pattern against
// fresh MatchName calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_text.h"
#include "match/match_name.h"
#include "match/regular_expression.h"
#include "test_support.h"

using korvane::MatchName;
using korvane::PreparedPattern;
using testsupport::kHyo;
using testsupport::kSo;
using testsupport::U;

TEST(MatchName, RegularExpressionsOfTheSystemComponent) {
    const std::u16string hyoSo = U(std::string(kHyo) + kSo);
    const struct { std::u16string pattern, name; std::uint32_t useRegex; bool want; } cases[] = {
        {u"txt", u"a.txt.bak", 1, true},  // found anywhere in the name
        {u"txt", u"A.TXT", 1, false},     // case counts
        {u"abc", u"xabcx", 0x100, true},  // any nonzero switch
        {u"abc", u"xabcx", 0, false},
        {u"\\.txt$", u"report.txt.bak", 1, false},
        {u"(", u"(", 1, false},           // not an expression: nothing matches, silently
        {u"*.TXT", u"a.txt", 1, false},
        {u"*.TXT", u"a.txt", 0, true},
        {u" ", u"a b.txt", 1, true},      // nothing trimmed or split
        {u" ", u"ab.txt", 1, false},
        {u"", u"anything", 1, true},      // an empty pattern goes to the component as it is
        {u"", u"anything", 0, false},
        // characters, not bytes: 表 ends in 0x5C in the code page yet is no escape
        {U(kHyo), u"a" + hyoSo + u".txt", 1, true},
        {u"^" + hyoSo + u"$", hyoSo, 1, true},
        {u"^..$", hyoSo, 1, true},
        // the object gets the names as they are: nothing outside the code page is
        // best-fitted (é to e) or lost ('?'), and ¥ is no backslash
        {u"^caf\u00e9\\.txt$", u"caf\u00e9.txt", 1, true},
        {u"^cafe", u"caf\u00e9.txt", 1, false},
        {u"^caf.\\.txt$", u"caf\u00e9.txt", 1, true},
        {u"\ud55c\uad6d", u"\ud55c\uad6d\uc5b4.txt", 1, true},
        {u"\\?", u"\ud55c\uad6d\uc5b4.txt", 1, false},
        {u"^a\u00a5\\.\\.\u00a5", u"a\u00a5..\u00a5..\u00a5notes.txt", 1, true},
        {u"\\\\", u"a\u00a5..\u00a5..\u00a5notes.txt", 1, false},
        {u"\U0001F600", u"a\U0001F600.txt", 1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchName(c.pattern, c.name, c.useRegex), c.want)
            << testing::PrintToString(c.pattern) << " / " << testing::PrintToString(c.name);
}

// Without COM on the thread the component cannot be created: no match, no exception.
TEST(MatchName, NoComponentMatchesNothing) {
    bool fresh = true, prepared = true, wildcard = false;
    testsupport::BackgroundThread thread([&] {
        fresh = MatchName(u"a", u"a", 1);
        prepared = PreparedPattern(u"a", 1).Matches(u"a");
        wildcard = PreparedPattern(u"a", 0).Matches(u"a");
    });
    ASSERT_TRUE(thread.Join());
    EXPECT_FALSE(fresh);
    EXPECT_FALSE(prepared);
    EXPECT_TRUE(wildcard);
}

// One object per scan must answer every name as a fresh object per name would, in
// any order and however often it is asked.
TEST(PreparedPattern, AnswersAsFreshMatchNameDoes) {
    const std::vector<std::u16string> names = {
        u"a.txt", u"A.TXT", u"b.doc", u"README", u"report.txt.bak", u"x", u"", u".txt", u"a b.txt",
        U(std::string(kHyo) + ".txt"), U(std::string(kSo) + kHyo), u"\xD800", u"abc.tar.gz", u"txt",
        u"caf\u00e9.txt", u"\ud55c\uad6d\uc5b4.txt", u"a\U0001F600.txt", u"\U0001F600",
    };
    const struct { std::u16string pattern; std::uint32_t useRegex; } patterns[] = {
        {u"*.txt *.doc", 0}, {u"abc README", 0}, {u"*.", 0}, {u"", 0}, {u" \t", 0}, {u".txt", 0}, {u"??*", 0},
        {u"?", 0}, {u"\ud55c*", 0},
        {u"txt", 1}, {u"^a", 1}, {u"\\.txt$", 1}, {u"(", 1}, {u"", 1}, {u" ", 1}, {u"^.$", 1},
        {U(kHyo), 1}, {u"T", 1}, {u"\u00e9", 1},
    };
    for (const auto& p : patterns) {
        const PreparedPattern prepared(p.pattern, p.useRegex);
        for (int round = 0; round < 2; ++round)
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::u16string& name = names[round == 0 ? i : names.size() - 1 - i];
                EXPECT_EQ(prepared.Matches(name), MatchName(p.pattern, name, p.useRegex))
                    << "pattern " << testing::PrintToString(p.pattern) << " regex " << p.useRegex << " name "
                    << testing::PrintToString(name);
            }
    }
}

// The expression suggested from a selected file's extension is one the system's
// component accepts, and it matches the file it came from (its last extension only).
TEST(MatchName, SuggestedExpressionsAreAcceptedAndMatchTheirFile) {
    for (const char16_t* name : {u"x.c++", u"a.b(1)", u"x.[1]", u"archive.tar.gz", u"q.$^|?*{2}", u"plain.txt"}) {
        const std::u16string pattern = korvane::MakeExtensionPattern(std::u16string(u"C:\\w\\") + name, 1);
        EXPECT_EQ(korvane::CheckRegularExpression(pattern, nullptr), korvane::RegExpVerdict::kAccepted)
            << testing::PrintToString(pattern);
        EXPECT_TRUE(korvane::MatchName(pattern, name, 1)) << testing::PrintToString(pattern);
        EXPECT_FALSE(korvane::MatchName(pattern, std::u16string(name) + u"x", 1)) << testing::PrintToString(pattern);
    }
}
