// The run's own guard against destroying what it has not transferred: a file is
// never written over when the same run wrote it already, or when it is a source
// still waiting for its turn in the list. Paths are compared as the file system
// compares them, in full and case-insensitively (FoldPathCase), through hash sets,
// so that a check costs about as much as building the destination path. Another
// spelling of the same file (a mapped drive, a junction, a short name, a hard link)
// is caught by the file's identity: an existing destination the run is about to
// replace is compared with the identities of the waiting sources and of what the run
// wrote. Those identities are taken only once a run meets an existing destination
// (one open each), so a run into a fresh folder pays nothing for them.
#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "os/files.h"

namespace korvane {

class WriteGuard {
public:
    // The keys of one entry of the list: its source and its destination.
    struct Keys {
        std::u16string source;
        std::u16string destination;
    };

    // currentFolder as the sources spell it, root the destination folder without
    // its final separator (DestinationPathFor's), and every source of the list;
    // the sources lie below currentFolder, as the scans and the view give them.
    WriteGuard(const std::u16string& currentFolder, const std::u16string& root,
               const std::vector<std::u16string>& sources);

    Keys KeysFor(const std::u16string& source) const;
    // False when the destination was written earlier in the run or is a source
    // still waiting (the entry's own source included: the probe names that case).
    bool MayWrite(const Keys& keys) const;
    // For a destination that exists, by its identity: false when it is a file the
    // run wrote, or a source still waiting, under whatever spelling.
    bool MayReplace(const FileIdentity& existing);
    // The entry's turn is over (entries end in the list's order); a destination
    // written is remembered, by its key and by its path.
    void Done(const Keys& keys, bool written, const std::u16string& destination);

private:
    void TakeIdentities();

    const std::vector<std::u16string>& sources_;
    std::u16string currentFolder_;
    std::u16string folderKey_;  // full, folded current folder
    std::u16string rootKey_;    // full, folded destination folder
    std::unordered_map<std::u16string, unsigned> waiting_;  // a source may be listed twice
    std::unordered_set<std::u16string> written_;
    std::size_t finished_ = 0;  // entries whose turn is over
    std::vector<std::u16string> writtenPaths_;  // until identities are taken
    bool identities_ = false;
    std::unordered_map<FileIdentity, unsigned, FileIdentityHash> waitingIds_;
    std::vector<std::pair<bool, FileIdentity>> sourceIds_;  // by entry, once taken
    std::unordered_set<FileIdentity, FileIdentityHash> writtenIds_;
};

}  // namespace korvane
