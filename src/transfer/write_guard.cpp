#include "transfer/write_guard.h"

#include <algorithm>

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

void WriteGuard::TakeIndexes() {
    indexes_ = true;
    sourceIndexes_.assign(sources_.size(), 0);
    for (std::size_t i = finished_; i < sources_.size(); ++i) {
        std::uint64_t index = 0;
        if (!FileIndexOf(sources_[i], index)) continue;
        sourceIndexes_[i] = index;
        waitingIndexes_[index].push_back(i);
    }
    for (std::u16string& path : writtenPaths_) {
        std::uint64_t index = 0;
        if (FileIndexOf(path, index)) writtenIndexes_[index].push_back(std::move(path));
    }
    writtenPaths_.clear();
}

bool WriteGuard::MayReplace(std::uint64_t existing, const std::u16string& destination) {
    if (!indexes_) TakeIndexes();
    std::vector<const std::u16string*> alike;
    const auto waiting = waitingIndexes_.find(existing);
    if (waiting != waitingIndexes_.end())
        for (std::size_t entry : waiting->second) alike.push_back(&sources_[entry]);
    const auto written = writtenIndexes_.find(existing);
    if (written != writtenIndexes_.end())
        for (const std::u16string& path : written->second) alike.push_back(&path);
    if (alike.empty()) return true;
    FileIdentity identity;
    if (!IdentityOf(destination, identity)) return false;  // it may be one of them: not risked
    for (const std::u16string* path : alike) {
        FileIdentity other;
        if (IdentityOf(*path, other) && other == identity) return false;
    }
    return true;
}

void WriteGuard::Done(const Keys& keys, bool written, const std::u16string& destination) {
    const auto found = waiting_.find(keys.source);
    if (found != waiting_.end() && --found->second == 0) waiting_.erase(found);
    const std::size_t entry = finished_++;
    if (indexes_ && entry < sourceIndexes_.size() && sourceIndexes_[entry] != 0) {
        const auto waiting = waitingIndexes_.find(sourceIndexes_[entry]);
        if (waiting != waitingIndexes_.end()) {
            std::vector<std::size_t>& entries = waiting->second;
            entries.erase(std::remove(entries.begin(), entries.end(), entry), entries.end());
            if (entries.empty()) waitingIndexes_.erase(waiting);
        }
    }
    if (!written) return;
    written_.insert(keys.destination);
    if (!indexes_) {
        writtenPaths_.push_back(destination);
        return;
    }
    std::uint64_t index = 0;
    if (FileIndexOf(destination, index)) writtenIndexes_[index].push_back(destination);
}

}  // namespace korvane
