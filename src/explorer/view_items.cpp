#include "explorer/view_items.h"

#include <string>

#include "explorer/list_view_bridge.h"
#include "match/match_name.h"
#include "match/path_text.h"

namespace korvane {

ViewItemWalk::ViewItemWalk(HWND view) noexcept
    : view_(view), left_(static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0))) {}

bool ViewItemWalk::Next(int& index) noexcept {
    if (left_ <= 0) return false;
    --left_;
    const int next = static_cast<int>(SendMessageA(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(previous_),
                                                   MAKELPARAM(LVNI_ALL, 0)));
    if (next <= previous_) return false;
    index = previous_ = next;
    return true;
}

namespace {

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

UINT TakeViewItem(const ViewRequest& request, const PreparedPattern& matcher, const char* text, TakenPaths& taken,
                  MatchList& list) {
    if (!text[0] || !matcher.Matches(text)) return 0;
    if (!IsPlainName(text)) {
        list.leftOut.push_back({request.currentFolder, text});
        return 0;
    }
    if (request.collectPaths) {
        std::string path = request.currentFolder;
        path += '\\';
        path += text;
        if (taken.count(path) != 0 || IsExistingFolder(path)) return LVIS_SELECTED;
        const auto bytes = static_cast<std::uint32_t>(path.size() + 1);
        taken.insert(path);
        list.paths.push_back(std::move(path));
        list.sizes.push_back(kSizeUnknown);
        list.pathBytes += bytes;
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
