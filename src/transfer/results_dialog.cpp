#include "transfer/results_dialog.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "shellext/shell_extension.h"
#include "shellext/system_helpers.h"
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
    for (int i = 0; i < 4; ++i) {
        std::string title = LoadResourceString(titles[i]);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = widths[i];
        column.pszText = &title[0];
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void SetSubItem(HWND list, int item, int subItem, std::string text) {
    LVITEMA cell = {};
    cell.mask = LVIF_TEXT;
    cell.iItem = item;
    cell.iSubItem = subItem;
    cell.pszText = &text[0];
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
}

void InsertRows(HWND list, const std::vector<TransferResult>& results) {
    const std::string succeeded = LoadResourceString(IDS_RESULTS_SUCCEEDED);
    const std::string failed = LoadResourceString(IDS_RESULTS_FAILED);
    // Thousands of rows: one repaint at the end instead of one per row.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, results.size(), 0);
    for (std::size_t i = 0; i < results.size(); ++i) {
        const TransferResult& row = results[i];
        std::string sourceFolder = row.sourceFolder;
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = &sourceFolder[0];
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (at < 0) continue;
        SetSubItem(list, at, 1, row.destinationFolder);
        SetSubItem(list, at, 2, row.fileName);
        SetSubItem(list, at, 3, row.succeeded ? succeeded : failed);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void OnInit(HWND dialog, const ShellExtension& extension) {
    PlaceNearCursor(dialog, IDOK);
    const bool moving = extension.action != kCopyToFolder;
    std::string caption = LoadResourceString(moving ? IDS_RESULTS_MOVE_CAPTION : IDS_RESULTS_COPY_CAPTION);
    if (!extension.leftOutNames.empty())
        caption += WithCount(LoadResourceString(IDS_RESULTS_NAMES_LEFT_OUT), extension.leftOutNames.size());
    SetWindowTextA(dialog, caption.c_str());
    const HWND list = GetDlgItem(dialog, IDC_RESULTS_LIST);
    const LRESULT style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    InsertColumns(list, moving);
    InsertRows(list, extension.transferResults);
}

}  // namespace

INT_PTR CALLBACK ResultsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* extension = reinterpret_cast<ShellExtension*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!extension) return FALSE;
        switch (message) {
        case WM_INITDIALOG: OnInit(dialog, *extension); break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);  // Esc or the close box
            break;
        case WM_HELP: return TRUE;  // F1 does nothing here
        }
    } catch (...) {
    }
    return FALSE;
}

}  // namespace korvane
