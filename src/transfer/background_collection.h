// The matching files looked for off Explorer's thread, while that thread shows the
// progress dialog and keeps answering: a folder of many files, a slow share or an
// expression that backtracks without end never holds Explorer.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "match/collection.h"
#include "match/match_list.h"
#include "transfer/progress_window.h"

namespace korvane {

// The pattern as the worker prepares it on its own thread (a RegExp object belongs
// to the thread that made it).
struct PatternSpec {
    std::u16string pattern;
    std::uint32_t useRegex = 0;
};

// Collects on a worker thread while this thread pumps the dialog's messages and
// shows the count found so far. False when the stop button, Esc, the thread's end or
// the dialog's loss ended the wait: the worker is asked to stop and, should it not
// stop within a moment (one Test call that never returns), abandoned to run on at
// the lowest priority with the module pinned; its result is never used. list is
// appended to only on success.
bool CollectInBackground(const DiskRequest& request, const PatternSpec& pattern, ProgressWindow& window,
                         PacedPump& pump, ProgressRun& run, MatchList& list);

// The same for a command that transfers nothing (the clipboard): the progress
// dialog shows only when the search lasts long enough to be seen, owned by owner.
bool CollectShowingProgress(const DiskRequest& request, const PatternSpec& pattern, HWND owner, MatchList& list);

}  // namespace korvane
