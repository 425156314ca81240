// The main dialog, run for inputs built by hand and driven by control id.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/path_text.h"
#include "main_dialog_inputs.h"
#include "os/html_help.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "settings/settings_store.h"
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

    EXPECT_EQ(WindowTextU(dialog), LoadResourceString(IDS_CAPTION_WILDCARD));
    EXPECT_EQ(WindowTextU(GetDlgItem(dialog, IDC_MAIN_PATTERN_LABEL)), LoadResourceString(IDS_LABEL_WILDCARD));
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
    EXPECT_EQ(run.choices.pattern, u"unchanged");
    EXPECT_EQ(run.choices.destinationFolder, u"unchanged");
}

TEST(MainDialog, RegularExpressionsAndThePatternFromTheHistory) {
    korvane::MainDialogInputs in = Inputs();
    in.settings.useRegex = 1;
    in.settings.initialPatternSource = 1;
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowTextU(dialog), LoadResourceString(IDS_CAPTION_REGEX));
    EXPECT_EQ(WindowTextU(GetDlgItem(dialog, IDC_MAIN_PATTERN_LABEL)), LoadResourceString(IDS_LABEL_REGEX));
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
        in.currentFolder = u"D:";
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowTextU(dialog), LoadResourceString(IDS_CAPTION_WILDCARD) + LoadResourceString(IDS_CAPTION_FOLDER_MODE));
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
        EXPECT_EQ(run.choices.destinationFolder, u"E:\\back");
    }
}

TEST(MainDialog, FieldsTakeNoMoreThanIsStoredAndStaticsShowAmpersands) {
    korvane::MainDialogInputs in = Inputs();
    in.currentFolder = u"C:\\R&D";
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
        EXPECT_EQ(WindowTextU(box), LoadResourceString(IDS_APP_CAPTION));
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
        EXPECT_EQ(run.choices.pattern, u"unchanged");

        // The clipboard needs no destination.
        Click(dialog, IDC_MAIN_COPY_TO_CLIPBOARD);
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.Result(), IDOK);
        EXPECT_EQ(run.choices.action, korvane::kCopyToClipboard);
        EXPECT_EQ(run.choices.pattern, u"   ");
        EXPECT_EQ(run.choices.typedDestination, u"");
    }
}

// The fields hold 259 units of UTF-16 (a 260-unit buffer with its NUL); a character
// of two units (a surrogate pair) that does not fit whole is left out whole.
TEST(MainDialog, LongTextsAreCutTo259UnitsNeverInsideASurrogatePair) {
    std::u16string pairs = u"aa";
    for (int i = 0; i < 150; ++i) pairs += u"\U0001F600";  // unit 259 is the first half of a pair
    std::u16string hangul;
    for (int i = 0; i < 300; ++i) hangul += u"\uD55C";  // one unit each: 259 of them fit
    std::string shiftJis = "aa";
    for (int i = 0; i < 150; ++i) shiftJis += kHyo;  // 302 bytes, but 152 units: nothing is cut
    const struct { std::u16string pattern, destination; size_t patternUnits, destinationUnits; bool codePage; } cases[] = {
        {std::u16string(300, u'p'), u"C:\\" + std::u16string(300, u'd'), 259, 259, true},
        {U(shiftJis), U("C:\\" + shiftJis), 152, 155, true},
        {pairs, u"C:\\" + std::u16string(255, u'd') + u"\U0001F600", 258, 258, false},
        {hangul, u"C:\\" + hangul, 259, 259, false},
    };
    for (const auto& c : cases) {
        // An ANSI window (the 9x family) holds only what the code page holds.
        if (!c.codePage && !IsNtPlatform()) continue;
        MainDialogRun run(Inputs());
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDC_MAIN_COPY_TO_FOLDER);
        TypeInto(dialog, IDC_MAIN_PATTERN, c.pattern);
        TypeInto(dialog, IDC_MAIN_DESTINATION, c.destination);
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.choices.pattern, c.pattern.substr(0, c.patternUnits));
        EXPECT_EQ(run.choices.typedDestination, c.destination.substr(0, c.destinationUnits));
    }
}

TEST(MainDialog, OkStoresTheChoicesAndTheEffectiveDestination) {
    const struct {
        const char16_t* folder;
        int action;
        const char16_t* typed;
        bool append, subfolders;
        int same;
        const char16_t* want;
    } cases[] = {
        {u"D:\\data", IDC_MAIN_COPY_TO_FOLDER, u"E:\\backup\\", true, true, 2, u"E:\\backup\\data"},
        {u"D:\\data", IDC_MAIN_MOVE_TO_FOLDER, u"E:\\backup\\", false, false, 1, u"E:\\backup\\"},
        {u"D:", IDC_MAIN_COPY_TO_FOLDER, u"E:\\backup", true, false, 0, u"E:\\backup\\"},  // a drive root
        {u"D:\\data", IDC_MAIN_COPY_TO_FOLDER, u"..\\out", false, false, 0, u"D:\\out"},   // never Explorer's own directory
        {u"D:\\data", IDC_MAIN_COPY_TO_CLIPBOARD, u"E:\\b", true, true, 0, u"E:\\b\\data"},  // applied whatever the action
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
        TypeInto(dialog, IDC_MAIN_DESTINATION, std::u16string(c.typed));
        PostClick(dialog, IDOK);
        ASSERT_TRUE(run.Finish());
        ASSERT_EQ(run.Result(), IDOK);
        EXPECT_EQ(run.choices.destinationFolder, c.want) << A(c.typed) << " in " << A(c.folder);
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

// On the NT family the dialog is a Unicode window, so names outside the code page
// can be shown and typed; on the 9x family it is an ANSI window, and a name the code
// page holds (表 and ソ end in the byte 0x5C) is still shown exactly.
TEST(MainDialog, IsAUnicodeWindowOnNtAndAnAnsiWindowOn9x) {
    korvane::MainDialogInputs in = Inputs();
    in.currentFolder = U(std::string("C:\\") + kHyo + kSo + "\\" + kRu);
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(IsWindowUnicode(dialog) != FALSE, IsNtPlatform());
    EXPECT_EQ(WindowTextU(GetDlgItem(dialog, IDC_MAIN_FOLDER)), u" C:\\\u8868\u30BD\\\u30EB");
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(run.Finish());
}

// A destination, typed or picked from the list, comes back from OK exactly, is stored
// exactly and is offered exactly by the next command: on the NT family whatever it
// holds, on the 9x family (an ANSI window, texts stored through the A functions) what
// the code page holds.
TEST(MainDialog, DestinationsSurviveOkTheStoreAndTheNextDialogExactly) {
    const struct { std::u16string destination; bool codePage; } cases[] = {
        {U(std::string("D:\\") + kHyo + "\\" + kSo), true},  // 表 and ソ: second bytes 0x5C
        {u"D:\\caf\u00E9", false},                             // é: 932 lacks it, its best fit is e
        {u"D:\\\u00A5500\\x", false},                         // ¥: its best fit is 0x5C, a separator
        {u"D:\\\uC790\uB8CC", false},                          // Hangul
        {u"D:\\a\U0001F600b", false},                           // an emoji: a surrogate pair
    };
    for (const auto& c : cases) {
        if (!c.codePage && !IsNtPlatform()) continue;
        const std::u16string& destination = c.destination;
        const std::u16string pattern = c.codePage ? U(std::string("*") + kSo + ".txt") : u"*\u00E9\U0001F600.txt";
        for (bool picked : {false, true}) {
            const std::string what = A(destination) + (picked ? " picked" : " typed");
            ClearSettingsKey();
            korvane::MainDialogInputs in = Inputs();
            in.settings.destinationHistory = {u"E:\\other", destination};
            korvane::MainChoices choices;
            {
                MainDialogRun run(in);
                HWND dialog = run.Dialog();
                ASSERT_NE(dialog, nullptr) << what;
                Click(dialog, IDC_MAIN_COPY_TO_FOLDER);
                HWND combo = GetDlgItem(dialog, IDC_MAIN_DESTINATION);
                // Text the code page holds is typed as a keyboard in the code page would.
                if (c.codePage) {
                    TypeInto(dialog, IDC_MAIN_PATTERN, A(pattern));
                } else {
                    TypeInto(dialog, IDC_MAIN_PATTERN, pattern);
                }
                if (picked) {
                    SendMessageW(combo, CB_SETCURSEL, 1, 0);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_DESTINATION, CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(combo));
                } else if (c.codePage) {
                    TypeInto(dialog, IDC_MAIN_DESTINATION, A(destination));
                } else {
                    TypeInto(dialog, IDC_MAIN_DESTINATION, destination);
                }
                PostClick(dialog, IDOK);
                ASSERT_TRUE(run.Finish()) << what;
                ASSERT_EQ(run.Result(), IDOK) << what;
                EXPECT_EQ(run.choices.pattern, pattern) << what;
                EXPECT_EQ(run.choices.typedDestination, destination) << what;
                EXPECT_EQ(run.choices.destinationFolder, destination) << what;
                choices = run.choices;
            }

            korvane::SaveChoices(korvane::kExtensionMode, choices, korvane::LoadModeSettings(korvane::kExtensionMode));
            std::u16string stored;
            EXPECT_TRUE(ReadSettingText("f0_0", stored)) << what;
            EXPECT_EQ(stored, destination) << what;
            EXPECT_TRUE(ReadSettingText("h0_0", stored)) << what;
            EXPECT_EQ(stored, pattern) << what;

            korvane::MainDialogInputs next = Inputs();
            next.settings = korvane::LoadModeSettings(korvane::kExtensionMode);
            ASSERT_EQ(next.settings.destinationHistory, std::vector<std::u16string>{destination}) << what;
            MainDialogRun again(next);
            HWND dialog = again.Dialog();
            ASSERT_NE(dialog, nullptr) << what;
            HWND combo = GetDlgItem(dialog, IDC_MAIN_DESTINATION);
            wchar_t item[300] = {};
            ASSERT_LT(SendMessageW(combo, CB_GETLBTEXTLEN, 0, 0), 300) << what;
            SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(item)), destination) << what;
            EXPECT_EQ(korvane::ComboItemText(combo, 0), destination) << what;
            EXPECT_EQ(WindowTextU(combo), destination) << what << ": the list's first entry in the field";
            PostClick(dialog, IDCANCEL);
            ASSERT_TRUE(again.Finish()) << what;
        }
    }
    ClearSettingsKey();
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
    in.currentFolder = folder.PathU();
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
        selected = WaitForTreeSelection(browser, A(korvane::LastPathComponent(folder.PathU())));
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

// HtmlHelpW (ordinal 15) on the NT family, so that a help file in a folder outside
// the code page opens; HtmlHelpA (ordinal 14) on the 9x family.
TEST(HelpBinding, BindsTheFamilysEntryOnceAndRemembersAFailure) {
    korvane::HelpBinding missing("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", u"korvane-no-such.ocx");
    EXPECT_EQ(missing.Entry(), nullptr);
    EXPECT_EQ(missing.Entry(), nullptr);
    EXPECT_EQ(missing.Attempts(), 1) << "a failed binding is not tried again";

    korvane::HelpBinding registered(korvane::kHtmlHelpControlKey, u"korvane-no-such.ocx");
    korvane::HelpBinding fallback("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", u"hhctrl.ocx");
    HMODULE control = LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(control, nullptr);
    const char* const name = IsNtPlatform() ? "HtmlHelpW" : "HtmlHelpA";
    const FARPROC byName = GetProcAddress(control, name);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(registered.Entry(), byName) << name << " by ordinal from the registered control";
    EXPECT_EQ(fallback.Entry(), byName) << name;
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
    korvane::HelpBinding binding("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", u"kvplanted.ocx");
    const FARPROC entry = binding.Entry();
    HMODULE planted = LoadLibraryA("kvplanted.ocx");  // afterwards: it must not be loaded already
    SetCurrentDirectoryA(previous);
    if (planted) FreeLibrary(planted);
    if (!planted) GTEST_SKIP() << "a copied control does not load here: nothing to tell apart";
    EXPECT_EQ(entry, nullptr);
}
