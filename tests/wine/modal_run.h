// Running a modal piece of the extension (a dialog, a whole command) on a thread of
// its own while the test thread drives its dialogs by control id and asserts.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace commandtest {

class ModalRun {
public:
    // body runs on the new thread and returns the modal result.
    explicit ModalRun(std::function<INT_PTR()> body);
    // Closes whatever dialog of the thread is still open, then waits for it.
    ~ModalRun();
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

    DWORD ThreadId() const { return threadId_; }
    // A visible dialog of the thread other than `other`, or null after the time limit.
    HWND Dialog(DWORD timeoutMs = 10000, HWND other = nullptr) const;
    // True once the body has returned within the time limit.
    bool Finish(DWORD timeoutMs = 10000);
    INT_PTR Result() const { return result_; }

private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<INT_PTR()> body_;
    INT_PTR result_ = -1;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

// Typing into an editable combo: the text, then the notification the dialog gets
// from a real keystroke (WM_SETTEXT sends none). The UTF-16 form sets the text with
// the W message, so that text the code page lacks arrives exactly.
void TypeInto(HWND dialog, int id, const std::string& text);
void TypeInto(HWND dialog, int id, const std::u16string& text);
// A click that returns at once, for buttons that open something modal.
void PostClick(HWND dialog, int id);
// A click that returns once the dialog has handled it.
void Click(HWND dialog, int id);

std::string WindowText(HWND window);       // in the ANSI code page
std::u16string WindowTextU(HWND window);  // exactly, through GetWindowTextW
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
// True when a static control inside the window shows the text (a message box's text).
bool HasStaticText(HWND window, const std::string& text);
bool HasStaticText(HWND window, const std::u16string& text);

// Values of HKCU\Software\Wendlock\Korvane; the readers return false when the value is missing.
bool ReadSettingString(const char* name, std::string& value);
// A REG_SZ value as the system keeps it, through RegQueryValueExW.
bool ReadSettingText(const char* name, std::u16string& value);
bool ReadSettingNumber(const char* name, DWORD& value);
void WriteSettingNumber(const char* name, DWORD value);

}  // namespace commandtest
