#include "transfer/left_out.h"

#include "match/path_text.h"
#include "transfer/destination_paths.h"

namespace korvane {

std::vector<TransferResult> LeftOutRows(const std::vector<LeftOutName>& leftOut, const std::string& root,
                                        const std::string& currentFolder) {
    std::vector<TransferResult> rows;
    rows.reserve(leftOut.size());
    for (const LeftOutName& entry : leftOut) {
        // The folders come from the path of a stand-in name: the left-out name itself
        // may read as path syntax and is never cut.
        const std::string standIn = entry.folder + "\\*";
        TransferResult row;
        row.sourceFolder = ParentFolder(standIn, true);
        const std::string destination = DestinationPathFor(root, currentFolder, standIn);
        row.destinationFolder = destination.empty() ? std::string() : ParentFolder(destination, true);
        row.fileName = entry.name;
        row.succeeded = 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string WithCount(const std::string& text, std::size_t count) {
    const std::size_t at = text.find("%u");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + std::to_string(count) + text.substr(at + 2);
}

}  // namespace korvane
