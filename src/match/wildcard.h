// Wildcard lists: splitting a list into words, the dot rules of one word, and the
// byte-wise comparison of a word with a file name. Pure text, no Windows.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Compares the whole pattern with the whole name, byte by byte: "*" takes any run
// of bytes (none, dots included), "?" exactly one byte, every other byte compares
// with ASCII letters folded to upper case. There is no escape and no character
// class. The work is bounded by about (pattern length + 1) x (name length + 1)
// steps, however many stars the pattern holds.
bool MatchWildcard(std::string_view pattern, std::string_view name) noexcept;

// The maximal runs of bytes that are neither TAB nor SPACE, in order.
std::vector<std::string_view> SplitWildcardWords(std::string_view pattern);

// One word of a list with its dot rules applied once:
//  - a word starting with "." behaves as "*" + word;
//  - a word without any "." also accepts the name followed by any extension;
//  - a word ending in "." accepts only names without a "." (that final "." dropped).
class WildcardWord {
public:
    explicit WildcardWord(std::string_view word);
    bool Matches(std::string_view name) const noexcept;

private:
    enum class Kind { Plain, OrWithExtension, NoDotInName };
    std::string text_;
    std::string withExtension_;  // text_ + ".*" for OrWithExtension
    Kind kind_ = Kind::Plain;
};

// A whole wildcard list, split once: a name matches when any word matches it; a list
// without words matches nothing.
class WildcardList {
public:
    explicit WildcardList(std::string_view pattern);
    bool Matches(std::string_view name) const noexcept;
    bool Empty() const noexcept { return words_.empty(); }

private:
    std::vector<WildcardWord> words_;
};

}  // namespace korvane
