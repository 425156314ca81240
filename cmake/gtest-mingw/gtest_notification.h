// Forced into googletest and the Windows tests. googletest 1.12 builds its
// Notification on std::mutex, which the win32 thread model of mingw-w64 lacks;
// an event does the same job.
#pragma once
#define GTEST_HAS_NOTIFICATION_ 1
#ifdef __cplusplus
#include <windows.h>
namespace testing {
namespace internal {
class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};
}  // namespace internal
}  // namespace testing
#endif
