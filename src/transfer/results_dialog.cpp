#include "transfer/results_dialog.h"

#include <commctrl.h>

#include "os/placement.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/left_out.h"
#include "transfer/transfer_display.h"

namespace korvane {

namespace {

void InsertColumns(HWND list, bool moving) {
    RECT frame = {};
    GetWindowRect(list, &frame);
    const int usable = (frame.right - frame.left) - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
    const std::array<int, 4> widths = ResultColumnWidths(usable);
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

// 成功, 失敗, or 失敗 with the reason the user should know of.
UINT ResultTextId(const TransferResult& row) {
    if (row.succeeded) return IDS_RESULTS_SUCCEEDED;
    return row.reason == FailureReason::kPathTooLong ? IDS_RESULTS_FAILED_TOO_LONG : IDS_RESULTS_FAILED;
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
    SetWindowTextOf(dialog, caption);
    const HWND list = GetDlgItem(dialog, IDC_RESULTS_LIST);
    const LRESULT style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    InsertColumns(list, moving);
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
