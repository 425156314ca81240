#include "transfer/transfer_display.h"

#include "match/path_text.h"

namespace korvane {

std::string ProgressText(const std::string& itemPath, const std::string& objectMarker, const std::string& verb) {
    return LastPathComponent(itemPath) + objectMarker + ParentFolder(itemPath, true) + verb;
}

std::array<int, 4> ResultColumnWidths(int usableWidth) {
    const double w = usableWidth;
    return {static_cast<int>(w * 0.35), static_cast<int>(w * 0.35), static_cast<int>(w * 0.2),
            static_cast<int>(w * 0.1)};
}

}  // namespace korvane
