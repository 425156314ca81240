#include "transfer/same_name.h"

#include "common/path_text.h"
#include "os/files.h"
#include "os/placement.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/overwrite_text.h"

namespace korvane {

namespace {

// The question shows local time; the rule itself never converts.
std::u16string LocalTimeStamp(const FILETIME& utc) {
    FILETIME local = {};
    SYSTEMTIME t = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return std::u16string();
    return FormatTimeStamp(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

EntryDescription Describe(const std::u16string& path, const EntryFacts& found) {
    return {LastPathComponent(path), ParentFolder(path, true), LocalTimeStamp(found.writeTime),
            FormatSize(static_cast<std::uint32_t>(found.size))};
}

// What the probe saw, in the form of the listing's facts; nothing but time and size is read.
EntryFacts FromFacts(const DestinationFacts& target) {
    EntryFacts facts;
    facts.writeTime.dwHighDateTime = target.writeTimeHigh;
    facts.writeTime.dwLowDateTime = target.writeTimeLow;
    facts.size = target.sizeLow;
    return facts;
}

OverwriteLabels LoadLabels() {
    OverwriteLabels labels;
    labels.heading = LoadResourceString(IDS_OVERWRITE_HEADING);
    labels.sourceName = LoadResourceString(IDS_OVERWRITE_SOURCE_NAME);
    labels.sourceFolder = LoadResourceString(IDS_OVERWRITE_SOURCE_FOLDER);
    labels.sourceTime = LoadResourceString(IDS_OVERWRITE_SOURCE_TIME);
    labels.sourceSize = LoadResourceString(IDS_OVERWRITE_SOURCE_SIZE);
    labels.object = LoadResourceString(IDS_OVERWRITE_OBJECT);
    labels.destinationName = LoadResourceString(IDS_OVERWRITE_DEST_NAME);
    labels.destinationFolder = LoadResourceString(IDS_OVERWRITE_DEST_FOLDER);
    labels.destinationTime = LoadResourceString(IDS_OVERWRITE_DEST_TIME);
    labels.destinationSize = LoadResourceString(IDS_OVERWRITE_DEST_SIZE);
    labels.question = LoadResourceString(IDS_OVERWRITE_QUESTION);
    labels.sizeUnit = LoadResourceString(IDS_SIZE_UNIT);
    return labels;
}

}  // namespace

SameNameDecision ResolveSameName(const std::u16string& source, const std::u16string& destination,
                                 const DestinationFacts& target, SameFileAction rule, bool& yesToAll,
                                 HWND progressDialog) {
    EntryFacts sourceData, destinationData;
    if (!FindEntry(source, sourceData)) return SameNameDecision::kFail;
    // Any entry of that name counts, a folder as well as a file. The listing also
    // fails on an entry it may not list (a folder the user may write but not read, a
    // network error): then the probe's facts decide.
    bool described = true;
    if (!FindEntry(destination, destinationData)) {
        if (!target.exists && !target.undetermined) return SameNameDecision::kTransfer;
        described = target.described;
        destinationData = FromFacts(target);
    }

    if (rule == kOverwriteIfNewer) {
        if (!described) return SameNameDecision::kFail;
        return SourceIsNewer(sourceData.writeTime.dwHighDateTime, sourceData.writeTime.dwLowDateTime,
                             destinationData.writeTime.dwHighDateTime, destinationData.writeTime.dwLowDateTime)
                   ? SameNameDecision::kTransfer
                   : SameNameDecision::kSkip;
    }

    EntryDescription there = Describe(destination, destinationData);
    if (!described) there.timeStamp = there.size = std::u16string();  // unknown, not zero
    const std::u16string message = ComposeOverwriteMessage(LoadLabels(), Describe(source, sourceData), there);
    const INT_PTR answer =
        RunModalDialog(IDD_OVERWRITE, progressDialog, OverwriteDialogProc, reinterpret_cast<LPARAM>(&message));
    if (answer == IDOK) return SameNameDecision::kTransfer;
    if (answer == IDR_OVERWRITE_YES_TO_ALL) {
        yesToAll = true;
        return SameNameDecision::kTransfer;
    }
    return SameNameDecision::kSkip;  // No, Esc, or a question that could not be shown
}

INT_PTR CALLBACK OverwriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            CentreOverParent(dialog);
            SetItemText(dialog, IDC_OVERWRITE_MESSAGE, *reinterpret_cast<const std::u16string*>(lParam));
            break;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK: EndDialog(dialog, IDOK); break;
            case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
            case IDC_OVERWRITE_YES_TO_ALL: EndDialog(dialog, IDR_OVERWRITE_YES_TO_ALL); break;
            }
            break;
        }
    } catch (...) {
    }
    return FALSE;
}

}  // namespace korvane
