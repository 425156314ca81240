// The run's own guard against destroying what it has not transferred: a file is
// never written over when the same run wrote it already, or when it is a source
// still waiting for its turn in the list. Paths are compared as the file system
// compares them, in full and case-insensitively (FoldPathCase), through hash sets,
// so that a check costs about as much as building the destination path.
#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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
    // The entry's turn is over; a destination written is remembered.
    void Done(const Keys& keys, bool written);

private:
    std::u16string currentFolder_;
    std::u16string folderKey_;  // full, folded current folder
    std::u16string rootKey_;    // full, folded destination folder
    std::unordered_map<std::u16string, unsigned> waiting_;  // a source may be listed twice
    std::unordered_set<std::u16string> written_;
};

}  // namespace korvane
