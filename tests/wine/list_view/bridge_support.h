// List views for the bridge's tests: one shown by the host program in another process,
// one in the test's own process, a window that answers as the test scripts it, and a
// spy on the messages a view receives.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "view_window.h"

namespace viewtest {

class ShownView {
public:
    virtual ~ShownView() = default;
    virtual HWND View() const = 0;
};

// The host program (list_view_host.exe beside the test) showing the items.
class ViewProcess final : public ShownView {
public:
    explicit ViewProcess(const std::vector<ViewItem>& items);
    ~ViewProcess() override;
    HWND View() const override { return view_; }
    DWORD ProcessId() const { return processId_; }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND frame_ = nullptr;
    HWND view_ = nullptr;
    std::string itemsFile_;
};

// The same window on the test's own thread.
class LocalView final : public ShownView {
public:
    explicit LocalView(const std::vector<ViewItem>& items);
    ~LocalView() override;
    HWND View() const override { return ViewOf(frame_); }

private:
    HWND frame_ = nullptr;
};

std::unique_ptr<ShownView> ShowView(const std::vector<ViewItem>& items, bool inOtherProcess);

// A window of the test's thread whose every message goes to the given function.
class ScriptedWindow {
public:
    using Script = std::function<LRESULT(UINT message, WPARAM wp, LPARAM lp)>;
    explicit ScriptedWindow(Script script);
    ~ScriptedWindow();
    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
    Script script_;
    HWND window_ = nullptr;
};

struct SpiedMessage {
    UINT message;
    WPARAM wp;
    LPARAM lp;
};

// Records every list-view message (LVM_FIRST and above) a window of this process
// receives; a hook may look at each one before the view handles it, and after.
class MessageSpy {
public:
    using Hook = std::function<void(const SpiedMessage& message, bool handled)>;
    explicit MessageSpy(HWND view, Hook hook = nullptr);
    ~MessageSpy();
    const std::vector<SpiedMessage>& Messages() const { return messages_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
    HWND view_;
    WNDPROC original_;
    Hook hook_;
    bool wide_;
    std::vector<SpiedMessage> messages_;
};

// A scripted view's answer to a request for an item's text, in the character set the
// message asks for: UTF-16 for the W messages, the code page's bytes for the A ones.
bool IsTextRequest(UINT message);
void AnswerText(UINT message, LPARAM record, const std::u16string& text);

}  // namespace viewtest
