// The summary line of the main dialog, driven in the real dialog from a second
// thread: typing, list picks, radio and check-box clicks, and the settings dialog.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "dialog/main_dialog.h"
#include "os/ui_text.h"
#include "resource.h"
#include "test_support.h"

using namespace korvane;
using namespace testsupport;

namespace {

// UTF-8 source text in code page 932, independent of the running ANSI code page.
std::string Sjis(const std::string& utf8) {
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wideLength);
    const int length = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wideLength, &text[0], length, nullptr, nullptr);
    return text;
}

std::string Text(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Summary(HWND dialog) { return Text(GetDlgItem(dialog, IDC_MAIN_SUMMARY)); }

// Typing: WM_SETTEXT alone does not notify, so the notification a keystroke
// brings is sent as well.
void Type(HWND dialog, int id, const std::string& text) {
    HWND combo = GetDlgItem(dialog, id);
    SetWindowTextA(combo, text.c_str());
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

// A pick from the list as the dialog sees it: the list item is selected while the
// edit field still shows the text from before.
void Pick(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    const std::string before = Text(combo);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Runs the main dialog on this thread; drive records what it sees into `seen`
// (assertions are made here afterwards), and the dialog is then cancelled.
using Seen = std::map<std::string, std::string>;
Seen RunDriven(const MainDialogInputs& inputs, const std::function<void(HWND, Seen&)>& drive) {
    Seen seen;
    const DWORD thread = GetCurrentThreadId();
    BackgroundThread driver([&] {
        HWND dialog = WaitForDialog(thread);
        if (!dialog) return;
        seen["opened"] = "yes";
        drive(dialog, seen);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    MainChoices choices;
    RunMainDialog(nullptr, inputs, choices);
    driver.Join();
    return seen;
}

const char kFirstExample[] =
    "フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルを D:\\backup にコピーします。\n"
    "コピー先に存在しないフォルダは作成されます。";

class SummaryInDialog : public testing::Test {
protected:
    void SetUp() override { ClearSettingsKey(); }
    void TearDown() override { ClearSettingsKey(); }
};

}  // namespace

TEST_F(SummaryInDialog, FollowsTypingAndActionButtons) {
    MainDialogInputs in;
    in.currentFolder = u"E:\\data";
    in.extensionPattern = u"*.doc";
    in.settings.destinationHistory = {u"D:\\backup"};

    const Seen seen = RunDriven(in, [](HWND dialog, Seen& s) {
        s["open"] = Summary(dialog);
        Type(dialog, IDC_MAIN_PATTERN, "*.txt");
        s["typed"] = Summary(dialog);
        Click(dialog, IDC_MAIN_CUT_TO_CLIPBOARD);
        s["cut"] = Summary(dialog);
        Click(dialog, IDC_MAIN_MOVE_TO_FOLDER);
        Type(dialog, IDC_MAIN_DESTINATION, "F:\\x\\");
        s["move"] = Summary(dialog);
    });
    ASSERT_EQ(seen.count("opened"), 1u);
    EXPECT_EQ(seen.at("open"),
              Sjis("フォルダ E:\\data にある、名前がワイルドカード *.doc に一致するファイルを D:\\backup にコピーします。\n"
                   "コピー先に存在しないフォルダは作成されます。"));
    EXPECT_EQ(seen.at("typed"), Sjis(kFirstExample));
    EXPECT_EQ(seen.at("cut"),
              Sjis("フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルをクリップボードに切り取ります。"));
    EXPECT_EQ(seen.at("move"),
              Sjis("フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルを F:\\x\\ に移動します。\n"
                   "移動先に存在しないフォルダは作成されます。"));
}

TEST_F(SummaryInDialog, FolderModeExampleAtOpen) {
    MainDialogInputs in;
    in.mode = kFolderMode;
    in.currentFolder = u"E:\\data";
    in.settings.useRegex = 1;
    in.settings.initialAction = kMoveToFolder;
    in.settings.initialIncludeSubfolders = 1;
    in.settings.initialAppendFolderName = 1;
    in.settings.patternHistory = {u"^report"};
    in.settings.destinationHistory = {u"D:\\archive\\"};

    const Seen seen = RunDriven(in, [](HWND dialog, Seen& s) {
        s["open"] = Summary(dialog);
    });
    ASSERT_EQ(seen.count("opened"), 1u);
    EXPECT_EQ(seen.at("open"),
              Sjis("フォルダ E:\\data およびサブフォルダにある、名前が正規表現 ^report に一致するファイルを D:\\archive\\data に移動します。\n"
                   "ファイルを選択状態にはしません。\n"
                   "移動先に存在しないフォルダは作成されます。"));
}

TEST_F(SummaryInDialog, ListPicksShowThePickedEntryAtOnce) {
    MainDialogInputs in;
    in.currentFolder = u"E:\\data";
    in.settings.initialPatternSource = 1;
    in.settings.patternHistory = {u"*.txt", u"*.log"};
    in.settings.destinationHistory = {u"D:\\backup", u"G:\\kept"};

    const Seen seen = RunDriven(in, [](HWND dialog, Seen& s) {
        Pick(dialog, IDC_MAIN_PATTERN, 1);
        s["pattern edit"] = Text(GetDlgItem(dialog, IDC_MAIN_PATTERN));
        s["pattern picked"] = Summary(dialog);
        Pick(dialog, IDC_MAIN_DESTINATION, 1);
        s["destination picked"] = Summary(dialog);
        // Another notification reads the edit fields again.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PATTERN, CBN_EDITCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_MAIN_PATTERN)));
        s["edit again"] = Summary(dialog);
    });
    ASSERT_EQ(seen.count("opened"), 1u);
    EXPECT_EQ(seen.at("pattern edit"), "*.txt") << "the edit field still holds the old text";
    EXPECT_EQ(seen.at("pattern picked"),
              Sjis("フォルダ E:\\data にある、名前がワイルドカード *.log に一致するファイルを D:\\backup にコピーします。\n"
                   "コピー先に存在しないフォルダは作成されます。"));
    EXPECT_EQ(seen.at("destination picked"),
              Sjis("フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルを G:\\kept にコピーします。\n"
                   "コピー先に存在しないフォルダは作成されます。"));
    EXPECT_EQ(seen.at("edit again"), Sjis(kFirstExample));
}

TEST_F(SummaryInDialog, CheckBoxesCountOnlyWhileEnabled) {
    MainDialogInputs in;
    in.currentFolder = u"D:";  // a drive root
    in.extensionPattern = u"*.jpg";
    in.settings.destinationHistory = {u"E:\\backup\\"};

    const Seen seen = RunDriven(in, [](HWND dialog, Seen& s) {
        Click(dialog, IDC_MAIN_SUBFOLDERS);
        Click(dialog, IDC_MAIN_APPEND_FOLDER);
        s["both on"] = Summary(dialog);
        Click(dialog, IDC_MAIN_CUT_TO_CLIPBOARD);
        s["cut"] = Summary(dialog);
    });
    ASSERT_EQ(seen.count("opened"), 1u);
    EXPECT_EQ(seen.at("both on"),
              Sjis("フォルダ D:\\ およびサブフォルダにある、名前がワイルドカード *.jpg に一致するファイルを E:\\backup\\ にコピーします。\n"
                   "サブフォルダのファイルは選択状態にはなりません。\n"
                   "コピー先に存在しないフォルダは作成されます。"));
    EXPECT_EQ(seen.at("cut"),
              Sjis("フォルダ D:\\ にある、名前がワイルドカード *.jpg に一致するファイルをクリップボードに切り取ります。"))
        << "the disabled subfolder box no longer counts";
}

TEST_F(SummaryInDialog, SettingsOkReappliesAndRebuilds) {
    MainDialogInputs in;
    in.currentFolder = u"E:\\data";
    in.extensionPattern = u"*.txt";
    in.settings.destinationHistory = {u"D:\\backup"};

    const Seen seen = RunDriven(in, [](HWND dialog, Seen& s) {
        s["before"] = Summary(dialog);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_SETTINGS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_MAIN_SETTINGS)));
        HWND settings = WaitForDialog(GetWindowThreadProcessId(dialog, nullptr), 10000, dialog);
        if (!settings) return;
        s["settings"] = "opened";
        Click(settings, IDC_SETTINGS_REGEX);
        SendDlgItemMessageA(settings, IDC_SETTINGS_EXT_ACTION, CB_SETCURSEL, 2, 0);  // copy to clipboard
        Click(settings, IDOK);
        for (int i = 0; i < 250 && IsWindow(settings); ++i) Sleep(20);
        s["after"] = Summary(dialog);
        s["caption"] = Text(dialog);
    });
    ASSERT_EQ(seen.count("settings"), 1u);
    EXPECT_EQ(seen.at("before"), Sjis(kFirstExample));
    EXPECT_EQ(seen.at("caption"), A(LoadResourceString(IDS_CAPTION_REGEX)));
    EXPECT_EQ(seen.at("after"),
              Sjis("フォルダ E:\\data にある、名前が正規表現 *.txt に一致するファイルをクリップボードにコピーします。"))
        << "reloaded from the registry: regular expressions, copy to clipboard; the pattern made at intake stays";
}

TEST_F(SummaryInDialog, NamesTheFolderTheFilesWillReallyGoTo) {
    // A relative destination is shown resolved against the current folder, as OK stores it.
    MainDialogInputs in;
    in.currentFolder = u"E:\\data";
    in.extensionPattern = u"*.txt";

    const Seen seen = RunDriven(in, [](HWND dialog, Seen& s) {
        for (const char* typed : {"backup", "..\\out", "\\top", "F:\\x"}) {
            Type(dialog, IDC_MAIN_DESTINATION, typed);
            s[typed] = Summary(dialog);
        }
        Click(dialog, IDC_MAIN_APPEND_FOLDER);
        Type(dialog, IDC_MAIN_DESTINATION, "backup");
        s["append"] = Summary(dialog);
    });
    ASSERT_EQ(seen.count("opened"), 1u);
    const std::map<std::string, std::string> shown = {
        {"backup", "E:\\data\\backup"}, {"..\\out", "E:\\out"}, {"\\top", "E:\\top"},
        {"F:\\x", "F:\\x"}, {"append", "E:\\data\\backup\\data"}};
    for (const auto& [typed, folder] : shown)
        EXPECT_EQ(seen.at(typed),
                  Sjis("フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルを " + folder +
                       " にコピーします。\nコピー先に存在しないフォルダは作成されます。"))
            << typed;
}

// Names outside the code page appear in the summary exactly: the folder, a typed
// pattern and a destination picked from the list (read from the list item itself
// while the edit field still shows the old text).
TEST_F(SummaryInDialog, ShowsNamesOutsideTheCodePageExactly) {
    if (!IsNtPlatform()) GTEST_SKIP() << "an ANSI window holds no text outside the code page";
    MainDialogInputs in;
    in.currentFolder = u"E:\\Zoë\\자료";
    in.extensionPattern = u"*.한글";
    in.settings.destinationHistory = {u"D:\\café", u"D:\\a😀b"};

    std::map<std::string, std::u16string> shown;
    const Seen seen = RunDriven(in, [&shown](HWND dialog, Seen&) {
        auto summary = [dialog] {
            wchar_t text[2048] = {};
            GetWindowTextW(GetDlgItem(dialog, IDC_MAIN_SUMMARY), text, 2048);
            return std::u16string(reinterpret_cast<const char16_t*>(text));
        };
        shown["open"] = summary();
        HWND combo = GetDlgItem(dialog, IDC_MAIN_DESTINATION);
        wchar_t before[512] = {};
        GetWindowTextW(combo, before, 512);
        SendMessageW(combo, CB_SETCURSEL, 1, 0);
        SendMessageW(FindWindowExW(combo, nullptr, L"Edit", nullptr), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_DESTINATION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        shown["picked"] = summary();
        HWND pattern = GetDlgItem(dialog, IDC_MAIN_PATTERN);
        SetWindowTextW(pattern, L"*\u00A5?.txt");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PATTERN, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(pattern));
        shown["typed"] = summary();
    });
    ASSERT_EQ(seen.count("opened"), 1u);
    const std::u16string line2 = u"\nコピー先に存在しないフォルダは作成されます。";
    EXPECT_EQ(shown["open"],
              u"フォルダ E:\\Zoë\\자료 にある、名前がワイルドカード *.한글 に一致するファイルを D:\\café にコピーします。" + line2);
    EXPECT_EQ(shown["picked"],
              u"フォルダ E:\\Zoë\\자료 にある、名前がワイルドカード *.한글 に一致するファイルを D:\\a😀b にコピーします。" + line2);
    EXPECT_EQ(shown["typed"],
              u"フォルダ E:\\Zoë\\자료 にある、名前がワイルドカード *¥?.txt に一致するファイルを D:\\café にコピーします。" + line2)
        << "the edit field still holds the first entry";
}
