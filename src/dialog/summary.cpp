// Placeholder until the summary text lands.
#include "dialog/summary.h"

namespace korvane {

void BuildSummaryText(HWND, WPARAM, const ShellExtension&) {}

}  // namespace korvane
