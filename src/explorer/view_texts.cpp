#include "explorer/view_texts.h"

#include "explorer/view_item_loop.h"
#include "os/system_helpers.h"

namespace korvane {

void ForEachViewItemText(HWND view, const std::function<void(const char* text)>& visit) {
    if (!view) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(view, &processId);
    const ViewTransport transport = processId == GetCurrentProcessId() ? ViewTransport::kOwnProcess
                                    : IsWindowsXpOrLater()              ? ViewTransport::kProcessBlocks
                                                                        : ViewTransport::kSharedMapping;
    ForEachViewItem(view, transport, false, [&](const char* text) {
        visit(text);
        return UINT{0};
    });
}

}  // namespace korvane
