// What the progress and results dialogs show, free of system calls.
#pragma once
#include <array>
#include <string>
#include <string_view>

namespace korvane {

// "b.txt を D:\dst\a にコピー中": the item's name, the marker, its folder (a drive
// root with its backslash) and the verb.
std::u16string ProgressText(std::u16string_view itemPath, std::u16string_view objectMarker, std::u16string_view verb);

// Widths of the results list's four columns (source folder, destination folder,
// file name, result) for a usable width w: 0.35, 0.35, 0.2 and 0.1 of it, each
// truncated toward zero. A result column that needs more room for its texts (a
// failure with its reason) takes it from the two folder columns, in equal parts, so
// that the reason can be read without a tooltip.
std::array<int, 4> ResultColumnWidths(int usableWidth, int resultNeeds = 0);

}  // namespace korvane
