// The main dialog (101): the user states pattern, action, destination and
// options; OK checks the entries and returns them as the choices.
#include "dialog/main_dialog.h"

#include <string>
#include <vector>

#include "dialog/entry_text.h"
#include "dialog/main_dialog_state.h"
#include "dialog/match_count_panel.h"
#include "dialog/summary.h"
#include "common/path_text.h"
#include "os/html_help.h"
#include "os/placement.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "settings/settings_dialog.h"

namespace korvane {

namespace {

// Enabled exactly while a copy or move to a folder is chosen.
constexpr int kDestinationControls[] = {IDC_MAIN_DESTINATION, IDC_MAIN_BROWSE,  IDC_MAIN_SUBFOLDERS,
                                        IDC_MAIN_SAME_FILE_LABEL, IDC_MAIN_SAME_FILE, IDC_MAIN_APPEND_FOLDER};

constexpr struct {
    int id;
    ActionKind action;
} kActionButtons[] = {
    {IDC_MAIN_COPY_TO_FOLDER, kCopyToFolder},       {IDC_MAIN_MOVE_TO_FOLDER, kMoveToFolder},
    {IDC_MAIN_COPY_TO_CLIPBOARD, kCopyToClipboard}, {IDC_MAIN_CUT_TO_CLIPBOARD, kCutToClipboard},
    {IDC_MAIN_SELECT_ONLY, kSelectOnly},
};

constexpr UINT kSameFileTexts[] = {IDS_SAME_ASK, IDS_SAME_IF_NEWER, IDS_SAME_ALWAYS};

bool UsesDestination(ActionKind action) { return action == kCopyToFolder || action == kMoveToFolder; }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Enable(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE); }

void EnableDestinationControls(HWND dialog, bool enable) {
    for (int id : kDestinationControls) Enable(dialog, id, enable);
}

void FillCombo(HWND combo, const std::vector<std::u16string>& entries) {
    for (const std::u16string& entry : entries) AddComboItem(combo, entry);
}

// The edit text of a combo box, as much of it as the dialog's 260-unit buffers hold.
std::u16string EntryText(HWND dialog, int id) {
    return CutToUnits(WindowTextOf(GetDlgItem(dialog, id)), kEntryTextUnits);
}

void ShowError(HWND dialog, UINT textId) { ShowMessage(dialog, LoadResourceString(textId), MB_ICONHAND); }

// The pattern the dialog starts with: in extension mode the one made from the
// selected file's extension, unless the settings ask for the history; otherwise
// the most recent one of the history.
std::u16string InitialPattern(const MainDialogInputs& inputs, const ModeSettings& settings) {
    if (settings.initialPatternSource == 0 && inputs.mode == kExtensionMode) return inputs.extensionPattern;
    return settings.patternHistory.empty() ? std::u16string() : settings.patternHistory.front();
}

// Caption, pattern label, action buttons, destination list and pattern from the
// settings as they stand. The check boxes and the same-file choice keep what the
// user set.
void ApplySettingsToDialog(HWND dialog, const MainDialogState& state) {
    const ModeSettings& settings = state.settings;
    const bool folderMode = state.inputs.mode == kFolderMode;
    const bool windows7 = IsWindows7OrLater();

    std::u16string caption = LoadResourceString(settings.useRegex ? IDS_CAPTION_REGEX : IDS_CAPTION_WILDCARD);
    if (folderMode) caption += LoadResourceString(IDS_CAPTION_FOLDER_MODE);
    SetWindowTextOf(dialog, caption);
    SetItemText(dialog, IDC_MAIN_PATTERN_LABEL,
                LoadResourceString(settings.useRegex ? IDS_LABEL_REGEX : IDS_LABEL_WILDCARD));

    ActionKind action = settings.initialAction;
    if (folderMode && !UsesDestination(action)) action = kCopyToFolder;
    if (windows7 && action == kSelectOnly) action = kCopyToFolder;
    // A stored "previous action" that was never saved (5), or a stray value, would
    // check no button, and OK would then mean select only.
    if (action > kSelectOnly) action = kCopyToFolder;
    for (const auto& button : kActionButtons)
        CheckDlgButton(dialog, button.id, button.action == action ? BST_CHECKED : BST_UNCHECKED);
    Enable(dialog, IDC_MAIN_COPY_TO_CLIPBOARD, !folderMode);
    Enable(dialog, IDC_MAIN_CUT_TO_CLIPBOARD, !folderMode);
    Enable(dialog, IDC_MAIN_SELECT_ONLY, !folderMode && !windows7);

    HWND destination = GetDlgItem(dialog, IDC_MAIN_DESTINATION);
    SendMessageA(destination, CB_RESETCONTENT, 0, 0);
    FillCombo(destination, settings.destinationHistory);
    SendMessageA(destination, CB_SETCURSEL, 0, 0);
    EnableDestinationControls(dialog, UsesDestination(action));

    // Emptying the combo also empties its edit field: the text comes after it.
    HWND pattern = GetDlgItem(dialog, IDC_MAIN_PATTERN);
    SendMessageA(pattern, CB_RESETCONTENT, 0, 0);
    SetWindowTextOf(pattern, InitialPattern(state.inputs, settings));
    FillCombo(pattern, settings.patternHistory);
    SetFocus(pattern);

    BuildSummaryText(dialog, 0, state);
}

void OnInitDialog(HWND dialog, const MainDialogState& state) {
    const ModeSettings& settings = state.settings;
    SetProductIcon(dialog);
    PlaceNearCursor(dialog, 0);
    // No more than OK can take: a longer text would be cut there without a word.
    SendDlgItemMessageA(dialog, IDC_MAIN_PATTERN, CB_LIMITTEXT, kEntryTextUnits, 0);
    SendDlgItemMessageA(dialog, IDC_MAIN_DESTINATION, CB_LIMITTEXT, kEntryTextUnits, 0);
    SetItemText(dialog, IDC_MAIN_FOLDER, u" " + FolderDisplayForm(state.inputs.currentFolder));
    CheckDlgButton(dialog, IDC_MAIN_SUBFOLDERS, settings.initialIncludeSubfolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_MAIN_APPEND_FOLDER, settings.initialAppendFolderName ? BST_CHECKED : BST_UNCHECKED);

    ApplySettingsToDialog(dialog, state);

    HWND sameFile = GetDlgItem(dialog, IDC_MAIN_SAME_FILE);
    SendMessageA(sameFile, CB_RESETCONTENT, 0, 0);
    for (UINT id : kSameFileTexts) AddComboItem(sameFile, LoadResourceString(id));
    // A stored "previous choice" never saved, or any other stray value, shows "ask".
    SameFileAction same = settings.initialSameFileAction;
    if (same > kOverwriteAlways) same = kAskBeforeOverwrite;
    SendMessageA(sameFile, CB_SETCURSEL, same, 0);
}

void OnBrowse(HWND dialog, const MainDialogState& state) {
    const std::u16string title =
        LoadResourceString(IsChecked(dialog, IDC_MAIN_COPY_TO_FOLDER) ? IDS_BROWSE_COPY_TITLE : IDS_BROWSE_MOVE_TITLE);
    std::u16string chosen;
    if (BrowseForFolder(dialog, title, FolderDisplayForm(state.inputs.currentFolder), chosen))
        SetItemText(dialog, IDC_MAIN_DESTINATION, chosen);
}

void OnSettings(HWND dialog, MainDialogState& state) {
    if (RunSettingsDialog(dialog) != IDOK) return;
    ReloadModeSettings(state.inputs.mode, state.settings);
    ApplySettingsToDialog(dialog, state);
}

void OnOk(HWND dialog, MainDialogState& state) {
    const ModeSettings& settings = state.settings;
    const ActionKind action = ReadActionButtons(dialog);
    const std::u16string pattern = EntryText(dialog, IDC_MAIN_PATTERN);
    if (pattern.empty()) {
        ShowError(dialog, settings.useRegex ? IDS_ENTER_REGEX : IDS_ENTER_WILDCARD);
        return;
    }
    if (settings.useRegex && RefuseRejectedExpression(dialog, pattern)) return;
    const std::u16string destination = EntryText(dialog, IDC_MAIN_DESTINATION);
    if (UsesDestination(action) && destination.empty()) {
        ShowError(dialog, action == kCopyToFolder ? IDS_ENTER_COPY_DESTINATION : IDS_ENTER_MOVE_DESTINATION);
        return;
    }
    const LRESULT same = SendDlgItemMessageA(dialog, IDC_MAIN_SAME_FILE, CB_GETCURSEL, 0, 0);

    MainChoices& choices = state.choices;
    choices.pattern = pattern;
    choices.useRegex = settings.useRegex;
    choices.action = action;
    choices.typedDestination = destination;
    choices.destinationFolder =
        EffectiveDestination(destination, state.inputs.currentFolder, IsChecked(dialog, IDC_MAIN_APPEND_FOLDER));
    choices.includeSubfolders = IsChecked(dialog, IDC_MAIN_SUBFOLDERS) ? 1 : 0;
    choices.sameFileAction =
        same >= 0 && same <= static_cast<LRESULT>(kOverwriteAlways) ? static_cast<SameFileAction>(same) : kAskBeforeOverwrite;
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, MainDialogState& state, int id) {
    switch (id) {
    case IDC_MAIN_COPY_TO_FOLDER:
    case IDC_MAIN_MOVE_TO_FOLDER:
        EnableDestinationControls(dialog, true);
        break;
    case IDC_MAIN_COPY_TO_CLIPBOARD:
    case IDC_MAIN_CUT_TO_CLIPBOARD:
    case IDC_MAIN_SELECT_ONLY:
        EnableDestinationControls(dialog, false);
        break;
    case IDC_MAIN_BROWSE:
        OnBrowse(dialog, state);
        break;
    case IDC_MAIN_SETTINGS:
        OnSettings(dialog, state);
        break;
    case IDOK:
        OnOk(dialog, state);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* state = reinterpret_cast<MainDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!state) return FALSE;  // WM_SETFONT and the like come before WM_INITDIALOG
        if (HandleMatchCountMessage(dialog, message, wParam, lParam)) return TRUE;
        switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, *state);
            AttachMatchCount(dialog, *state);
            return FALSE;  // the focus stays on the pattern
        case WM_COMMAND:
            OnCommand(dialog, *state, LOWORD(wParam));
            BuildSummaryText(dialog, wParam, *state);
            UpdateMatchCount(dialog, *state, wParam);
            return FALSE;
        case WM_HELP:
            ShowHelp(dialog, kHelpContextCommand, IDH_MAIN_DIALOG);
            return TRUE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

INT_PTR RunMainDialog(HWND owner, const MainDialogInputs& inputs, MainChoices& choices) {
    MainDialogState state(inputs, choices);
    return RunModalDialog(IDD_MAIN, owner, MainDialogProc, reinterpret_cast<LPARAM>(&state));
}

ActionKind ReadActionButtons(HWND dialog) {
    if (IsChecked(dialog, IDC_MAIN_CUT_TO_CLIPBOARD)) return kCutToClipboard;
    if (IsChecked(dialog, IDC_MAIN_COPY_TO_CLIPBOARD)) return kCopyToClipboard;
    if (IsChecked(dialog, IDC_MAIN_COPY_TO_FOLDER)) return kCopyToFolder;
    if (IsChecked(dialog, IDC_MAIN_MOVE_TO_FOLDER)) return kMoveToFolder;
    return kSelectOnly;
}

}  // namespace korvane
