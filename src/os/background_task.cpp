#include "os/background_task.h"

#include <memory>

#include "common/com_apartment.h"
#include "os/message_pump.h"
#include "os/module_pin.h"

namespace korvane {

namespace {

// An address inside this module, to pin the module by.
const char kAnchor = 0;

}  // namespace

// Shared by the task object and its thread; the last of the two to let go deletes it.
struct BackgroundTask::Job {
    Job(Work w, bool com, HWND target, UINT m, WPARAM t)
        : work(std::move(w)), withCom(com), window(target), message(m), tag(t) {
        InitializeCriticalSection(&lock);
    }
    ~Job() { DeleteCriticalSection(&lock); }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    void Release() {
        if (InterlockedDecrement(&references) == 0) delete this;
    }
    void Detach() {
        EnterCriticalSection(&lock);
        window = nullptr;
        LeaveCriticalSection(&lock);
    }
    // Under the lock, so a window detached by Abandon never gets the message.
    void Post(LPARAM result) {
        EnterCriticalSection(&lock);
        if (window && !cancel) PostMessageA(window, message, tag, result);
        LeaveCriticalSection(&lock);
    }

    const Work work;
    const bool withCom;
    volatile LONG cancel = 0;
    volatile LONG references = 2;
    HMODULE module = nullptr;
    CRITICAL_SECTION lock;
    HWND window;
    const UINT message;
    const WPARAM tag;

    static DWORD WINAPI Run(LPVOID parameter) {
        auto* job = static_cast<Job*>(parameter);
        const HMODULE module = job->module;
        {
            const ComApartment apartment(job->withCom);
            LPARAM result = 0;
            try {
                result = job->work(job->cancel);
            } catch (...) {
            }
            job->Post(result);
        }
        job->Release();
        FreeLibraryAndExitThread(module, 0);
        return 0;
    }
};

BackgroundTask::BackgroundTask(Work work, bool withCom, HWND window, UINT message, WPARAM tag) {
    try {
        auto job = std::make_unique<Job>(std::move(work), withCom, window, message, tag);
        job->module = PinModuleOf(&kAnchor);
        if (!job->module) return;  // without the pin the thread could outlive the library
        DWORD threadId = 0;
        thread_ = CreateThread(nullptr, 0, Job::Run, job.get(), 0, &threadId);
        if (!thread_) {
            FreeLibrary(job->module);
            return;
        }
        // The thread that shows the windows comes first when both want the processor.
        SetThreadPriority(thread_, THREAD_PRIORITY_BELOW_NORMAL);
        job_ = job.release();
    } catch (...) {  // memory: no task
    }
}

BackgroundTask::~BackgroundTask() {
    if (job_) {
        Abandon();
        job_->Release();
    }
    if (thread_) CloseHandle(thread_);
}

void BackgroundTask::Abandon() noexcept {
    if (!job_) return;
    InterlockedExchange(&job_->cancel, 1);
    job_->Detach();
    if (thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) SetThreadPriority(thread_, THREAD_PRIORITY_IDLE);
}

bool BackgroundTask::Wait(DWORD timeoutMs) noexcept {
    if (!thread_) return true;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread_, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1 || left == 0) return false;
        ServeSentMessages();
    }
}

}  // namespace korvane
