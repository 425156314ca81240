#include "transfer/write_guard.h"

#include "os/files.h"
#include "transfer/destination_paths.h"

namespace korvane {

WriteGuard::WriteGuard(const std::u16string& currentFolder, const std::u16string& root,
                       const std::vector<std::u16string>& sources)
    : currentFolder_(currentFolder),
      folderKey_(FoldPathCase(FullFolderPath(currentFolder))),
      rootKey_(FoldPathCase(FullFolderPath(root))) {
    waiting_.reserve(sources.size());
    for (const std::u16string& source : sources) ++waiting_[KeysFor(source).source];
}

// Folding works character by character, so the folded part below the current
// folder joins the folded folders at a real separator.
WriteGuard::Keys WriteGuard::KeysFor(const std::u16string& source) const {
    const std::u16string below = FoldPathCase(PathBelow(currentFolder_, source));
    Keys keys;
    keys.source.reserve(folderKey_.size() + 1 + below.size());
    keys.source += folderKey_;
    keys.source += u'\\';
    keys.source += below;
    keys.destination.reserve(rootKey_.size() + 1 + below.size());
    keys.destination += rootKey_;
    keys.destination += u'\\';
    keys.destination += below;
    return keys;
}

bool WriteGuard::MayWrite(const Keys& keys) const {
    return written_.count(keys.destination) == 0 && waiting_.count(keys.destination) == 0;
}

void WriteGuard::Done(const Keys& keys, bool written) {
    const auto found = waiting_.find(keys.source);
    if (found != waiting_.end() && --found->second == 0) waiting_.erase(found);
    if (written) written_.insert(keys.destination);
}

}  // namespace korvane
