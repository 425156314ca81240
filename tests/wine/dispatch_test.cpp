// The whole command through InvokeCommand: the list-view search, the main dialog,
// collection and action by mode and version, and the saved choices.
#include <gtest/gtest.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "modal_run.h"
#include "resources/resource.h"
#include "common/module.h"
#include "shellext/shell_extension.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "test_support.h"

using korvane::LoadResourceString;
using korvane::ShellExtension;
using namespace commandtest;
using namespace testsupport;

namespace {

using Object = ExtensionRef;

// A stand-in for an Explorer window, made on the thread that runs the command:
// a frame with a "SysListView32" deep among its descendants, or none.
struct Frame {
    HWND window = nullptr;
    HWND view = nullptr;
    explicit Frame(bool withView) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        window = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        HWND pane = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 400, 300, window, nullptr, nullptr, nullptr);
        if (withView)
            view = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 400, 300, pane, nullptr, nullptr, nullptr);
    }
    ~Frame() { DestroyWindow(window); }
};

HRESULT Invoke(ShellExtension& object, HWND window) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.lpVerb = MAKEINTRESOURCEA(0);
    info.nShow = SW_SHOWNORMAL;
    return object.InvokeCommand(&info);
}

// Runs InvokeCommand on its own thread, in a frame with or without a list view.
ModalRun Command(ShellExtension& object, bool withView) {
    return ModalRun([&object, withView] {
        Frame frame(withView);
        return static_cast<INT_PTR>(Invoke(object, frame.window));
    });
}

bool IsMainDialog(HWND dialog) { return dialog && GetDlgItem(dialog, IDC_MAIN_PATTERN) != nullptr; }

// Confirms the main dialog, then closes whatever the action shows (progress,
// overwrite question, results) until the command returns.
bool ConfirmAndFinish(ModalRun& run, HWND dialog) {
    PostClick(dialog, IDOK);
    for (int i = 0; i < 300; ++i) {
        if (run.Finish(50)) return true;
        HWND shown = run.Dialog(50, dialog);
        if (!shown || shown == dialog) continue;
        if (GetDlgItem(shown, IDC_RESULTS_LIST) || GetDlgItem(shown, IDC_OVERWRITE_YES_TO_ALL))
            PostMessageA(shown, WM_COMMAND, IDOK, 0);
    }
    return run.Finish(100);
}

std::vector<std::string> ClipboardFiles() {
    std::vector<std::string> files;
    if (!OpenClipboard(nullptr)) return files;
    if (HANDLE data = GetClipboardData(CF_HDROP)) {
        auto drop = static_cast<HDROP>(data);
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH] = {};
            DragQueryFileA(drop, i, path, MAX_PATH);
            files.push_back(path);
        }
    }
    CloseClipboard();
    return files;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

bool Initialize(Object& object, const std::string& path) {
    auto data = ShellDataObject({path});
    return data && object->Initialize(nullptr, data.Get(), nullptr) == S_OK;
}

bool Initialize(Object& object, const std::u16string& path) {
    auto data = ShellDataObject(std::vector<std::wstring>{W(path)});
    return data && object->Initialize(nullptr, data.Get(), nullptr) == S_OK;
}

}  // namespace

TEST(Dispatch, WithoutAListViewOnlyWindows7GoesOn) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    ASSERT_TRUE(MakeFolder(folder / "sub"));
    // The search comes before the mode: a folder-mode command stops the same way.
    for (const char* item : {"a.txt", "sub"}) {
        ClearSettingsKey();
        Object object;
        ASSERT_TRUE(Initialize(object, folder / item));
        ModalRun run = Command(*object.p, /*withView=*/false);
        HWND shown = run.Dialog();
        ASSERT_NE(shown, nullptr) << item;
        if (korvane::IsWindows7OrLater()) {
            EXPECT_TRUE(IsMainDialog(shown)) << item;
            PostClick(shown, IDCANCEL);
        } else {
            EXPECT_FALSE(IsMainDialog(shown)) << item;
            EXPECT_EQ(WindowTextU(shown), LoadResourceString(IDS_APP_CAPTION));
            EXPECT_TRUE(HasStaticText(shown, LoadResourceString(IDS_NO_EXPLORER_WINDOW)));
            PostMessageA(shown, WM_COMMAND, IDOK, 0);
            EXPECT_EQ(run.Dialog(500, shown), nullptr) << "no main dialog after the message";
        }
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.Result(), S_OK);
        DWORD flag = 0;
        EXPECT_FALSE(ReadSettingNumber("flag_ext", flag) || ReadSettingNumber("flag_folder", flag)) << "nothing saved";
    }
}

TEST(Dispatch, Windows7CommandWorksWithoutAListView) {
    if (!korvane::IsWindows7OrLater()) GTEST_SKIP() << "before Windows 7 the list view is required";
    ClearSettingsKey();
    EmptyTheClipboard();
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    ASSERT_TRUE(WriteTextFile(folder / "b.doc"));
    Object object;
    ASSERT_TRUE(Initialize(object, folder / "b.doc"));
    ModalRun run = Command(*object.p, /*withView=*/false);
    HWND dialog = run.Dialog();
    ASSERT_TRUE(IsMainDialog(dialog));
    TypeInto(dialog, IDC_MAIN_PATTERN, "*.txt");
    Click(dialog, IDC_MAIN_COPY_TO_CLIPBOARD);
    ASSERT_TRUE(ConfirmAndFinish(run, dialog));
    EXPECT_EQ(run.Result(), S_OK);
    EXPECT_EQ(ClipboardFiles(), std::vector<std::string>{folder / "a.txt"});
}

TEST(Dispatch, FreshWindows7PreviousChoiceCopiesWithTheInvokingWindowDisabled) {
    if (!korvane::IsWindows7OrLater()) GTEST_SKIP() << "before Windows 7 the list view is required";
    // Settings stored "previous choice" before any command ran; no list view is found.
    ClearSettingsKey();
    WriteSettingNumber("mode_ext", korvane::kPreviousAction);
    TempFolder folder, target;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt", "new"));
    ASSERT_TRUE(WriteTextFile(target / "a.txt", "old"));  // brings a question up during the run
    Object object;
    ASSERT_TRUE(Initialize(object, folder / "a.txt"));
    HWND frameWindow = nullptr;
    ModalRun run([&] {
        Frame frame(/*withView=*/false);
        frameWindow = frame.window;
        return static_cast<INT_PTR>(Invoke(*object.p, frame.window));
    });
    HWND dialog = run.Dialog();
    ASSERT_TRUE(IsMainDialog(dialog));
    EXPECT_TRUE(Checked(dialog, IDC_MAIN_COPY_TO_FOLDER));
    TypeInto(dialog, IDC_MAIN_DESTINATION, target.Path());
    PostClick(dialog, IDOK);
    std::vector<bool> enabledDuringQuestions;
    for (int i = 0; i < 300 && !run.Finish(50); ++i) {
        HWND shown = run.Dialog(50, dialog);
        const bool question = shown && GetDlgItem(shown, IDC_OVERWRITE_YES_TO_ALL) && IsWindowVisible(shown);
        if (question) enabledDuringQuestions.push_back(IsWindowEnabled(frameWindow) != 0);
        if (question || (shown && GetDlgItem(shown, IDC_RESULTS_LIST))) PostMessageA(shown, WM_COMMAND, IDOK, 0);
        for (int j = 0; question && j < 200 && IsWindow(shown); ++j) Sleep(10);
    }
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(enabledDuringQuestions, std::vector<bool>{false}) << "one question, the invoking window disabled";
    EXPECT_EQ(ReadTextFile(target / "a.txt"), "new");
    ClearSettingsKey();
}

TEST(Dispatch, ChoicesAreSavedAfterOkOnly) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    ClearSettingsKey();
    {
        Object object;
        ASSERT_TRUE(Initialize(object, folder / "a.txt"));
        ModalRun run = Command(*object.p, /*withView=*/true);
        HWND dialog = run.Dialog();
        ASSERT_TRUE(IsMainDialog(dialog));
        TypeInto(dialog, IDC_MAIN_PATTERN, "*.cancelled");
        PostClick(dialog, IDCANCEL);
        ASSERT_TRUE(run.Finish());
        std::string pattern;
        EXPECT_FALSE(ReadSettingString("h0_0", pattern)) << "Cancel saves nothing";
    }
    {
        Object object;
        ASSERT_TRUE(Initialize(object, folder / "a.txt"));
        ModalRun run = Command(*object.p, /*withView=*/true);
        HWND dialog = run.Dialog();
        ASSERT_TRUE(IsMainDialog(dialog));
        TypeInto(dialog, IDC_MAIN_PATTERN, "*.saved");
        Click(dialog, IDC_MAIN_CUT_TO_CLIPBOARD);
        SendDlgItemMessageA(dialog, IDC_MAIN_SAME_FILE, CB_SETCURSEL, 2, 0);
        ASSERT_TRUE(ConfirmAndFinish(run, dialog));
        std::string pattern;
        DWORD action = 99, same = 99;
        EXPECT_TRUE(ReadSettingString("h0_0", pattern));
        EXPECT_EQ(pattern, "*.saved");
        EXPECT_TRUE(ReadSettingNumber("flag_ext", action));
        EXPECT_EQ(action, korvane::kCutToClipboard);
        EXPECT_TRUE(ReadSettingNumber("same_flag_ext", same));
        EXPECT_EQ(same, korvane::kOverwriteAlways);
    }
    EmptyTheClipboard();
    ClearSettingsKey();
}

TEST(Dispatch, FolderModeAlwaysGoesToTheTransfer) {
    ClearSettingsKey();
    EmptyTheClipboard();
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "sub\\a.txt"));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\b.doc"));
    Object object;
    ASSERT_TRUE(Initialize(object, folder / "sub"));
    ASSERT_EQ(object->CurrentSelection().mode, korvane::kFolderMode);
    ModalRun run = Command(*object.p, /*withView=*/true);
    HWND dialog = run.Dialog();
    ASSERT_TRUE(IsMainDialog(dialog));
    TypeInto(dialog, IDC_MAIN_PATTERN, "*.txt");
    TypeInto(dialog, IDC_MAIN_DESTINATION, folder / "out");
    ASSERT_TRUE(ConfirmAndFinish(run, dialog));
    EXPECT_TRUE(FileExists(folder / "out\\a.txt"));
    EXPECT_FALSE(FileExists(folder / "out\\b.doc"));
    EXPECT_TRUE(ClipboardFiles().empty());
    ClearSettingsKey();
}

TEST(Dispatch, TheObjectOutlivesItsCallersReleaseDuringTheCommand) {
    ClearSettingsKey();
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    const LONG before = korvane::LiveObjectCount();
    ShellExtension* object = ShellExtension::New();
    ASSERT_NE(object, nullptr);
    auto data = ShellDataObject({folder / "a.txt"});
    ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);
    ModalRun run = Command(*object, /*withView=*/true);
    HWND dialog = run.Dialog();
    ASSERT_TRUE(IsMainDialog(dialog));
    object->Release();  // the host lets go while the dialog is up
    ASSERT_EQ(korvane::LiveObjectCount(), before + 1) << "the command holds its own reference";
    TypeInto(dialog, IDC_MAIN_PATTERN, "*.held");
    Click(dialog, IDC_MAIN_COPY_TO_CLIPBOARD);
    ASSERT_TRUE(ConfirmAndFinish(run, dialog));
    EXPECT_EQ(korvane::LiveObjectCount(), before) << "and lets go at its end";
    std::string pattern;
    EXPECT_TRUE(ReadSettingString("h0_0", pattern));
    EXPECT_EQ(pattern, "*.held");
    EmptyTheClipboard();
    ClearSettingsKey();
}

TEST(Dispatch, AnApartmentItCouldNotEnterIsLeftAlone) {
    ClearSettingsKey();
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    Object object;
    ASSERT_TRUE(Initialize(object, folder / "a.txt"));
    HRESULT first = E_FAIL, after = E_FAIL;
    ModalRun run([&] {
        first = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        INT_PTR result;
        {
            Frame frame(true);
            result = Invoke(*object.p, frame.window);
        }
        // Still in the thread's own apartment: initialising again only counts up.
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        CoUninitialize();
        return result;
    });
    HWND dialog = run.Dialog();
    ASSERT_TRUE(IsMainDialog(dialog));
    TypeInto(dialog, IDC_MAIN_PATTERN, "*.txt");
    Click(dialog, IDC_MAIN_COPY_TO_CLIPBOARD);
    ASSERT_TRUE(ConfirmAndFinish(run, dialog));
    EXPECT_EQ(first, S_OK);
    EXPECT_EQ(after, S_FALSE) << "CoUninitialize after a failed CoInitialize tore the apartment down";
    EmptyTheClipboard();
    ClearSettingsKey();
}

// One whole command on names outside the code page: the selection, the typed
// destination (relative, so it is made inside the current folder), the scan, the
// copy and the stored histories all keep every name exactly.
TEST(Dispatch, Windows7ExtensionCommandCopiesNamesOutsideTheCodePageExactly) {
    if (!korvane::IsWindows7OrLater()) GTEST_SKIP() << "before Windows 7 the matches come from Explorer's list";
    ClearSettingsKey();
    TempFolder folder;
    ASSERT_TRUE(WriteFileU(folder / u"한국어.txt", "korean"));
    ASSERT_TRUE(WriteFileU(folder / u"café.txt", "cafe"));
    ASSERT_TRUE(WriteFileU(folder / u"cafe.txt", "plain"));  // what café.txt's best fit would name
    ASSERT_TRUE(WriteFileU(folder / u"자료.doc", "doc"));
    Object object;
    ASSERT_TRUE(Initialize(object, folder / u"한국어.txt"));
    ASSERT_EQ(object->CurrentSelection().mode, korvane::kExtensionMode);
    ASSERT_EQ(object->CurrentSelection().currentFolder, folder.PathU());

    ModalRun run = Command(*object.p, /*withView=*/false);
    HWND dialog = run.Dialog();
    ASSERT_TRUE(IsMainDialog(dialog));
    EXPECT_EQ(WindowTextU(GetDlgItem(dialog, IDC_MAIN_PATTERN)), u"*.txt") << "the selected file's extension";
    Click(dialog, IDC_MAIN_COPY_TO_FOLDER);
    TypeInto(dialog, IDC_MAIN_DESTINATION, std::u16string(u"자료\\Beyoncé"));
    ASSERT_TRUE(ConfirmAndFinish(run, dialog));
    EXPECT_EQ(run.Result(), S_OK);

    const std::u16string target = folder / u"자료\\Beyoncé";
    EXPECT_EQ(NamesIn(target), (std::vector<std::u16string>{u"cafe.txt", u"café.txt", u"한국어.txt"}));
    EXPECT_EQ(ReadFileU(target + u"\\한국어.txt"), "korean");
    EXPECT_EQ(ReadFileU(target + u"\\café.txt"), "cafe");
    EXPECT_EQ(ReadFileU(target + u"\\cafe.txt"), "plain");
    std::u16string pattern, destination;
    EXPECT_TRUE(ReadSettingText("h0_0", pattern));
    EXPECT_EQ(pattern, u"*.txt");
    EXPECT_TRUE(ReadSettingText("f0_0", destination));
    EXPECT_EQ(destination, u"자료\\Beyoncé") << "the history keeps the text as typed";
    ClearSettingsKey();
}
