#include "dialog/combo_entry.h"

#include "dialog/entry_text.h"
#include "os/ui_text.h"

namespace korvane {

std::u16string ComboEntryText(HWND dialog, int id, WPARAM command) {
    HWND combo = GetDlgItem(dialog, id);
    if (LOWORD(command) == id && HIWORD(command) == CBN_SELCHANGE) {
        const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) return CutToUnits(ComboItemText(combo, static_cast<int>(index)), kEntryTextUnits);
    }
    return CutToUnits(WindowTextOf(combo), kEntryTextUnits);
}

}  // namespace korvane
