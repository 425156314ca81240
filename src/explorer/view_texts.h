// The item texts of Explorer's list view, read without touching the selection: what
// the command would test against the pattern before Windows 7 in extension mode.
#pragma once
#include <windows.h>

#include <functional>
#include <string_view>

namespace korvane {

// Visits the text of every item in the view's order, as the selection reads it: an
// item the view does not answer for reads as an empty text. The record and the text
// buffer lie where the view can reach them (TransportFor). An exception thrown by
// visit ends the walk, every block released.
void ForEachViewItemText(HWND view, const std::function<void(std::u16string_view text)>& visit);

}  // namespace korvane
