// Does a file name satisfy the user's pattern? Wildcard lists or regular expressions.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "match/wildcard.h"

namespace korvane {

class RegExpSession;

// One call stands alone: the pattern is split again and, for regular expressions, a
// fresh RegExp object is made (COM must be initialised on the calling thread).
// Never throws: whatever fails on the way makes the name a non-match.
bool MatchName(std::u16string_view pattern, std::u16string_view name, std::uint32_t useRegex) noexcept;

// The pattern of one scan, prepared once: the wildcard words split and their dot
// rules applied, or one RegExp object given the pattern. Matches answers for every
// name exactly what MatchName would.
class PreparedPattern {
public:
    PreparedPattern(std::u16string_view pattern, std::uint32_t useRegex);
    ~PreparedPattern();
    PreparedPattern(const PreparedPattern&) = delete;
    PreparedPattern& operator=(const PreparedPattern&) = delete;

    bool Matches(std::u16string_view name) const noexcept;

private:
    WildcardList wildcards_;
    std::unique_ptr<RegExpSession> regExp_;  // set in regular-expression mode
};

}  // namespace korvane
