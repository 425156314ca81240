// Regular expressions through the system's RegExp object: Global true, the pattern
// as given (no IgnoreCase, so case counts), Test once per name. The name matches only
// when Test succeeds and says VARIANT_TRUE; every failure on the way (no component,
// an expression it cannot use, memory) is a non-match. The object takes UTF-16 as
// the names are: nothing is converted.
// COM must be initialised on the calling thread.
#pragma once
#include <string>
#include <string_view>

#include "common/com_ptr.h"
#include "match/regexp.h"

namespace korvane {

// A fresh RegExp object for this one test, released before returning.
bool TestRegularExpression(std::u16string_view pattern, std::u16string_view name) noexcept;

// Whether the RegExp object can use the pattern, found by one Test of an empty name.
// Unavailable when no object can be made or memory is short: matching then fails
// for every name, as it always did, and nothing is refused.
enum class RegExpVerdict { kAccepted, kRejected, kUnavailable };
// For a rejection, description receives the object's own words (its error info), or
// stays empty when it gives none.
RegExpVerdict CheckRegularExpression(std::u16string_view pattern, std::u16string* description) noexcept;

// One RegExp object created and given the pattern once, then asked for each name of
// a scan. Test keeps no state between calls (unlike a script's lastIndex), so every
// name gets what a fresh object would have answered.
class RegExpSession {
public:
    explicit RegExpSession(std::u16string_view pattern) noexcept;
    bool Test(std::u16string_view name) const noexcept;

private:
    ComPtr<IRegExp> regExp_;
};

}  // namespace korvane
