#include "transfer/same_name.h"

#include "common/unique_handle.h"
#include "match/path_text.h"
#include "resources/resource.h"
#include "common/module.h"
#include "os/system_helpers.h"
#include "transfer/overwrite_text.h"

namespace korvane {

namespace {

bool FindEntry(const std::string& path, WIN32_FIND_DATAA& found) {
    UniqueFind find(FindFirstFileA(path.c_str(), &found));
    return static_cast<bool>(find);
}

// The question shows local time; the rule itself never converts.
std::string LocalTimeStamp(const FILETIME& utc) {
    FILETIME local = {};
    SYSTEMTIME t = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return std::string();
    return FormatTimeStamp(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

EntryDescription Describe(const std::string& path, const WIN32_FIND_DATAA& found) {
    return {LastPathComponent(path), ParentFolder(path, true), LocalTimeStamp(found.ftLastWriteTime),
            FormatSize(found.nFileSizeLow)};
}

// What the probe saw, in the form of find data; nothing but time and size is read.
WIN32_FIND_DATAA FromFacts(const DestinationFacts& target) {
    WIN32_FIND_DATAA data = {};
    data.ftLastWriteTime.dwHighDateTime = target.writeTimeHigh;
    data.ftLastWriteTime.dwLowDateTime = target.writeTimeLow;
    data.nFileSizeLow = target.sizeLow;
    return data;
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

SameNameDecision ResolveSameName(const std::string& source, const std::string& destination,
                                 const DestinationFacts& target, SameFileAction rule, bool& yesToAll,
                                 HWND progressDialog) {
    WIN32_FIND_DATAA sourceData = {}, destinationData = {};
    if (!FindEntry(source, sourceData)) return SameNameDecision::kSkip;
    // Any entry of that name counts, a folder as well as a file. FindFirstFileA also
    // fails on an entry it may not list (a folder the user may write but not read, a
    // network error): then the probe's facts decide.
    bool described = true;
    if (!FindEntry(destination, destinationData)) {
        if (!target.exists && !target.undetermined) return SameNameDecision::kTransfer;
        described = target.described;
        destinationData = FromFacts(target);
    }

    if (rule == kOverwriteIfNewer) {
        if (!described) return SameNameDecision::kSkip;
        return SourceIsNewer(sourceData.ftLastWriteTime.dwHighDateTime, sourceData.ftLastWriteTime.dwLowDateTime,
                             destinationData.ftLastWriteTime.dwHighDateTime,
                             destinationData.ftLastWriteTime.dwLowDateTime)
                   ? SameNameDecision::kTransfer
                   : SameNameDecision::kSkip;
    }

    EntryDescription there = Describe(destination, destinationData);
    if (!described) there.timeStamp = there.size = std::string();  // unknown, not zero
    const std::string message = ComposeOverwriteMessage(LoadLabels(), Describe(source, sourceData), there);
    const INT_PTR answer = DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_OVERWRITE), progressDialog,
                                           OverwriteDialogProc, reinterpret_cast<LPARAM>(message.c_str()));
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
            SetDlgItemTextA(dialog, IDC_OVERWRITE_MESSAGE, reinterpret_cast<const char*>(lParam));
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
