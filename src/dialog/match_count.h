// How many files a pattern catches, counted on a thread of its own so that typing in
// the main dialog never waits for a folder of many files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "os/background_task.h"

namespace korvane {

// What one count covers: the files the command would act on.
struct MatchCountRequest {
    std::u16string pattern;
    std::uint32_t useRegex = 0;
    std::u16string folder;   // the command's current folder
    bool fromView = false;   // the files of the folder are the view's items, not the disk's
    HWND view = nullptr;     // that view (no items without one)
    bool subfolders = false; // and the matching files of every folder below, from the disk
    // The view's items: counted as the command collects them (copy, move, clipboard:
    // files only, each path once) or as it selects them (select only).
    bool collectPaths = true;
    // With subfolders: the effective destination, whose tree inside the folder the
    // command leaves out.
    std::u16string destination;

    bool operator==(const MatchCountRequest& other) const {
        return pattern == other.pattern && useRegex == other.useRegex && folder == other.folder &&
               fromView == other.fromView && view == other.view && subfolders == other.subfolders &&
               collectPaths == other.collectPaths && destination == other.destination;
    }
    bool operator!=(const MatchCountRequest& other) const { return !(*this == other); }
};

// Results other than a count.
inline constexpr long kCountRejected = -1;  // the RegExp object refuses the expression
inline constexpr long kCountFailed = -2;    // memory ran short, or the count was abandoned

// Counts on the calling thread (COM initialised there for regular expressions) with the
// decisions the command itself takes: the view's items through TakeViewItem, the disk
// through WalkDisk. progress follows the running figure; once cancel is nonzero the
// count stops at the next folder or entry and answers kCountFailed.
long CountMatches(const MatchCountRequest& request, const volatile LONG& cancel, volatile LONG& progress) noexcept;

// One count on a worker thread (BackgroundTask): the result goes to the window while
// it is still attached.
class MatchCountWorker {
public:
    // Posts message (wParam tag, lParam the result) to window when the count ends.
    MatchCountWorker(const MatchCountRequest& request, HWND window, UINT message, WPARAM tag);
    MatchCountWorker(const MatchCountWorker&) = delete;
    MatchCountWorker& operator=(const MatchCountWorker&) = delete;

    bool Started() const noexcept { return task_->Started(); }
    long Progress() const noexcept { return InterlockedCompareExchange(progress_.get(), 0, 0); }
    // Stops the count at its next step and detaches the window: nothing is posted after
    // this returns.
    void Abandon() noexcept { task_->Abandon(); }
    // True once the thread has ended (within timeoutMs), serving sent messages meanwhile.
    bool Wait(DWORD timeoutMs) noexcept { return task_->Wait(timeoutMs); }

private:
    std::shared_ptr<volatile LONG> progress_;
    std::unique_ptr<BackgroundTask> task_;
};

}  // namespace korvane
