#include "explorer/view_items.h"

#include "explorer/list_view_bridge.h"
#include "match/match_name.h"
#include "common/path_text.h"
#include "os/files.h"

namespace korvane {

UINT TakeViewItem(const ViewRequest& request, const PreparedPattern& matcher, std::u16string_view text,
                  TakenPaths& taken, MatchList& list) {
    if (text.empty() || !matcher.Matches(text)) return 0;
    const bool plain = IsPlainName(text);
    if (!plain || request.currentFolder.size() + 1 + text.size() > kMaxPathUnits) {
        list.leftOut.push_back({request.currentFolder, std::u16string(text),
                                plain ? FailureReason::kPathTooLong : FailureReason::kNone});
        return 0;
    }
    if (request.collectPaths) {
        std::u16string path = request.currentFolder;
        path += u'\\';
        path += text;
        if (taken.count(path) != 0 || IsExistingFolder(path)) return LVIS_SELECTED;
        const auto units = static_cast<std::uint32_t>(path.size() + 1);
        taken.insert(path);
        list.paths.push_back(std::move(path));
        list.sizes.push_back(kSizeUnknown);
        list.pathUnits += units;
    }
    return LVIS_SELECTED;
}

}  // namespace korvane
