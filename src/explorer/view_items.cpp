#include "explorer/view_items.h"

#include <string>

#include "match/match_name.h"
#include "shellext/shell_extension.h"

namespace korvane {

bool ViewItemWalk::Next(int& index) noexcept {
    const int next = static_cast<int>(SendMessageA(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(previous_),
                                                   MAKELPARAM(LVNI_ALL, 0)));
    if (next <= previous_) return false;
    index = previous_ = next;
    return true;
}

UINT TakeViewItem(ShellExtension& extension, const char* text) {
    if (!text[0] || !MatchName(extension.pattern, text, extension.useRegex)) return 0;
    if (extension.action <= kCutToClipboard) {
        std::string path = extension.currentFolder;
        path += '\\';
        path += text;
        const auto bytes = static_cast<std::uint32_t>(path.size() + 1);
        extension.matchPaths.push_back(std::move(path));
        extension.matchPathBytes += bytes;
    }
    return LVIS_SELECTED;
}

void RedrawViewItems(HWND view) noexcept {
    // The last index, not the count: the control refuses a range that ends past its
    // items. An empty view is asked for (0, 0), which it ignores.
    const int count = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    SendMessageA(view, LVM_REDRAWITEMS, 0, count > 0 ? count - 1 : 0);
}

}  // namespace korvane
