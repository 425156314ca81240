// The modeless progress dialog of a copy or move (template 105). Its parameter is
// the run's ProgressRun; the transfer loop's own pump services it between files and
// inside large ones. It shows first, while the matching files are looked for, then
// the files as they are copied or moved: the bar covers the files, each in steps.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/types.h"

namespace korvane {

// What the dialog shows, and the one thing it tells the run. The run keeps it for
// as long as the dialog lives.
struct ProgressRun {
    ActionKind action = kCopyToFolder;
    std::size_t fileCount = 0;       // the files of the run: the bar has kBarSteps for each
    std::u16string currentDestination;  // destination of the file being transferred
    bool cancelRequested = false;    // the stop button or Esc; the loop looks before each file and inside large ones
};

// The bar's steps for one file: a large file moves it by its bytes.
inline constexpr int kBarSteps = 100;

// Posted before each file: wParam is the file's 1-based number, lParam 0. The text
// comes from the run's currentDestination.
inline constexpr UINT WM_TRANSFER_PROGRESS = WM_APP + 1;

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// While the matching files are looked for: the text line says so, with the number
// found so far; the bar stands still.
void ShowSearching(HWND dialog, std::size_t found);
// The run's files are known: the bar's range becomes run.fileCount files.
void ShowFileCount(HWND dialog, const ProgressRun& run);
// Inside the file of that 1-based number: done of total bytes.
void ShowBytes(HWND dialog, std::size_t number, std::uint64_t done, std::uint64_t total);

}  // namespace korvane
