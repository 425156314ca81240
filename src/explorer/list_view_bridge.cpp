// The list view of Explorer's window on Windows XP and later: the item record and the
// text buffer lie in blocks allocated in the view's process and are copied across.
#include <cstring>

#include "common/unique_handle.h"
#include "explorer/remote_block.h"
#include "explorer/view_items.h"
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::SelectInView(HWND view) {
    matchPathBytes = 0;
    matchPaths.clear();
    matchSizes.clear();
    leftOutNames.clear();
    try {
        DWORD processId = 0;
        GetWindowThreadProcessId(view, &processId);
        UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (!process) return;
        // Declared in this order so that the record is released first, then the text,
        // then the process handle closed, on every way out.
        RemoteBlock remoteText(process.Get(), kItemTextCapacity + 1);
        if (!remoteText) return;
        RemoteBlock remoteRecord(process.Get(), sizeof(ViewItemRecord));
        if (!remoteRecord) return;
        const auto recordAddress = reinterpret_cast<LPARAM>(remoteRecord.Address());

        const char blank[kItemTextCapacity + 1] = {};
        TakenPaths taken;
        ViewItemWalk walk(view);
        int index = -1;
        while (walk.Next(index)) {
            ViewItemRecord record = {};
            record.mask = LVIF_TEXT;
            record.iItem = index;
            record.pszText = static_cast<LPSTR>(remoteText.Address());
            record.cchTextMax = kItemTextCapacity;
            char text[kItemTextCapacity + 1] = {};
            // An item the view does not answer for, or answers without writing the
            // text, is read as empty, never as the previous item's name left in the
            // buffer: the buffer is cleared before each request.
            const bool read = remoteText.Write(blank, sizeof blank) && remoteRecord.Write(&record, sizeof record) &&
                              SendMessageA(view, LVM_GETITEMA, 0, recordAddress) &&
                              remoteText.Read(text, kItemTextCapacity);
            if (!read) text[0] = '\0';
            text[kItemTextCapacity] = '\0';

            // LVIS_FOCUSED stays out of the mask: the focused item is left as it was.
            record.mask = LVIF_STATE;
            record.state = TakeViewItem(*this, text, taken);
            record.stateMask = LVIS_SELECTED;
            if (remoteRecord.Write(&record, sizeof record))
                SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(index), recordAddress);
        }
        RedrawViewItems(view);
    } catch (...) {
        // Memory ran short: no partial list goes on to the action.
        matchPaths.clear();
        matchSizes.clear();
        matchPathBytes = 0;
    }
}

}  // namespace korvane
