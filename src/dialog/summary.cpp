// Gathers what the main dialog's controls say and shows the composed summary.
#include "dialog/summary.h"

#include <string>
#include <vector>

#include "dialog/combo_entry.h"
#include "dialog/entry_text.h"
#include "dialog/main_dialog.h"
#include "dialog/main_dialog_state.h"
#include "dialog/summary_text.h"
#include "common/path_text.h"
#include "os/ui_text.h"
#include "resources/resource.h"

namespace korvane {

namespace {

SummaryStrings LoadSummaryStrings() {
    SummaryStrings s;
    s.folder = LoadResourceString(IDS_SUMMARY_FOLDER);
    s.andSubfolders = LoadResourceString(IDS_SUMMARY_AND_SUBFOLDERS);
    s.located = LoadResourceString(IDS_SUMMARY_LOCATED);
    s.wildcard = LoadResourceString(IDS_SUMMARY_WILDCARD);
    s.regex = LoadResourceString(IDS_SUMMARY_REGEX);
    s.matching = LoadResourceString(IDS_SUMMARY_MATCHING);
    s.copy = LoadResourceString(IDS_SUMMARY_COPY);
    s.move = LoadResourceString(IDS_SUMMARY_MOVE);
    s.doEnding = LoadResourceString(IDS_SUMMARY_DO);
    s.notSelected = LoadResourceString(IDS_SUMMARY_NOT_SELECTED);
    s.subfoldersNotSelected = LoadResourceString(IDS_SUMMARY_SUBFOLDERS_NOT_SELECTED);
    s.foldersCreated = LoadResourceString(IDS_SUMMARY_FOLDERS_CREATED);
    s.toClipboard = LoadResourceString(IDS_SUMMARY_TO_CLIPBOARD);
    s.clipboardCopy = LoadResourceString(IDS_SUMMARY_CLIPBOARD_COPY);
    s.clipboardCut = LoadResourceString(IDS_SUMMARY_CLIPBOARD_CUT);
    s.ending = LoadResourceString(IDS_SUMMARY_END);
    s.select = LoadResourceString(IDS_SUMMARY_SELECT);
    return s;
}

bool EnabledAndChecked(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control) && IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

}  // namespace

void BuildSummaryText(HWND dialog, WPARAM notification, const MainDialogState& state) {
    try {
        const MainDialogInputs& inputs = state.inputs;
        SummaryInputs in;
        in.folder = FolderDisplayForm(inputs.currentFolder);
        in.subfolders = EnabledAndChecked(dialog, IDC_MAIN_SUBFOLDERS);
        in.append = EnabledAndChecked(dialog, IDC_MAIN_APPEND_FOLDER);
        in.action = ReadActionButtons(dialog);
        in.mode = inputs.mode;
        in.useRegex = state.settings.useRegex != 0;
        in.pattern = ComboEntryText(dialog, IDC_MAIN_PATTERN, notification);
        // The folder the files will really go to: a relative text as OK resolves it.
        if (in.action == kCopyToFolder || in.action == kMoveToFolder)
            in.destination = ResolveDestination(ComboEntryText(dialog, IDC_MAIN_DESTINATION, notification),
                                                inputs.currentFolder);
        SetItemText(dialog, IDC_MAIN_SUMMARY, ComposeSummary(in, LoadSummaryStrings()));
    } catch (...) {
        // The text is informative only: when memory is short the old one stays.
    }
}

}  // namespace korvane
