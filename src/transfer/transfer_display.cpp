#include "transfer/transfer_display.h"

#include "common/path_text.h"

namespace korvane {

std::u16string ProgressText(std::u16string_view itemPath, std::u16string_view objectMarker, std::u16string_view verb) {
    std::u16string text = LastPathComponent(itemPath);
    text += objectMarker;
    text += ParentFolder(itemPath, true);
    text += verb;
    return text;
}

std::array<int, 4> ResultColumnWidths(int usableWidth) {
    const double w = usableWidth;
    return {static_cast<int>(w * 0.35), static_cast<int>(w * 0.35), static_cast<int>(w * 0.2),
            static_cast<int>(w * 0.1)};
}

}  // namespace korvane
