// The run's own guard against destroying what it has not transferred: a file is
// never written over when the same run wrote it already, or when it is a source
// still waiting for its turn in the list. Paths are compared as the file system
// compares them, in full and case-insensitively (FoldPathCase), through hash sets,
// so that a check costs about as much as building the destination path. Another
// spelling of the same file (a mapped drive, a junction, a short name, a hard link)
// is caught by the file's identity: an existing destination the run is about to
// replace is compared with the waiting sources and with what the run wrote, by the
// index of each file on its volume first and by whole identities only among the
// files of the same index (the volume's serial number costs a round trip to the
// volume's owner). The indexes are taken only once a run meets an existing
// destination (one open each), so a run into a fresh folder pays nothing for them.
#pragma once
#include <cstdint>
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
    // For a destination that exists, of that index on its volume (FileIndexOf):
    // false when it is a file the run wrote, or a source still waiting, under
    // whatever spelling; false too when it shares an index with one of them and its
    // identity cannot be had.
    bool MayReplace(std::uint64_t existing, const std::u16string& destination);
    // The entry's turn is over (entries end in the list's order); a destination
    // written is remembered, by its key and by its path.
    void Done(const Keys& keys, bool written, const std::u16string& destination);

private:
    void TakeIndexes();

    const std::vector<std::u16string>& sources_;
    std::u16string currentFolder_;
    std::u16string folderKey_;  // full, folded current folder
    std::u16string rootKey_;    // full, folded destination folder
    std::unordered_map<std::u16string, unsigned> waiting_;  // a source may be listed twice
    std::unordered_set<std::u16string> written_;
    std::size_t finished_ = 0;  // entries whose turn is over
    std::vector<std::u16string> writtenPaths_;  // until indexes are taken
    bool indexes_ = false;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> waitingIndexes_;  // to the entries still waiting
    std::vector<std::uint64_t> sourceIndexes_;  // by entry, once taken; 0 where there is none
    std::unordered_map<std::uint64_t, std::vector<std::u16string>> writtenIndexes_;  // to the files written
};

}  // namespace korvane
