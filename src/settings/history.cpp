#include "settings/history.h"

#include <algorithm>

namespace korvane {

std::vector<std::u16string> MergeHistory(const std::vector<std::u16string>& previous, const std::u16string& entry,
                                         std::size_t limit) {
    std::vector<std::u16string> merged;
    if (limit == 0) return merged;
    merged.reserve(std::min(limit, previous.size() + 1));
    merged.push_back(entry);
    for (const std::u16string& old : previous) {
        if (merged.size() >= limit) break;
        // Stored lists may repeat an entry (values written by hand, or stale positions
        // beyond a shorter list that a later load picks up again): keep the first only.
        if (std::find(merged.begin(), merged.end(), old) != merged.end()) continue;
        merged.push_back(old);
    }
    return merged;
}

}  // namespace korvane
