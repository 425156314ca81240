// Korvane.chm under Wine's HTML Help: context ids 4 and 6 open the help window,
// another id opens nothing, and F1 in the main and settings dialogs opens it.
// help_pages.sh runs this program with Wine's HTML Help trace on and checks that
// each request navigated to the page of its id (without Wine's Gecko engine no page
// is rendered, so the trace is where the page shows).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "common/unique_handle.h"
#include "dialog/main_dialog.h"
#include "os/html_help.h"
#include "retrakt_driver.h"
#include "settings/settings_dialog.h"
#include "test_support.h"

using namespace testsupport;

namespace {

constexpr UINT kHelpContext = korvane::kHelpContextCommand;
constexpr UINT kCloseAll = 0x0012;     // HH_CLOSE_ALL

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpFunction HtmlHelp() {
    static HMODULE control = LoadLibraryA("hhctrl.ocx");
    return control ? reinterpret_cast<HtmlHelpFunction>(GetProcAddress(control, MAKEINTRESOURCEA(14))) : nullptr;
}

std::string HelpFile() { return ProgramFolder() + "\\Korvane.chm"; }

// The help window of this process, waited for up to timeoutMs.
HWND WaitForHelpWindow(DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
        HWND window = FindWindowA("HH Parent", nullptr);
        DWORD pid = 0;
        if (window) GetWindowThreadProcessId(window, &pid);
        if (window && pid == GetCurrentProcessId()) return window;
    }
    return nullptr;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

void PressF1() {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

// Runs a dialog on this thread; a second thread presses F1 in it, waits for the
// help window, closes it and cancels the dialog.
void PressF1In(const std::function<INT_PTR()>& runDialog) {
    const DWORD dialogThread = GetCurrentThreadId();
    HWND help = nullptr;
    std::wstring title;
    BackgroundThread driver([&] {
        HWND dialog = WaitForDialog(dialogThread);
        if (!dialog) return;
        SetForegroundWindow(dialog);
        Sleep(200);
        PressF1();
        help = WaitForHelpWindow(10000);
        if (help) {
            title = TitleOf(help);
            if (const char* linger = std::getenv("KORVANE_HELP_LINGER_MS")) Sleep(std::atoi(linger));
            PostMessageA(help, WM_CLOSE, 0, 0);
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(runDialog(), IDCANCEL);
    EXPECT_TRUE(driver.Join());
    ASSERT_NE(help, nullptr) << "F1 opened no help window";
    EXPECT_EQ(title, retrakttest::Wide(u8"Korvane ヘルプ"));
}

}  // namespace

TEST(HelpFile, EachContextIdOpensTheHelpWindow) {
    ASSERT_TRUE(FileExists(HelpFile()));
    ASSERT_NE(HtmlHelp(), nullptr);
    for (DWORD_PTR context : {4, 6}) {
        HWND help = HtmlHelp()(nullptr, HelpFile().c_str(), kHelpContext, context);
        ASSERT_NE(help, nullptr) << context;
        EXPECT_EQ(TitleOf(help), retrakttest::Wide(u8"Korvane ヘルプ"));
        HtmlHelp()(nullptr, nullptr, kCloseAll, 0);
    }
}

TEST(HelpFile, AnUnmappedContextIdOpensNothing) {
    ASSERT_NE(HtmlHelp(), nullptr);
    EXPECT_EQ(HtmlHelp()(nullptr, HelpFile().c_str(), kHelpContext, 5), nullptr);
    EXPECT_EQ(FindWindowA("HH Parent", nullptr), nullptr);
}

TEST(HelpFile, F1InTheMainDialogOpensHelp) {
    korvane::MainDialogInputs inputs;  // extension mode, the settings' defaults
    inputs.currentFolder = u"C:\\";
    inputs.extensionPattern = u"*.txt";
    korvane::MainChoices choices;
    PressF1In([&] { return korvane::RunMainDialog(nullptr, inputs, choices); });
}

TEST(HelpFile, F1InTheSettingsDialogOpensHelp) {
    PressF1In([] { return korvane::RunSettingsDialog(nullptr); });
}
