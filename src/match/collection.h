// What a command acts on from the disk, decided in one place for the command and for
// the main dialog's count, so that "一致 N 件" is what OK acts on: the matching files
// of the current folder and, with subfolders, those of every folder below it, never
// those inside the destination when the destination lies in the current folder.
#pragma once
#include <string>

#include "match/folder_scan.h"
#include "match/match_list.h"

namespace korvane {

struct DiskRequest {
    std::u16string folder;       // the command's current folder
    bool here = true;            // its own files
    bool below = false;          // those of every folder below it
    std::u16string destination;  // the effective destination of a copy or move; empty for none
};

// Where a subfolder scan must not go: the destination, when it is the current folder
// or lies below it, whatever spelling names it (a mapped drive, a junction, a short
// name). On the NT family the folders' identities decide; on the 9x family, which has
// none, the full paths compared as the file system compares names.
enum class SubfolderScan {
    kWhole,     // the destination is elsewhere
    kLeaveOut,  // it lies below: leaveOut spells it as the scan spells the folders below
    kNone,      // it is the current folder itself: nothing below is scanned
};
struct SubfolderPlan {
    SubfolderScan scan = SubfolderScan::kWhole;
    std::u16string leaveOut;
};
SubfolderPlan PlanSubfolderScan(const std::u16string& currentFolder, const std::u16string& destination);

// The walk of the request with the visitor's callbacks (and its cancel flag).
void WalkDisk(const DiskRequest& request, const ScanVisitor& visitor);

// The files the walk takes, with the names it leaves out and the links it passes by.
MatchList CollectFromDisk(const DiskRequest& request, const PreparedPattern& pattern,
                          const volatile long* cancel = nullptr);

}  // namespace korvane
