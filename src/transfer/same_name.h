// The same-name step before each copy or move: transfer or skip a file whose
// destination already holds an entry of that name, by the user's rule.
#pragma once
#include <windows.h>

#include <string>

#include "common/types.h"
#include "transfer/destination_probe.h"

namespace korvane {

// kSkip: the user's own choice (No, Esc, a destination not older under "if newer"),
// which leaves no row; kFail: not transferred for a reason the user did not choose
// (the source vanished, a destination whose time cannot be read under "if
// newer"), which is a failed row.
enum class SameNameDecision { kTransfer, kSkip, kFail };

// For the rules ask (0) and newer-only (1). A vanished source fails; a missing
// destination is transferred. Newer-only compares the raw UTC times; ask shows the
// question owned by the progress dialog, and Yes to all sets yesToAll.
// The destination is described by its find data. When the listing fails while
// the probe (target) found something there, or could not tell, the probe's facts
// stand in: an existing destination is always compared or asked about, and one
// whose time is unknown is never taken as older.
SameNameDecision ResolveSameName(const std::u16string& source, const std::u16string& destination,
                                 const DestinationFacts& target, SameFileAction rule, bool& yesToAll,
                                 HWND progressDialog);

// The question (template 107); its parameter is the message text (a std::u16string). Ends with IDOK,
// IDCANCEL (No or Esc) or IDR_OVERWRITE_YES_TO_ALL.
INT_PTR CALLBACK OverwriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace korvane
