#include "transfer/results_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "os/placement.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/left_out.h"
#include "transfer/transfer_display.h"

namespace korvane {

namespace {

// 成功, 失敗, 失敗 with the reason the user should know of, or 中止 for the file a
// stop ended.
UINT ResultTextId(const TransferResult& row) {
    if (row.succeeded) return IDS_RESULTS_SUCCEEDED;
    switch (row.reason) {
    case FailureReason::kPathTooLong: return IDS_RESULTS_FAILED_TOO_LONG;
    case FailureReason::kStopped: return IDS_RESULTS_STOPPED;
    case FailureReason::kSourceKept: return IDS_RESULTS_SOURCE_KEPT;
    default: return IDS_RESULTS_FAILED;
    }
}

// The width the widest failure with a reason takes in the list's font, with the
// cell's margins; 0 when every row is a plain 成功 or 失敗.
int ReasonWidth(HWND list, const std::vector<TransferResult>& rows) {
    bool seen[4] = {};
    int widest = 0;
    const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    for (const TransferResult& row : rows) {
        const auto reason = static_cast<std::size_t>(row.reason);
        if (row.succeeded || row.reason == FailureReason::kNone || reason >= 4 || seen[reason]) continue;
        seen[reason] = true;
        widest = std::max(widest, static_cast<int>(TextExtent(list, font, LoadResourceString(ResultTextId(row))).cx));
    }
    constexpr int kCellMargins = 16;
    return widest > 0 ? widest + kCellMargins : 0;
}

void InsertColumns(HWND list, bool moving, const std::vector<TransferResult>& rows) {
    RECT frame = {};
    GetWindowRect(list, &frame);
    const int usable = (frame.right - frame.left) - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
    const std::array<int, 4> widths = ResultColumnWidths(usable, ReasonWidth(list, rows));
    const UINT titles[4] = {
        static_cast<UINT>(moving ? IDS_RESULTS_MOVE_SOURCE : IDS_RESULTS_COPY_SOURCE),
        static_cast<UINT>(moving ? IDS_RESULTS_MOVE_DESTINATION : IDS_RESULTS_COPY_DESTINATION),
        IDS_RESULTS_FILE_NAME, IDS_RESULTS_RESULT};
    for (int i = 0; i < 4; ++i) InsertListColumn(list, i, widths[i], LoadResourceString(titles[i]));
}

// The list holds no text of its own: it asks for the cells it shows (LVS_OWNERDATA),
// so that thousands of rows cost one message instead of four each.
void SetRowCount(HWND list, std::size_t rows) {
    SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
}

std::u16string CellText(const std::vector<TransferResult>& results, int item, int subItem) {
    if (item < 0 || static_cast<std::size_t>(item) >= results.size()) return std::u16string();
    const TransferResult& row = results[static_cast<std::size_t>(item)];
    switch (subItem) {
    case 0: return row.sourceFolder;
    case 1: return row.destinationFolder;
    case 2: return row.fileName;
    case 3: return LoadResourceString(ResultTextId(row));
    default: return std::u16string();
    }
}

void OnInit(HWND dialog, const ResultsShown& shown) {
    PlaceNearCursor(dialog, IDOK);
    const bool moving = shown.action != kCopyToFolder;
    std::u16string caption = LoadResourceString(moving ? IDS_RESULTS_MOVE_CAPTION : IDS_RESULTS_COPY_CAPTION);
    if (shown.leftOutCount != 0)
        caption += WithCount(LoadResourceString(IDS_RESULTS_NAMES_LEFT_OUT), shown.leftOutCount);
    if (shown.linkedFolders != 0)
        caption += WithCount(LoadResourceString(IDS_RESULTS_LINKS_SKIPPED), shown.linkedFolders);
    SetWindowTextOf(dialog, caption);
    const HWND list = GetDlgItem(dialog, IDC_RESULTS_LIST);
    const LRESULT style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    InsertColumns(list, moving, shown.rows);
    SetRowCount(list, shown.rows.size());
}

}  // namespace

INT_PTR CALLBACK ResultsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const auto* shown = reinterpret_cast<const ResultsShown*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!shown) return FALSE;
        switch (message) {
        case WM_INITDIALOG: OnInit(dialog, *shown); break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);  // Esc or the close box
            break;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->idFrom == IDC_RESULTS_LIST)
                AnswerCellText(lParam, [&](int item, int subItem) { return CellText(shown->rows, item, subItem); });
            break;
        case WM_HELP: return TRUE;  // F1 does nothing here
        }
    } catch (...) {
    }
    return FALSE;
}

}  // namespace korvane
