// What a copy or move reports about the names the scans left out: a failed row for
// each, and the count in the results list's caption.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"

namespace korvane {

// One failed row per left-out name, in their order: the folder it lies in and the
// folder it would have gone to (both as the results list shows folders), and the
// name as it reads. root is the destination without its final separator.
std::vector<TransferResult> LeftOutRows(const std::vector<LeftOutName>& leftOut, std::u16string_view root,
                                        std::u16string_view currentFolder);

// The text with its first "%u" replaced by the count in decimal digits.
std::u16string WithCount(std::u16string_view text, std::size_t count);

}  // namespace korvane
