#include "transfer/left_out.h"

#include "common/text.h"
#include "common/path_text.h"
#include "transfer/destination_paths.h"

namespace korvane {

std::vector<TransferResult> LeftOutRows(const std::vector<LeftOutName>& leftOut, std::u16string_view root,
                                        std::u16string_view currentFolder) {
    std::vector<TransferResult> rows;
    rows.reserve(leftOut.size());
    for (const LeftOutName& entry : leftOut) {
        // The folders come from the path of a stand-in name: the left-out name itself
        // may read as path syntax and is never cut.
        const std::u16string standIn = entry.folder + u"\\*";
        TransferResult row;
        row.sourceFolder = ParentFolder(standIn, true);
        const std::u16string destination = DestinationPathFor(root, currentFolder, standIn);
        row.destinationFolder = destination.empty() ? std::u16string() : ParentFolder(destination, true);
        row.fileName = entry.name;
        row.succeeded = 0;
        row.reason = entry.reason;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::u16string WithCount(std::u16string_view text, std::size_t count) {
    const std::size_t at = text.find(u"%u");
    if (at == std::u16string_view::npos) return std::u16string(text);
    std::u16string result(text.substr(0, at));
    result += DecimalText(count);
    result += text.substr(at + 2);
    return result;
}

}  // namespace korvane
