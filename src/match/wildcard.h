// Wildcard lists: splitting a list into words, the dot rules of one word, and the
// character-wise comparison of a word with a file name. Pure text, no Windows.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Compares the whole pattern with the whole name, character by character: "*"
// takes any run of characters (none, dots included), "?" exactly one character,
// every other character compares with the ASCII letters a-z folded to A-Z and
// nothing else folded (é stays apart from É, full-width letters from each other).
// A character is one UTF-16 unit, or two for a surrogate pair (a character outside
// the Basic Multilingual Plane); a surrogate without its partner is a character of
// its own. There is no escape and no character class. The work is bounded by about
// (pattern length + 1) x (name length + 1) steps, however many stars the pattern
// holds.
bool MatchWildcard(std::u16string_view pattern, std::u16string_view name) noexcept;

// The maximal runs of units that are neither TAB nor SPACE, in order.
std::vector<std::u16string_view> SplitWildcardWords(std::u16string_view pattern);

// One word of a list with its dot rules applied once:
//  - a word starting with "." behaves as "*" + word;
//  - a word without any "." also accepts the name followed by any extension;
//  - a word ending in "." accepts only names without a "." (that final "." dropped).
class WildcardWord {
public:
    explicit WildcardWord(std::u16string_view word);
    bool Matches(std::u16string_view name) const noexcept;

private:
    enum class Kind { Plain, OrWithExtension, NoDotInName };
    std::u16string text_;
    std::u16string withExtension_;  // text_ + ".*" for OrWithExtension
    Kind kind_ = Kind::Plain;
};

// A whole wildcard list, split once: a name matches when any word matches it; a list
// without words matches nothing.
class WildcardList {
public:
    explicit WildcardList(std::u16string_view pattern);
    bool Matches(std::u16string_view name) const noexcept;
    bool Empty() const noexcept { return words_.empty(); }

private:
    std::vector<WildcardWord> words_;
};

}  // namespace korvane
