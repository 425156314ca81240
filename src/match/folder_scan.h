// The walk behind the folder scans, open to other counts of the same files (the
// main dialog's match count): which entries are files, which folders are entered,
// in which order.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "match/match_list.h"

namespace korvane {

class PreparedPattern;

// The matching files directly inside folder, in the listing's order, each path
// folder + "\" + name; the unusable matching names go to leftOut.
MatchList ScanFolder(const std::u16string& folder, const PreparedPattern& pattern);
// The matching files of every folder below folder, depth first, and with addHere
// those directly inside it too. leaveOut: a folder below `folder`, spelt as the scan
// spells the folders it enters (folder + "\" + names), which is not entered
// (compared as the file system compares names); empty: every folder is entered.
MatchList ScanTree(const std::u16string& folder, const PreparedPattern& pattern, bool addHere,
                   const std::u16string& leaveOut = std::u16string());

// accepts decides for each file name (directories never reach it); taken gets each
// accepted file with the folder it lies in and its size as the listing gave it. With
// here the files directly inside folder are tested, with below those of every folder
// under it, depth first, linked folders left out. An exception thrown by either ends
// the walk with every find handle closed.
// Names that are no plain names (path syntax, a final dot or space, a device name),
// and paths too long for the system, never reach taken: leftOut (when given) gets
// each such accepted file, and each such subfolder with a final separator, which is
// never entered. A subfolder whose path folds (FoldPathCase) to skipFolder is not
// entered either.
using ScanAccepts = std::function<bool(std::u16string_view name)>;
using ScanTaken = std::function<void(const std::u16string& folder, std::u16string_view name, std::uint64_t size)>;
using ScanLeftOut = std::function<void(const std::u16string& folder, std::u16string_view name, FailureReason reason)>;
void ScanFiles(const std::u16string& folder, bool here, bool below, const ScanAccepts& accepts,
               const ScanTaken& taken, const ScanLeftOut& leftOut = nullptr,
               const std::u16string& skipFolder = std::u16string());

// Everything a walk tells and asks, for the walks that need more than the above:
// linkSkipped hears of each folder not entered because it leads elsewhere (see
// match/linked_folder.h), and the walk looks at cancel (when given) at every folder
// it enters and every entry it lists: once it is nonzero the walk throws ScanStopped.
struct ScanVisitor {
    ScanAccepts accepts;
    ScanTaken taken;
    ScanLeftOut leftOut;
    std::function<void()> linkSkipped;
    const volatile long* cancel = nullptr;
};
struct ScanStopped {};
void ScanFiles(const std::u16string& folder, bool here, bool below, const ScanVisitor& visitor,
               const std::u16string& skipFolder = std::u16string());

// A visitor that appends what the pattern accepts to list (paths as folder + "\" +
// name, with their sizes), its left-out names and its count of linked folders.
ScanVisitor CollectingVisitor(MatchList& list, const PreparedPattern& pattern, const volatile long* cancel);

}  // namespace korvane
