// The main dialog, run for inputs built by hand and driven by control id.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog/help_binding.h"
#include "main_dialog_inputs.h"
#include "resources/resource.h"
#include "os/system_helpers.h"
#include "common/path_text.h"
#include "test_support.h"

using korvane::LoadResourceString;
using namespace commandtest;
using namespace testsupport;

namespace {

// A command in C:\work as the intake and the settings store leave it.
korvane::MainDialogInputs Inputs(korvane::InvocationMode mode = korvane::kExtensionMode) {
    if (mode == korvane::kFolderMode) return DialogInputs(mode, "C:\\work", {"^f", "^g"}, {"G:\\f"});
    return DialogInputs(mode, "C:\\work", {"*.doc", "*.xls"}, {"E:\\back", "F:\\x"});
}

const int kDestinationControls[] = {IDC_MAIN_DESTINATION, IDC_MAIN_BROWSE,    IDC_MAIN_SUBFOLDERS,
                                    IDC_MAIN_SAME_FILE_LABEL, IDC_MAIN_SAME_FILE, IDC_MAIN_APPEND_FOLDER};
const int kActionButtons[] = {IDC_MAIN_COPY_TO_FOLDER, IDC_MAIN_MOVE_TO_FOLDER, IDC_MAIN_COPY_TO_CLIPBOARD,
                              IDC_MAIN_CUT_TO_CLIPBOARD, IDC_MAIN_SELECT_ONLY};

int CheckedButton(HWND dialog) {
    int found = 0;
    for (int id : kActionButtons)
        if (Checked(dialog, id)) found = found ? -1 : id;
    return found;
}

void ExpectDestinationControlsEnabled(HWND dialog, bool enabled) {
    for (int id : kDestinationControls) EXPECT_EQ(Enabled(dialog, id), enabled) << id;
}

LRESULT Selection(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0); }

// Posts OK and waits for the message box it raises; returns the box.
HWND OkRaisesBox(ModalRun& run, HWND dialog) {
    PostClick(dialog, IDOK);
    return run.Dialog(10000, dialog);
}

void CloseBox(HWND box) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(10);
}

bool FocusIsOn(const ModalRun& run, HWND control) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(run.ThreadId(), &info);
    return info.hwndFocus == control || GetParent(info.hwndFocus) == control;
}

}  // namespace

TEST(MainDialog, StartsFromTheLoadedSettingsInExtensionMode) {
    korvane::MainDialogInputs in = Inputs();
    in.settings.initialAction = korvane::kSelectOnly;
    in.settings.initialIncludeSubfolders = 1;
    in.settings.initialSameFileAction = 1;
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(WindowText(dialog), LoadResourceString(IDS_CAPTION_WILDCARD));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN_LABEL)), LoadResourceString(IDS_LABEL_WILDCARD));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_FOLDER)), " C:\\work");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN)), "*.txt");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_MAIN_PATTERN, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_DESTINATION)), "E:\\back");
    EXPECT_TRUE(Checked(dialog, IDC_MAIN_SUBFOLDERS));
    EXPECT_FALSE(Checked(dialog, IDC_MAIN_APPEND_FOLDER));
    EXPECT_EQ(Selection(dialog, IDC_MAIN_SAME_FILE), 1);
    EXPECT_TRUE(FocusIsOn(run, GetDlgItem(dialog, IDC_MAIN_PATTERN)));
    EXPECT_TRUE(Enabled(dialog, IDC_MAIN_COPY_TO_CLIPBOARD));
    EXPECT_TRUE(Enabled(dialog, IDC_MAIN_CUT_TO_CLIPBOARD));
    if (korvane::IsWindows7OrLater()) {
        // No select only from Windows 7 on: a stored 4 shows copy to a folder.
        EXPECT_EQ(CheckedButton(dialog), IDC_MAIN_COPY_TO_FOLDER);
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_SELECT_ONLY));
        ExpectDestinationControlsEnabled(dialog, true);
    } else {
        EXPECT_EQ(CheckedButton(dialog), IDC_MAIN_SELECT_ONLY);
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_SELECT_ONLY));
        ExpectDestinationControlsEnabled(dialog, false);
    }

    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.Result(), IDCANCEL);
    EXPECT_EQ(run.choices.action, 3u) << "Cancel writes nothing";
    EXPECT_EQ(run.choices.pattern, "unchanged");
    EXPECT_EQ(run.choices.destinationFolder, "unchanged");
}

TEST(MainDialog, RegularExpressionsAndThePatternFromTheHistory) {
    korvane::MainDialogInputs in = Inputs();
    in.settings.useRegex = 1;
    in.settings.initialPatternSource = 1;
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), LoadResourceString(IDS_CAPTION_REGEX));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN_LABEL)), LoadResourceString(IDS_LABEL_REGEX));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN)), "*.doc");
}

TEST(MainDialog, FolderModeOffersTheFolderActionsOnly) {
    const struct { korvane::ActionKind stored; int shown; } cases[] = {
        {0, IDC_MAIN_COPY_TO_FOLDER}, {1, IDC_MAIN_MOVE_TO_FOLDER}, {2, IDC_MAIN_COPY_TO_FOLDER},
        {3, IDC_MAIN_COPY_TO_FOLDER}, {4, IDC_MAIN_COPY_TO_FOLDER}, {5, IDC_MAIN_COPY_TO_FOLDER},
    };
    for (const auto& c : cases) {
        korvane::MainDialogInputs in = Inputs(korvane::kFolderMode);
        in.settings.initialAction = c.stored;
        in.currentFolder = "D:";
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), LoadResourceString(IDS_CAPTION_WILDCARD) + LoadResourceString(IDS_CAPTION_FOLDER_MODE));
        EXPECT_EQ(CheckedButton(dialog), c.shown) << c.stored;
        for (int id : {IDC_MAIN_COPY_TO_CLIPBOARD, IDC_MAIN_CUT_TO_CLIPBOARD, IDC_MAIN_SELECT_ONLY})
            EXPECT_FALSE(Enabled(dialog, id)) << id;
        ExpectDestinationControlsEnabled(dialog, true);
        // The history decides, whatever the pattern source says; the drive root shows its backslash.
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN)), "^f");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_DESTINATION)), "G:\\f");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_FOLDER)), " D:\\");
        Click(dialog, IDC_MAIN_MOVE_TO_FOLDER);
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_COPY_TO_FOLDER));
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_MOVE_TO_FOLDER));
        PostClick(dialog, IDCANCEL);
        ASSERT_TRUE(run.Finish());
    }
}

TEST(MainDialog, PreviousActionNeverSavedChecksCopyToAFolder) {
    // A fresh install whose settings say "previous choice" before any command ran,
    // and a stray stored number: OK must act, not fall to select only.
    for (korvane::ActionKind stored : {korvane::kPreviousAction, 9u}) {
        korvane::MainDialogInputs in = Inputs();
        in.settings.initialAction = stored;
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(CheckedButton(dialog), IDC_MAIN_COPY_TO_FOLDER) << stored;
        ExpectDestinationControlsEnabled(dialog, true);
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.Result(), IDOK);
        EXPECT_EQ(run.choices.action, korvane::kCopyToFolder) << stored;
        EXPECT_EQ(run.choices.destinationFolder, "E:\\back");
    }
}

TEST(MainDialog, FieldsTakeNoMoreThanIsStoredAndStaticsShowAmpersands) {
    korvane::MainDialogInputs in = Inputs();
    in.currentFolder = "C:\\R&D";
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    // Pasted text stops at what OK stores, so nothing is cut later without a word.
    for (int id : {IDC_MAIN_PATTERN, IDC_MAIN_DESTINATION}) {
        HWND edit = FindWindowExA(GetDlgItem(dialog, id), nullptr, "Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        SetWindowTextA(edit, "");
        const std::string pasted = std::string(257, 'p') + " *.txt";
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
        EXPECT_EQ(WindowText(edit), pasted.substr(0, 259)) << id;
    }
    // "&" is shown, not taken for a mnemonic.
    for (int id : {IDC_MAIN_FOLDER, IDC_MAIN_SUMMARY})
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & SS_NOPREFIX) << id;
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_FOLDER)), " C:\\R&D");
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(run.Finish());
}

TEST(MainDialog, OkChecksThePatternFirstThenTheDestination) {
    for (DWORD regex : {0u, 1u}) {
        korvane::MainDialogInputs in = Inputs();
        in.settings.useRegex = regex;
        in.extensionPattern.clear();
        in.settings.destinationHistory.clear();
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);

        HWND box = OkRaisesBox(run, dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), LoadResourceString(IDS_APP_CAPTION));
        EXPECT_TRUE(HasStaticText(box, LoadResourceString(regex ? IDS_ENTER_REGEX : IDS_ENTER_WILDCARD)));
        CloseBox(box);
        ASSERT_TRUE(IsWindow(dialog)) << "the dialog stays open";

        TypeInto(dialog, IDC_MAIN_PATTERN, "   ");  // spaces pass
        box = OkRaisesBox(run, dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(HasStaticText(box, LoadResourceString(IDS_ENTER_COPY_DESTINATION)));
        CloseBox(box);

        Click(dialog, IDC_MAIN_MOVE_TO_FOLDER);
        box = OkRaisesBox(run, dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(HasStaticText(box, LoadResourceString(IDS_ENTER_MOVE_DESTINATION)));
        CloseBox(box);
        EXPECT_EQ(run.choices.pattern, "unchanged");

        // The clipboard needs no destination.
        Click(dialog, IDC_MAIN_COPY_TO_CLIPBOARD);
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.Result(), IDOK);
        EXPECT_EQ(run.choices.action, korvane::kCopyToClipboard);
        EXPECT_EQ(run.choices.pattern, "   ");
        EXPECT_EQ(run.choices.typedDestination, "");
    }
}

TEST(MainDialog, LongTextsAreCutTo259BytesNeverInsideACharacter) {
    std::string wide = "aa";
    for (int i = 0; i < 150; ++i) wide += kHyo;
    const struct { std::string pattern, destination; size_t patternBytes, destinationBytes; } cases[] = {
        {std::string(300, 'p'), "C:\\" + std::string(300, 'd'), 259, 259},
        {wide, "C:\\" + std::string(256, 'd'), 258, 259},
    };
    for (const auto& c : cases) {
        MainDialogRun run(Inputs());
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDC_MAIN_COPY_TO_FOLDER);
        TypeInto(dialog, IDC_MAIN_PATTERN, c.pattern);
        TypeInto(dialog, IDC_MAIN_DESTINATION, c.destination);
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.choices.pattern, c.pattern.substr(0, c.patternBytes));
        EXPECT_EQ(run.choices.typedDestination, c.destination.substr(0, c.destinationBytes));
    }
}

TEST(MainDialog, OkStoresTheChoicesAndTheEffectiveDestination) {
    const struct {
        const char* folder;
        int action;
        const char* typed;
        bool append, subfolders;
        int same;
        const char* want;
    } cases[] = {
        {"D:\\data", IDC_MAIN_COPY_TO_FOLDER, "E:\\backup\\", true, true, 2, "E:\\backup\\data"},
        {"D:\\data", IDC_MAIN_MOVE_TO_FOLDER, "E:\\backup\\", false, false, 1, "E:\\backup\\"},
        {"D:", IDC_MAIN_COPY_TO_FOLDER, "E:\\backup", true, false, 0, "E:\\backup\\"},  // a drive root
        {"D:\\data", IDC_MAIN_COPY_TO_FOLDER, "..\\out", false, false, 0, "D:\\out"},   // never Explorer's own directory
        {"D:\\data", IDC_MAIN_COPY_TO_CLIPBOARD, "E:\\b", true, true, 0, "E:\\b\\data"},  // applied whatever the action
    };
    for (const auto& c : cases) {
        korvane::MainDialogInputs in = Inputs();
        in.currentFolder = c.folder;
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDC_MAIN_COPY_TO_FOLDER);  // enables the check boxes
        CheckDlgButton(dialog, IDC_MAIN_APPEND_FOLDER, c.append ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_MAIN_SUBFOLDERS, c.subfolders ? BST_CHECKED : BST_UNCHECKED);
        SendDlgItemMessageA(dialog, IDC_MAIN_SAME_FILE, CB_SETCURSEL, c.same, 0);
        Click(dialog, c.action);
        TypeInto(dialog, IDC_MAIN_DESTINATION, c.typed);
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        ASSERT_EQ(run.Result(), IDOK);
        EXPECT_EQ(run.choices.destinationFolder, c.want) << c.typed << " in " << c.folder;
        EXPECT_EQ(run.choices.typedDestination, c.typed) << "the history keeps the text as typed";
        EXPECT_EQ(run.choices.includeSubfolders, c.subfolders ? 1u : 0u);
        EXPECT_EQ(run.choices.sameFileAction, static_cast<korvane::SameFileAction>(c.same));
    }
}

TEST(MainDialog, OtherActionsDisableTheDestinationButKeepItsContents) {
    korvane::MainDialogInputs in = Inputs();
    in.settings.initialIncludeSubfolders = 1;
    in.settings.initialAppendFolderName = 1;
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    ExpectDestinationControlsEnabled(dialog, true);
    for (int id : {IDC_MAIN_COPY_TO_CLIPBOARD, IDC_MAIN_MOVE_TO_FOLDER, IDC_MAIN_CUT_TO_CLIPBOARD, IDC_MAIN_COPY_TO_FOLDER}) {
        Click(dialog, id);
        const bool folderAction = id == IDC_MAIN_COPY_TO_FOLDER || id == IDC_MAIN_MOVE_TO_FOLDER;
        ExpectDestinationControlsEnabled(dialog, folderAction);
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_DESTINATION)), "E:\\back");
        EXPECT_TRUE(Checked(dialog, IDC_MAIN_SUBFOLDERS));
        EXPECT_TRUE(Checked(dialog, IDC_MAIN_APPEND_FOLDER));
        EXPECT_EQ(korvane::ReadActionButtons(dialog), static_cast<korvane::ActionKind>(
            id == IDC_MAIN_COPY_TO_FOLDER ? 0 : id == IDC_MAIN_MOVE_TO_FOLDER ? 1 : id == IDC_MAIN_COPY_TO_CLIPBOARD ? 2 : 3));
    }
}

TEST(MainDialog, AStraySameFileChoiceShowsAndStoresAsk) {
    for (korvane::SameFileAction stored : {3u, 9u}) {
        korvane::MainDialogInputs in = Inputs();
        in.settings.initialSameFileAction = stored;
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Selection(dialog, IDC_MAIN_SAME_FILE), 0);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_MAIN_SAME_FILE, CB_GETCOUNT, 0, 0), 3);
        run.choices.sameFileAction = 7;
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.choices.sameFileAction, korvane::kAskBeforeOverwrite);
    }
}

namespace {

BOOL CALLBACK FindTree(HWND window, LPARAM found) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != WC_TREEVIEWA) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// True once the browser's tree has the named item selected (4 s at most).
bool WaitForTreeSelection(HWND browser, const std::string& name) {
    for (int i = 0; i < 200; ++i) {
        HWND tree = nullptr;
        EnumChildWindows(browser, FindTree, reinterpret_cast<LPARAM>(&tree));
        auto selected = tree ? reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
        if (selected) {
            char text[MAX_PATH] = {};
            TVITEMA item = {};
            item.mask = TVIF_TEXT;
            item.hItem = selected;
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && name == text) return true;
        }
        Sleep(20);
    }
    return false;
}

}  // namespace

TEST(MainDialog, BrowseOpensOnTheCurrentFolderWithTheActionsTitle) {
    TempFolder folder;
    korvane::MainDialogInputs in = Inputs();
    in.currentFolder = folder.Path();
    in.settings.initialAction = korvane::kMoveToFolder;
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);

    // The browser selects the start folder once its tree is filled. Wine's browser
    // now and then rebuilds its tree on a file-system notification from the other
    // tests' temporary folders and falls back to the desktop; a browse that opened
    // elsewhere is cancelled and tried again, so only a start folder that is never
    // selected fails.
    HWND browser = nullptr;
    bool selected = false;
    for (int attempt = 0; attempt < 3 && !selected; ++attempt) {
        PostClick(dialog, IDC_MAIN_BROWSE);
        browser = run.Dialog(15000, dialog);
        ASSERT_NE(browser, nullptr);
        EXPECT_TRUE(HasStaticText(browser, LoadResourceString(IDS_BROWSE_MOVE_TITLE)));
        selected = WaitForTreeSelection(browser, korvane::LastPathComponent(folder.Path()));
        PostMessageA(browser, WM_COMMAND, selected ? IDOK : IDCANCEL, 0);
        for (int i = 0; i < 500 && IsWindow(browser); ++i) Sleep(10);
    }
    EXPECT_TRUE(selected);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_DESTINATION)), folder.Path());

    Click(dialog, IDC_MAIN_COPY_TO_FOLDER);
    TypeInto(dialog, IDC_MAIN_DESTINATION, "kept");
    PostClick(dialog, IDC_MAIN_BROWSE);
    browser = run.Dialog(15000, dialog);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(HasStaticText(browser, LoadResourceString(IDS_BROWSE_COPY_TITLE)));
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 500 && IsWindow(browser); ++i) Sleep(10);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_DESTINATION)), "kept") << "a cancelled browse changes nothing";
}

TEST(MainDialog, SettingsOkReappliesTheReloadedSettingsCancelKeepsTheEntries) {
    ClearSettingsKey();
    MainDialogRun run(Inputs());
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    TypeInto(dialog, IDC_MAIN_PATTERN, "typed");

    PostClick(dialog, IDC_MAIN_SETTINGS);
    HWND settings = run.Dialog(10000, dialog);
    ASSERT_NE(settings, nullptr);
    PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 500 && IsWindow(settings); ++i) Sleep(10);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN)), "typed");

    PostClick(dialog, IDC_MAIN_SETTINGS);
    settings = run.Dialog(10000, dialog);
    ASSERT_NE(settings, nullptr);
    PostMessageA(settings, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 500 && IsWindow(settings); ++i) Sleep(10);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN)), "*.txt") << "the initial pattern of the reloaded settings";
    ClearSettingsKey();
}

TEST(HelpBinding, BindsHtmlHelpAOnceAndRemembersAFailure) {
    korvane::HelpBinding missing("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", "korvane-no-such.ocx");
    EXPECT_EQ(missing.Entry(), nullptr);
    EXPECT_EQ(missing.Entry(), nullptr);
    EXPECT_EQ(missing.Attempts(), 1) << "a failed binding is not tried again";

    korvane::HelpBinding registered(korvane::kHtmlHelpControlKey, "korvane-no-such.ocx");
    korvane::HelpBinding fallback("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", "hhctrl.ocx");
    HMODULE control = LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(control, nullptr);
    const auto byName = reinterpret_cast<korvane::HtmlHelpFunction>(GetProcAddress(control, "HtmlHelpA"));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(registered.Entry(), byName) << "ordinal 14 of the registered control";
    EXPECT_EQ(fallback.Entry(), byName);
    EXPECT_EQ(fallback.Entry(), byName);
    EXPECT_EQ(fallback.Attempts(), 1);
    FreeLibrary(control);
}

TEST(HelpBinding, WithoutARegistrationOnlyTheSystemFolderIsSearched) {
    // A file of the fallback's name in the current directory, which a bare
    // LoadLibraryA would find, is never loaded.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    TempFolder folder;
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\hhctrl.ocx").c_str(), (folder / "kvplanted.ocx").c_str(), FALSE));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    korvane::HelpBinding binding("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", "kvplanted.ocx");
    const korvane::HtmlHelpFunction entry = binding.Entry();
    HMODULE planted = LoadLibraryA("kvplanted.ocx");  // afterwards: it must not be loaded already
    SetCurrentDirectoryA(previous);
    if (planted) FreeLibrary(planted);
    if (!planted) GTEST_SKIP() << "a copied control does not load here: nothing to tell apart";
    EXPECT_EQ(entry, nullptr);
}
