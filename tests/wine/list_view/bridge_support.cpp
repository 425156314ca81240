#include "bridge_support.h"

#include <commctrl.h>

#include <cstdio>

#include "test_support.h"

namespace viewtest {

ViewProcess::ViewProcess(const std::vector<ViewItem>& items) {
    static int serial = 0;
    char token[64];
    std::snprintf(token, sizeof token, "KorvaneView.%lu.%d", GetCurrentProcessId(), ++serial);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    itemsFile_ = std::string(temp) + token + ".txt";
    const std::u16string encoded = EncodeItems(items);
    if (!testsupport::WriteTextFile(itemsFile_, std::string(reinterpret_cast<const char*>(encoded.data()),
                                                            encoded.size() * sizeof(char16_t))))
        return;

    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, token);
    if (!ready) return;
    std::string commandLine = "\"" + testsupport::ProgramFolder() + "\\list_view_host.exe\" " + token + " \"" +
                              itemsFile_ + "\" " + token;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        processId_ = started.dwProcessId;
        HANDLE waits[] = {ready, process_};
        if (WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0) {
            frame_ = FindWindowA(kHostWindowClass, token);
            view_ = frame_ ? ViewOf(frame_) : nullptr;
        }
    }
    CloseHandle(ready);
}

ViewProcess::~ViewProcess() {
    if (process_) {
        if (frame_) PostMessageA(frame_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    if (!itemsFile_.empty()) DeleteFileA(itemsFile_.c_str());
}

LocalView::LocalView(const std::vector<ViewItem>& items) : frame_(CreateViewWindow("local view", items)) {}

LocalView::~LocalView() {
    if (frame_) DestroyWindow(frame_);
}

std::unique_ptr<ShownView> ShowView(const std::vector<ViewItem>& items, bool inOtherProcess) {
    if (inOtherProcess) return std::make_unique<ViewProcess>(items);
    return std::make_unique<LocalView>(items);
}

ScriptedWindow::ScriptedWindow(Script script) : script_(std::move(script)) {
    static const char kClass[] = "KorvaneScriptedView";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), this);
}

ScriptedWindow::~ScriptedWindow() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK ScriptedWindow::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ScriptedWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message >= LVM_FIRST && message < LVM_FIRST + 0x100) return self->script_(message, wp, lp);
    return DefWindowProcA(window, message, wp, lp);
}

namespace {
MessageSpy* activeSpy = nullptr;  // one spy at a time, on the test's thread
}

// A Unicode view is subclassed with the W functions, so that it stays one.
MessageSpy::MessageSpy(HWND view, Hook hook) : view_(view), hook_(std::move(hook)), wide_(IsWindowUnicode(view) != 0) {
    activeSpy = this;
    const auto proc = reinterpret_cast<LONG_PTR>(Proc);
    original_ = reinterpret_cast<WNDPROC>(wide_ ? SetWindowLongPtrW(view, GWLP_WNDPROC, proc)
                                                : SetWindowLongPtrA(view, GWLP_WNDPROC, proc));
}

MessageSpy::~MessageSpy() {
    const auto proc = reinterpret_cast<LONG_PTR>(original_);
    if (wide_)
        SetWindowLongPtrW(view_, GWLP_WNDPROC, proc);
    else
        SetWindowLongPtrA(view_, GWLP_WNDPROC, proc);
    activeSpy = nullptr;
}

LRESULT CALLBACK MessageSpy::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    MessageSpy* spy = activeSpy;
    const bool listMessage = message >= LVM_FIRST && message < LVM_FIRST + 0x100;
    if (listMessage) {
        const SpiedMessage seen = {message, wp, lp};
        spy->messages_.push_back(seen);
        if (spy->hook_) spy->hook_(seen, false);
    }
    const LRESULT result = spy->wide_ ? CallWindowProcW(spy->original_, window, message, wp, lp)
                                      : CallWindowProcA(spy->original_, window, message, wp, lp);
    if (listMessage && spy->hook_) spy->hook_({message, wp, lp}, true);
    return result;
}

bool IsTextRequest(UINT message) {
    return message == LVM_GETITEMA || message == LVM_GETITEMW || message == LVM_GETITEMTEXTA ||
           message == LVM_GETITEMTEXTW;
}

void AnswerText(UINT message, LPARAM record, const std::u16string& text) {
    if (message == LVM_GETITEMW || message == LVM_GETITEMTEXTW) {
        auto* item = reinterpret_cast<LVITEMW*>(record);
        lstrcpynW(item->pszText, testsupport::W(text), item->cchTextMax);
    } else {
        auto* item = reinterpret_cast<LVITEMA*>(record);
        lstrcpynA(item->pszText, testsupport::A(text).c_str(), item->cchTextMax);
    }
}

}  // namespace viewtest
