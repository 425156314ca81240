// How many files a pattern catches, counted on a thread of its own so that typing in
// the main dialog never waits for a folder of many files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace korvane {

// What one count covers: the files the command would act on.
struct MatchCountRequest {
    std::u16string pattern;
    std::uint32_t useRegex = 0;
    std::u16string folder;   // the command's current folder
    bool fromView = false;   // the files of the folder are the view's items, not the disk's
    HWND view = nullptr;     // that view (no items without one)
    bool subfolders = false; // and the matching files of every folder below, from the disk

    bool operator==(const MatchCountRequest& other) const {
        return pattern == other.pattern && useRegex == other.useRegex && folder == other.folder &&
               fromView == other.fromView && view == other.view && subfolders == other.subfolders;
    }
    bool operator!=(const MatchCountRequest& other) const { return !(*this == other); }
};

// Results other than a count.
inline constexpr long kCountRejected = -1;  // the RegExp object refuses the expression
inline constexpr long kCountFailed = -2;    // memory ran short, or the count was abandoned

// Counts on the calling thread (COM initialised there for regular expressions) with the
// matcher and the walks the command uses. progress follows the running figure; once
// cancel is nonzero the count stops at the next name and answers kCountFailed.
long CountMatches(const MatchCountRequest& request, const volatile LONG& cancel, volatile LONG& progress) noexcept;

// One count on a worker thread. The thread holds a reference to the module its code
// lies in, so the library stays loaded until the thread has left it, and it posts its
// result to the window only while the window is still attached.
class MatchCountWorker {
public:
    // Posts message (wParam tag, lParam the result) to window when the count ends.
    MatchCountWorker(const MatchCountRequest& request, HWND window, UINT message, WPARAM tag);
    ~MatchCountWorker();  // abandons the count; does not wait
    MatchCountWorker(const MatchCountWorker&) = delete;
    MatchCountWorker& operator=(const MatchCountWorker&) = delete;

    bool Started() const noexcept { return thread_ != nullptr; }
    long Progress() const noexcept;
    // Stops the count at the next name and detaches the window: nothing is posted after
    // this returns.
    void Abandon() noexcept;
    // True once the thread has ended (within timeoutMs). Messages that other threads
    // send to this one are served meanwhile, so a worker reading a view of this thread
    // is never left waiting.
    bool Wait(DWORD timeoutMs) noexcept;

private:
    struct Job;
    Job* job_ = nullptr;
    HANDLE thread_ = nullptr;
};

}  // namespace korvane
