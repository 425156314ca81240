#include "transfer/write_guard.h"

#include "os/files.h"
#include "transfer/destination_paths.h"

namespace korvane {

WriteGuard::WriteGuard(const std::u16string& currentFolder, const std::u16string& root,
                       const std::vector<std::u16string>& sources)
    : sources_(sources),
      currentFolder_(currentFolder),
      folderKey_(FoldPathCase(FullFolderPath(currentFolder))),
      rootKey_(FoldPathCase(FullFolderPath(root))) {
    waiting_.reserve(sources.size());
    for (const std::u16string& source : sources) ++waiting_[KeysFor(source).source];
}

// Folding works character by character, so the folded part below the current
// folder joins the folded folders at a separator.
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

void WriteGuard::TakeIdentities() {
    identities_ = true;
    sourceIds_.assign(sources_.size(), {false, FileIdentity()});
    for (std::size_t i = finished_; i < sources_.size(); ++i) {
        FileIdentity identity;
        if (!IdentityOf(sources_[i], identity)) continue;
        sourceIds_[i] = {true, identity};
        ++waitingIds_[identity];
    }
    for (const std::u16string& path : writtenPaths_) {
        FileIdentity identity;
        if (IdentityOf(path, identity)) writtenIds_.insert(identity);
    }
    writtenPaths_.clear();
}

bool WriteGuard::MayReplace(const FileIdentity& existing) {
    if (!identities_) TakeIdentities();
    return writtenIds_.count(existing) == 0 && waitingIds_.count(existing) == 0;
}

void WriteGuard::Done(const Keys& keys, bool written, const std::u16string& destination) {
    const auto found = waiting_.find(keys.source);
    if (found != waiting_.end() && --found->second == 0) waiting_.erase(found);
    const std::size_t entry = finished_++;
    if (identities_ && entry < sourceIds_.size() && sourceIds_[entry].first) {
        const auto waiting = waitingIds_.find(sourceIds_[entry].second);
        if (waiting != waitingIds_.end() && --waiting->second == 0) waitingIds_.erase(waiting);
    }
    if (!written) return;
    written_.insert(keys.destination);
    if (!identities_) {
        writtenPaths_.push_back(destination);
        return;
    }
    FileIdentity identity;
    if (IdentityOf(destination, identity)) writtenIds_.insert(identity);
}

}  // namespace korvane
