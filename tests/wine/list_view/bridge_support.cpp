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
    if (!testsupport::WriteTextFile(itemsFile_, EncodeItems(items))) return;

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

MessageSpy::MessageSpy(HWND view, Hook hook) : view_(view), hook_(std::move(hook)) {
    activeSpy = this;
    original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

MessageSpy::~MessageSpy() {
    SetWindowLongPtrA(view_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
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
    const LRESULT result = CallWindowProcA(spy->original_, window, message, wp, lp);
    if (listMessage && spy->hook_) spy->hook_({message, wp, lp}, true);
    return result;
}

}  // namespace viewtest
