// Copy or move the matched files to the destination folder, with the progress
// dialog, the same-name rule and, at the end, the results dialog.
#pragma once
#include <windows.h>

#include <vector>

#include "common/types.h"
#include "transfer/transfer_job.h"

namespace korvane {

// owner: Explorer's list view, or null; it owns the progress and results dialogs.
// invoker: the window the command was invoked on, whose top-level window is disabled
// for the run when there is no owner. Returns the rows the results dialog showed.
std::vector<TransferResult> RunTransfer(const TransferJob& job, HWND owner, HWND invoker = nullptr);

}  // namespace korvane
