#include "match/match_name.h"

#include "match/regular_expression.h"

namespace korvane {

bool MatchName(std::u16string_view pattern, std::u16string_view name, std::uint32_t useRegex) noexcept {
    if (useRegex) return TestRegularExpression(pattern, name);
    try {
        return WildcardList(pattern).Matches(name);
    } catch (...) {  // memory for the words
        return false;
    }
}

// In regular-expression mode the wildcard list stays empty: no splitting, no folding.
PreparedPattern::PreparedPattern(std::u16string_view pattern, std::uint32_t useRegex)
    : wildcards_(useRegex ? std::u16string_view() : pattern),
      regExp_(useRegex ? std::make_unique<RegExpSession>(pattern) : nullptr) {}

PreparedPattern::~PreparedPattern() = default;

bool PreparedPattern::Matches(std::u16string_view name) const noexcept {
    return regExp_ ? regExp_->Test(name) : wildcards_.Matches(name);
}

}  // namespace korvane
