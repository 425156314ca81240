// The results list shown after every copy or move (template 108). Its parameter is
// a ResultsShown, which outlives the dialog.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

#include "common/types.h"

namespace korvane {

struct ResultsShown {
    ActionKind action;                         // copy or move: the caption and the headers
    const std::vector<TransferResult>& rows;   // one line each, in order
    std::size_t leftOutCount;                  // names the scans left out, counted in the caption
    std::size_t linkedFolders = 0;             // folders not entered because they are links, likewise
};

INT_PTR CALLBACK ResultsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace korvane
