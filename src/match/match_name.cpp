// Placeholder until the matcher lands: matches nothing.
#include "match/match_name.h"

namespace korvane {

bool MatchName(const std::string&, const std::string&, std::uint32_t) { return false; }

}  // namespace korvane
