// Does a file name satisfy the user's pattern? Wildcard lists or regular expressions.
#pragma once
#include <cstdint>
#include <string>

namespace korvane {

// One call stands alone: the pattern is split again and, for regular expressions, a
// fresh RegExp object is made (COM must be initialised on the calling thread).
bool MatchName(const std::string& pattern, const std::string& name, std::uint32_t useRegex);

}  // namespace korvane
