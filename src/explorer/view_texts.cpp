#include "explorer/view_texts.h"

#include "os/view_item_loop.h"

namespace korvane {

void ForEachViewItemText(HWND view, const std::function<void(std::u16string_view text)>& visit) {
    if (!view) return;
    ForEachViewItem(view, TransportFor(view), false, [&](std::u16string_view text) {
        visit(text);
        return UINT{0};
    });
}

}  // namespace korvane
