// Explorer's list view before Windows 7: the matching items selected, their paths
// collected. The two ways differ only in their transport (view_item_loop.cpp).
#include "explorer/list_view_bridge.h"

#include "explorer/view_items.h"
#include "match/match_name.h"
#include "os/view_item_loop.h"

namespace korvane {

namespace {

MatchList SelectThrough(HWND view, const ViewRequest& request, ViewTransport transport) {
    MatchList list;
    try {
        const PreparedPattern matcher(request.pattern, request.useRegex);
        TakenPaths taken;
        ForEachViewItem(view, transport, true,
                        [&](std::u16string_view text) { return TakeViewItem(request, matcher, text, taken, list); });
    } catch (...) {
        // Memory ran short: no partial list goes on to the action.
        list.paths.clear();
        list.sizes.clear();
        list.pathUnits = 0;
    }
    return list;
}

}  // namespace

MatchList SelectInView(HWND view, const ViewRequest& request) {
    return SelectThrough(view, request, ViewTransport::kProcessBlocks);
}

MatchList SelectInViewShared(HWND view, const ViewRequest& request) {
    return SelectThrough(view, request, ViewTransport::kSharedMapping);
}

}  // namespace korvane
