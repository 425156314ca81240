// The two folder scans the transfer and its tests use, with the signatures of
// match/folder_scan.h, over ScanFiles: a stand-in until those are defined there.
#pragma once
#include <string>

#include "match/match_list.h"

namespace korvane {

class PreparedPattern;

namespace scan_stand_in {

MatchList ScanFolder(const std::string& folder, const PreparedPattern& pattern);
MatchList ScanTree(const std::string& folder, const PreparedPattern& pattern, bool addHere,
                   const std::string& leaveOut = std::string());

}  // namespace scan_stand_in

}  // namespace korvane
