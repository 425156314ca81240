// The order of a history list (patterns, destination folders): most recent first,
// each entry once, at most a fixed number of entries.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace korvane {

inline constexpr std::size_t kHistoryLimit = 10;

// The list after `entry` was used: `entry` first, then the previous entries in their
// order, each kept once (unit for unit, so letter case matters), cut to `limit`.
// When the list was full and the entry is new, the oldest entry drops out.
std::vector<std::u16string> MergeHistory(const std::vector<std::u16string>& previous, const std::u16string& entry,
                                         std::size_t limit = kHistoryLimit);

}  // namespace korvane
