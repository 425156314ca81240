#include "transfer/transfer_display.h"

#include <algorithm>

#include "common/path_text.h"

namespace korvane {

std::u16string ProgressText(std::u16string_view itemPath, std::u16string_view objectMarker, std::u16string_view verb) {
    std::u16string text = LastPathComponent(itemPath);
    text += objectMarker;
    text += ParentFolder(itemPath, true);
    text += verb;
    return text;
}

std::array<int, 4> ResultColumnWidths(int usableWidth, int resultNeeds) {
    const double w = usableWidth;
    std::array<int, 4> widths = {static_cast<int>(w * 0.35), static_cast<int>(w * 0.35), static_cast<int>(w * 0.2),
                                 static_cast<int>(w * 0.1)};
    // Never more than the folder columns can give while keeping half of theirs.
    const int extra = std::min(resultNeeds - widths[3], widths[0]);
    if (extra > 0) {
        widths[0] -= extra / 2;
        widths[1] -= extra - extra / 2;
        widths[3] += extra;
    }
    return widths;
}

}  // namespace korvane
