#include "dialog/match_count.h"

#include <memory>
#include <string_view>

#include <commctrl.h>

#include "explorer/list_view_bridge.h"
#include "explorer/view_items.h"
#include "explorer/view_texts.h"
#include "match/collection.h"
#include "match/match_name.h"
#include "match/regular_expression.h"

namespace korvane {

long CountMatches(const MatchCountRequest& request, const volatile LONG& cancel, volatile LONG& progress) noexcept {
    try {
        if (request.useRegex && CheckRegularExpression(request.pattern, nullptr) == RegExpVerdict::kRejected)
            return kCountRejected;
        const PreparedPattern matcher(request.pattern, request.useRegex);
        long count = 0;
        const auto take = [&] { InterlockedExchange(&progress, ++count); };
        if (request.fromView) {
            ViewRequest view;
            view.currentFolder = request.folder;
            view.pattern = request.pattern;
            view.useRegex = request.useRegex;
            view.collectPaths = request.collectPaths;
            TakenPaths taken;
            MatchList list;
            ForEachViewItemText(request.view, [&](std::u16string_view text) {
                if (cancel) throw ScanStopped();
                const std::size_t before = list.paths.size();
                const UINT state = TakeViewItem(view, matcher, text, taken, list);
                if (view.collectPaths ? list.paths.size() > before : state == LVIS_SELECTED) take();
            });
        }
        if (!request.fromView || request.subfolders) {
            DiskRequest disk;
            disk.folder = request.folder;
            disk.here = !request.fromView;
            disk.below = request.subfolders;
            disk.destination = request.destination;
            ScanVisitor visitor;
            visitor.accepts = [&](std::u16string_view name) { return matcher.Matches(name); };
            visitor.taken = [&](const std::u16string&, std::u16string_view, std::uint64_t) { take(); };
            visitor.cancel = &cancel;
            WalkDisk(disk, visitor);
        }
        return cancel ? kCountFailed : count;
    } catch (...) {
        return kCountFailed;
    }
}

MatchCountWorker::MatchCountWorker(const MatchCountRequest& request, HWND window, UINT message, WPARAM tag)
    : progress_(std::make_shared<volatile LONG>(0)) {
    const std::shared_ptr<volatile LONG> progress = progress_;
    task_ = std::make_unique<BackgroundTask>(
        [request, progress](const volatile LONG& cancel) {
            return static_cast<LPARAM>(CountMatches(request, cancel, *progress));
        },
        request.useRegex != 0, window, message, tag);
}

}  // namespace korvane
