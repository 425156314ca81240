// The settings dialog (106): every option of both modes, read from the registry
// when it opens and written back whole at OK. It keeps no state of its own and does
// not touch the command's values; the main dialog reloads its settings after OK.
#include "settings/settings_dialog.h"

#include <cstdint>
#include <initializer_list>

#include "os/html_help.h"
#include "os/placement.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "settings/settings_store.h"

namespace korvane {

namespace {

// On Windows 7 and later the extension-mode list has no select-only item, so its
// fifth item is the previous choice.
constexpr int kPreviousActionIndex7 = 4;
// The folder-mode list: copy, move, previous choice.
constexpr int kFolderPreviousIndex = 2;

void FillList(HWND dialog, int id, std::initializer_list<UINT> stringIds) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (UINT stringId : stringIds) AddComboItem(list, LoadResourceString(stringId));
}

// An index the list does not have leaves it without a selection.
void SelectIndex(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    SendMessageA(list, CB_SETCURSEL, (index >= 0 && index < count) ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

// The selected index, or -1 when the list has none.
int SelectedIndex(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

// Stored values are compared as the signed 32-bit numbers they were written as.
int Signed(std::uint32_t value) { return static_cast<std::int32_t>(value); }

void SetCheck(HWND dialog, int id, std::uint32_t value) {
    CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

std::uint32_t Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

void InitDialog(HWND dialog) {
    CentreOverParent(dialog);
    SetProductIcon(dialog);

    std::uint32_t useRegex = 0;
    SettingsForm form;
    ReadSettingsForm(useRegex, form);
    const bool windows7 = IsWindows7OrLater();

    SetCheck(dialog, IDC_SETTINGS_REGEX, useRegex);

    if (windows7) {
        FillList(dialog, IDC_SETTINGS_EXT_ACTION,
                 {IDS_ACTION_COPY_TO_FOLDER, IDS_ACTION_MOVE_TO_FOLDER, IDS_ACTION_COPY_TO_CLIPBOARD,
                  IDS_ACTION_CUT_TO_CLIPBOARD, IDS_ACTION_PREVIOUS});
        // A stored 4 (select only, which Windows 7 does not offer) also lands on the
        // previous choice.
        const int value = Signed(form.extensionAction);
        SelectIndex(dialog, IDC_SETTINGS_EXT_ACTION, value == kPreviousAction ? kPreviousActionIndex7 : value);
    } else {
        FillList(dialog, IDC_SETTINGS_EXT_ACTION,
                 {IDS_ACTION_COPY_TO_FOLDER, IDS_ACTION_MOVE_TO_FOLDER, IDS_ACTION_COPY_TO_CLIPBOARD,
                  IDS_ACTION_CUT_TO_CLIPBOARD, IDS_ACTION_SELECT_ONLY, IDS_ACTION_PREVIOUS});
        SelectIndex(dialog, IDC_SETTINGS_EXT_ACTION, Signed(form.extensionAction));
    }

    FillList(dialog, IDC_SETTINGS_FOLDER_ACTION,
             {IDS_ACTION_COPY_TO_FOLDER, IDS_ACTION_MOVE_TO_FOLDER, IDS_ACTION_PREVIOUS});
    const int folderValue = Signed(form.folderAction);
    SelectIndex(dialog, IDC_SETTINGS_FOLDER_ACTION, folderValue > 1 ? kFolderPreviousIndex : folderValue);

    FillList(dialog, IDC_SETTINGS_PATTERN_SOURCE, {IDS_PATTERN_FROM_EXTENSION, IDS_PATTERN_FROM_HISTORY});
    SelectIndex(dialog, IDC_SETTINGS_PATTERN_SOURCE, Signed(form.patternSource));

    SetCheck(dialog, IDC_SETTINGS_EXT_SUBFOLDERS, form.extensionSubfolders);
    SetCheck(dialog, IDC_SETTINGS_EXT_APPEND, form.extensionAppend);
    SetCheck(dialog, IDC_SETTINGS_FOLDER_SUBFOLDERS, form.folderSubfolders);
    SetCheck(dialog, IDC_SETTINGS_FOLDER_APPEND, form.folderAppend);

    for (int id : {IDC_SETTINGS_EXT_SAME_FILE, IDC_SETTINGS_FOLDER_SAME_FILE})
        FillList(dialog, id, {IDS_SAME_ASK, IDS_SAME_IF_NEWER, IDS_SAME_ALWAYS, IDS_SAME_PREVIOUS});
    SelectIndex(dialog, IDC_SETTINGS_EXT_SAME_FILE, Signed(form.extensionSameFile));
    SelectIndex(dialog, IDC_SETTINGS_FOLDER_SAME_FILE, Signed(form.folderSameFile));
}

// A list left without a selection (its stored value was outside the list) gets the
// store's own preset, so that every written value is one the lists offer and the
// main dialog and the transfer understand.
void WriteChoices(HWND dialog) {
    const SettingsForm presets;
    SettingsForm form;
    const std::uint32_t useRegex = Checked(dialog, IDC_SETTINGS_REGEX);

    const int extensionIndex = SelectedIndex(dialog, IDC_SETTINGS_EXT_ACTION);
    if (extensionIndex < 0)
        form.extensionAction = presets.extensionAction;
    else if (IsWindows7OrLater() && extensionIndex >= kPreviousActionIndex7)
        form.extensionAction = kPreviousAction;
    else
        form.extensionAction = static_cast<std::uint32_t>(extensionIndex);

    const int sourceIndex = SelectedIndex(dialog, IDC_SETTINGS_PATTERN_SOURCE);
    form.patternSource = sourceIndex < 0 ? presets.patternSource : static_cast<std::uint32_t>(sourceIndex);
    form.extensionSubfolders = Checked(dialog, IDC_SETTINGS_EXT_SUBFOLDERS);
    form.extensionAppend = Checked(dialog, IDC_SETTINGS_EXT_APPEND);
    const int extensionSame = SelectedIndex(dialog, IDC_SETTINGS_EXT_SAME_FILE);
    form.extensionSameFile = extensionSame < 0 ? presets.extensionSameFile : static_cast<std::uint32_t>(extensionSame);

    const int folderIndex = SelectedIndex(dialog, IDC_SETTINGS_FOLDER_ACTION);
    if (folderIndex < 0)
        form.folderAction = presets.folderAction;
    else if (folderIndex == kFolderPreviousIndex)
        form.folderAction = kPreviousAction;
    else
        form.folderAction = static_cast<std::uint32_t>(folderIndex);
    form.folderSubfolders = Checked(dialog, IDC_SETTINGS_FOLDER_SUBFOLDERS);
    form.folderAppend = Checked(dialog, IDC_SETTINGS_FOLDER_APPEND);
    const int folderSame = SelectedIndex(dialog, IDC_SETTINGS_FOLDER_SAME_FILE);
    form.folderSameFile = folderSame < 0 ? presets.folderSameFile : static_cast<std::uint32_t>(folderSame);

    WriteSettingsForm(useRegex, form);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            InitDialog(dialog);
            return FALSE;  // activation gives the first tab stop the focus
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                WriteChoices(dialog);
                EndDialog(dialog, IDOK);
                return TRUE;
            case IDCANCEL:
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_HELP:
            ShowHelp(dialog, kHelpContextCommand, IDH_SETTINGS_DIALOG);
            return TRUE;
        }
    } catch (...) {
        // Nothing may unwind into the dialog manager; a failed OK leaves the dialog open.
    }
    return FALSE;
}

}  // namespace

INT_PTR RunSettingsDialog(HWND owner) {
    return RunModalDialog(IDD_SETTINGS, owner, SettingsDialogProc, 0);
}

}  // namespace korvane
