// One piece of work on a thread of its own, so that Explorer's thread never waits
// for a folder of many files, a slow share or an expression that backtracks without
// end. The thread holds a reference to the module its code lies in, so the library
// stays loaded until the thread has left it, and it tells a window it is done only
// while that window is still attached. A task that cannot be stopped is abandoned:
// it runs on at the lowest priority and its result is never used.
#pragma once
#include <windows.h>

#include <functional>

namespace korvane {

class BackgroundTask {
public:
    // The work; it looks at cancel between its steps. Its answer goes to the window
    // as lParam of message (wParam tag) when it ends, unless the task was abandoned.
    using Work = std::function<LPARAM(const volatile LONG& cancel)>;

    // withCom: the thread enters a COM apartment first (the RegExp object needs one).
    BackgroundTask(Work work, bool withCom, HWND window = nullptr, UINT message = 0, WPARAM tag = 0);
    ~BackgroundTask();  // abandons the task; does not wait
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    bool Started() const noexcept { return thread_ != nullptr; }
    // Asks the work to stop at its next step, detaches the window (nothing is posted
    // after this returns) and lets the thread run on at the lowest priority.
    void Abandon() noexcept;
    // True once the thread has ended (within timeoutMs). Messages that other threads
    // send to this one are served meanwhile, so a task reading a window of this
    // thread is never left waiting.
    bool Wait(DWORD timeoutMs) noexcept;
    // The thread's handle, for a wait among other objects; null when it never started.
    HANDLE Thread() const noexcept { return thread_; }

private:
    struct Job;
    Job* job_ = nullptr;
    HANDLE thread_ = nullptr;
};

}  // namespace korvane
