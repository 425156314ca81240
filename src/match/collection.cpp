#include "match/collection.h"

#include <deque>

#include "common/path_text.h"
#include "match/match_name.h"
#include "os/files.h"

namespace korvane {

namespace {

// The current folder found among the destination's own folder and those above it,
// by identity. below gets the names between the two; false when the destination does
// not lie in the current folder, or when the system gives no identities (answered
// with known false). Each level's index comes first: only a folder of the current
// folder's index costs a question for its volume (half a millisecond under Wine).
bool FindByIdentity(const std::u16string& fullCurrent, const std::u16string& fullRoot,
                    std::deque<std::u16string>& below, bool& known) {
    const std::u16string currentPath = FolderDisplayForm(fullCurrent);
    std::uint64_t currentIndex = 0;
    known = FileIndexOf(currentPath, currentIndex);
    if (!known) return false;
    FileIdentity current;
    bool asked = false, currentKnown = false;
    std::u16string level = fullRoot;
    for (;;) {
        const std::u16string levelPath = FolderDisplayForm(level);
        std::uint64_t index = 0;
        if (FileIndexOf(levelPath, index) && index == currentIndex) {
            // Of the same index and of a volume that cannot be told: taken for the
            // current folder, so that the scan never enters the destination.
            if (!asked) {
                asked = true;
                currentKnown = IdentityOf(currentPath, current);
            }
            FileIdentity identity;
            if (!currentKnown || !IdentityOf(levelPath, identity) || identity == current) return true;
        }
        const std::size_t separator = LastSeparator(level);
        if (separator == kNoSeparator || separator == 0) return false;
        below.push_front(level.substr(separator + 1));
        level.resize(separator);
    }
}

}  // namespace

SubfolderPlan PlanSubfolderScan(const std::u16string& currentFolder, const std::u16string& destination) {
    SubfolderPlan plan;
    const std::u16string fullRoot = FullFolderPath(StripTrailingBackslash(destination));
    const std::u16string fullCurrent = FullFolderPath(currentFolder);
    std::deque<std::u16string> below;
    bool identities = false;
    if (FindByIdentity(fullCurrent, fullRoot, below, identities)) {
        if (below.empty()) {
            plan.scan = SubfolderScan::kNone;
            return plan;
        }
        // The scan spells a folder as currentFolder + "\" + the names the listing
        // gives: the long ones, whatever spelling the destination used.
        std::u16string leaveOut = currentFolder;
        for (const std::u16string& name : below) {
            std::u16string level = leaveOut + u"\\" + name;
            EntryFacts facts;
            if (FindEntry(level, facts) && !facts.name.empty()) level = leaveOut + u"\\" + facts.name;
            leaveOut = std::move(level);
        }
        plan.scan = SubfolderScan::kLeaveOut;
        plan.leaveOut = std::move(leaveOut);
        return plan;
    }
    if (identities) return plan;
    // Without identities: one spelling, full, long where the folders exist, and folded.
    std::u16string rest;
    if (!LiesInside(FoldPathCase(fullRoot), FoldPathCase(fullCurrent), rest)) return plan;
    if (rest.empty()) {
        plan.scan = SubfolderScan::kNone;
        return plan;
    }
    // Folding keeps every unit in its place, so the folded rest stands for the same
    // units of the full path, whose long names are those the listing gives.
    plan.scan = SubfolderScan::kLeaveOut;
    plan.leaveOut = currentFolder + fullRoot.substr(fullRoot.size() - rest.size());
    return plan;
}

void WalkDisk(const DiskRequest& request, const ScanVisitor& visitor) {
    if (!request.below) {
        if (request.here) ScanFiles(request.folder, true, false, visitor);
        return;
    }
    const SubfolderPlan plan = request.destination.empty() ? SubfolderPlan()
                                                           : PlanSubfolderScan(request.folder, request.destination);
    if (plan.scan == SubfolderScan::kNone) {
        if (request.here) ScanFiles(request.folder, true, false, visitor);
        return;
    }
    ScanFiles(request.folder, request.here, true, visitor, FoldPathCase(plan.leaveOut));
}

MatchList CollectFromDisk(const DiskRequest& request, const PreparedPattern& pattern, const volatile long* cancel) {
    MatchList list;
    WalkDisk(request, CollectingVisitor(list, pattern, cancel));
    return list;
}

}  // namespace korvane
