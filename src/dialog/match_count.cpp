#include "dialog/match_count.h"

#include <memory>
#include <string_view>

#include "common/com_apartment.h"
#include "explorer/view_texts.h"
#include "match/folder_scan.h"
#include "match/match_name.h"
#include "match/regular_expression.h"
#include "os/message_pump.h"
#include "os/module_pin.h"

namespace korvane {

namespace {

struct Abandoned {};

// A reference to the module this code lies in (the library in Explorer, the program in
// the tests), taken before the thread starts and given back by the thread's very last
// call, FreeLibraryAndExitThread. DllCanUnloadNow goes on counting COM objects only:
// when it says yes while a count still runs, the unload that follows only drops
// COM's reference, and the library stays loaded until the thread has left it.
HMODULE PinCodeModule() {
    static const char anchor = 0;
    return PinModuleOf(&anchor);
}

}  // namespace

long CountMatches(const MatchCountRequest& request, const volatile LONG& cancel, volatile LONG& progress) noexcept {
    try {
        if (request.useRegex && CheckRegularExpression(request.pattern, nullptr) == RegExpVerdict::kRejected)
            return kCountRejected;
        const PreparedPattern matcher(request.pattern, request.useRegex);
        long count = 0;
        const auto take = [&] { InterlockedExchange(&progress, ++count); };
        const auto accepts = [&](std::u16string_view name) {
            if (cancel) throw Abandoned();
            return matcher.Matches(name);
        };
        // An item without text names no file: the selection never takes it.
        if (request.fromView)
            ForEachViewItemText(request.view, [&](std::u16string_view text) {
                if (accepts(text) && !text.empty()) take();
            });
        if (!request.fromView || request.subfolders)
            ScanFiles(request.folder, !request.fromView, request.subfolders, accepts,
                      [&](const std::u16string&, std::u16string_view, std::uint64_t) { take(); });
        return cancel ? kCountFailed : count;
    } catch (...) {
        return kCountFailed;
    }
}

// Shared by the worker object and its thread; the last of the two to let go deletes it.
struct MatchCountWorker::Job {
    Job(const MatchCountRequest& r, HWND w, UINT m, WPARAM t) : request(r), window(w), message(m), tag(t) {
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
    void Post(long result) {
        EnterCriticalSection(&lock);
        if (window && !cancel) PostMessageA(window, message, tag, static_cast<LPARAM>(result));
        LeaveCriticalSection(&lock);
    }

    const MatchCountRequest request;
    volatile LONG cancel = 0;
    volatile LONG progress = 0;
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
            const ComApartment apartment(job->request.useRegex != 0);
            job->Post(CountMatches(job->request, job->cancel, job->progress));
        }
        job->Release();
        FreeLibraryAndExitThread(module, 0);
        return 0;
    }
};

MatchCountWorker::MatchCountWorker(const MatchCountRequest& request, HWND window, UINT message, WPARAM tag) {
    try {
        auto job = std::make_unique<Job>(request, window, message, tag);
        job->module = PinCodeModule();
        if (!job->module) return;  // without the pin the thread could outlive the library
        DWORD threadId = 0;
        thread_ = CreateThread(nullptr, 0, Job::Run, job.get(), 0, &threadId);
        if (!thread_) {
            FreeLibrary(job->module);
            return;
        }
        // The dialog's thread comes first when both want the processor.
        SetThreadPriority(thread_, THREAD_PRIORITY_BELOW_NORMAL);
        job_ = job.release();
    } catch (...) {  // memory: no count
    }
}

MatchCountWorker::~MatchCountWorker() {
    if (job_) {
        Abandon();
        job_->Release();
    }
    if (thread_) CloseHandle(thread_);
}

long MatchCountWorker::Progress() const noexcept { return job_ ? InterlockedCompareExchange(&job_->progress, 0, 0) : 0; }

void MatchCountWorker::Abandon() noexcept {
    if (!job_) return;
    InterlockedExchange(&job_->cancel, 1);
    job_->Detach();
}

bool MatchCountWorker::Wait(DWORD timeoutMs) noexcept {
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
