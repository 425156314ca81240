// Numbers shared by every subsystem: the two ways of invoking the command, the
// actions, the same-name rules, one row of a transfer's results and one name left
// out of the match list.
#pragma once
#include <cstdint>
#include <string>

namespace korvane {

using InvocationMode = std::uint32_t;
inline constexpr InvocationMode kExtensionMode = 0;  // the first selected item is a file
inline constexpr InvocationMode kFolderMode = 1;     // it is a folder

using ActionKind = std::uint32_t;
inline constexpr ActionKind kCopyToFolder = 0;
inline constexpr ActionKind kMoveToFolder = 1;
inline constexpr ActionKind kCopyToClipboard = 2;
inline constexpr ActionKind kCutToClipboard = 3;
inline constexpr ActionKind kSelectOnly = 4;
inline constexpr ActionKind kPreviousAction = 5;  // stored option: the action used last time

// A file size nobody has listed (MatchList::sizes).
inline constexpr std::uint64_t kSizeUnknown = ~static_cast<std::uint64_t>(0);

using SameFileAction = std::uint32_t;
inline constexpr SameFileAction kAskBeforeOverwrite = 0;
inline constexpr SameFileAction kOverwriteIfNewer = 1;
inline constexpr SameFileAction kOverwriteAlways = 2;
inline constexpr SameFileAction kPreviousSameFileAction = 3;  // stored option: last time's choice

// Why a file was not transferred, when its row should say more than a failure.
enum class FailureReason : std::uint8_t {
    kNone,         // a plain failure
    kPathTooLong,  // the source or the destination path is too long for the system
    kStopped,      // the user stopped the run inside this file: nothing of it was written
    kSourceKept,   // moved across volumes, but the source could not be removed
};

struct TransferResult {
    std::u16string sourceFolder;       // ParentFolder of the source, drive roots with their backslash
    std::u16string destinationFolder;  // likewise for the destination
    std::u16string fileName;
    std::int32_t succeeded = 0;
    FailureReason reason = FailureReason::kNone;  // of a failed row
};

// A matching name the scans could not use as a path (see folder_scan.cpp): the
// folder it lies in, as the scan had it, and the name as the listing gave it. A
// folder's name ends in "\".
struct LeftOutName {
    std::u16string folder;
    std::u16string name;
    FailureReason reason = FailureReason::kNone;  // kNone: the name itself cannot be used
};

}  // namespace korvane
