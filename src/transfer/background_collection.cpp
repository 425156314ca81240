#include "transfer/background_collection.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "match/match_name.h"
#include "os/background_task.h"

namespace korvane {

namespace {

// How long a stopped worker is waited for before it is abandoned, how often the
// running figure is shown, and how long a search for the clipboard may last unseen.
constexpr DWORD kStopWaitMs = 200;
constexpr DWORD kFigureMs = 100;
constexpr DWORD kUnseenMs = 50;

// What the worker fills and this thread reads: the figure while it runs, the list
// once it has ended. Held by both, so an abandoned worker writes into memory of its own.
struct Collected {
    MatchList list;
    volatile LONG found = 0;
    bool stopped = false;
};

LPARAM Collect(const DiskRequest& request, const PatternSpec& wanted, Collected& collected,
               const volatile LONG& cancel) {
    const PreparedPattern pattern(wanted.pattern, wanted.useRegex);
    ScanVisitor visitor = CollectingVisitor(collected.list, pattern, &cancel);
    const ScanTaken append = visitor.taken;
    visitor.taken = [&](const std::u16string& folder, std::u16string_view name, std::uint64_t size) {
        append(folder, name, size);
        InterlockedIncrement(&collected.found);
    };
    try {
        WalkDisk(request, visitor);
    } catch (const ScanStopped&) {
        collected.stopped = true;
    }
    return 0;
}

// Waits for the task, pumping every 15 ms; showFigure is called every 100 ms and
// show once, when the wait has lasted unseenMs. False when the run must stop.
template <typename ShowFigure>
bool AwaitTask(BackgroundTask& task, ProgressWindow& window, PacedPump& pump, const ProgressRun& run,
               DWORD unseenMs, ShowFigure showFigure) {
    const DWORD start = GetTickCount();
    DWORD lastFigure = start;
    bool shown = unseenMs == 0;
    HANDLE thread = task.Thread();
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 15, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        if (!pump.Run() || run.cancelRequested) return false;
        const DWORD now = GetTickCount();
        if (!shown && now - start >= unseenMs) {
            window.Show();
            shown = true;
        }
        if (now - lastFigure >= kFigureMs) {
            showFigure();
            lastFigure = now;
        }
    }
}

bool Run(const DiskRequest& request, const PatternSpec& pattern, ProgressWindow& window, PacedPump& pump,
         ProgressRun& run, DWORD unseenMs, MatchList& list) {
    auto collected = std::make_shared<Collected>();
    BackgroundTask task(
        [request, pattern, collected](const volatile LONG& cancel) {
            return Collect(request, pattern, *collected, cancel);
        },
        pattern.useRegex != 0);
    if (!task.Started()) {
        // No thread to be had (memory): the search runs here, as it always did.
        const volatile LONG never = 0;
        Collect(request, pattern, *collected, never);
    } else {
        ShowSearching(window.Get(), 0);
        const auto figure = [&] {
            ShowSearching(window.Get(), static_cast<std::size_t>(InterlockedCompareExchange(&collected->found, 0, 0)));
        };
        if (!AwaitTask(task, window, pump, run, unseenMs, figure)) {
            task.Abandon();
            task.Wait(kStopWaitMs);
            run.cancelRequested = true;
            return false;
        }
    }
    if (collected->stopped) return false;
    AppendMatches(list, std::move(collected->list));
    return true;
}

}  // namespace

bool CollectInBackground(const DiskRequest& request, const PatternSpec& pattern, ProgressWindow& window,
                         PacedPump& pump, ProgressRun& run, MatchList& list) {
    return Run(request, pattern, window, pump, run, 0, list);
}

bool CollectShowingProgress(const DiskRequest& request, const PatternSpec& pattern, HWND owner, MatchList& list) {
    try {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        ProgressRun run;
        ProgressWindow window(owner, run, false);
        DisabledOwner disabled(owner);
        PacedPump pump(window);
        return Run(request, pattern, window, pump, run, kUnseenMs, list);
    } catch (...) {
        return false;
    }
}

}  // namespace korvane
