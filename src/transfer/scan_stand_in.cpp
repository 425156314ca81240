#include "transfer/scan_stand_in.h"

#include <string_view>

#include "match/folder_scan.h"
#include "match/match_name.h"
#include "match/path_case.h"

namespace korvane {

namespace scan_stand_in {

namespace {

MatchList Scan(const std::string& folder, const PreparedPattern& pattern, bool here, bool below,
               const std::string& leaveOut) {
    MatchList list;
    ScanFiles(
        folder, here, below, [&](std::string_view name) { return pattern.Matches(name); },
        [&](const std::string& where, std::string_view name, std::uint64_t size) {
            std::string path = where;
            path += '\\';
            path += name;
            list.pathBytes += static_cast<std::uint32_t>(path.size() + 1);
            list.paths.push_back(std::move(path));
            list.sizes.push_back(size);
        },
        [&](const std::string& where, std::string_view name) { list.leftOut.push_back({where, std::string(name)}); },
        FoldPathCase(leaveOut));
    return list;
}

}  // namespace

MatchList ScanFolder(const std::string& folder, const PreparedPattern& pattern) {
    return Scan(folder, pattern, true, false, std::string());
}

MatchList ScanTree(const std::string& folder, const PreparedPattern& pattern, bool addHere,
                   const std::string& leaveOut) {
    return Scan(folder, pattern, addHere, true, leaveOut);
}

}  // namespace scan_stand_in

}  // namespace korvane
