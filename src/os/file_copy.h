// Copies and moves that report progress inside a file and can be stopped there, so
// that a large file never holds the thread that shows the progress.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace korvane {

// Progress within one file: the bytes copied so far and the file's size. Answering
// false stops the copy.
using CopyProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
enum class CopyOutcome { kDone, kFailed, kStopped };
// A copy that reports its progress and can be stopped inside the file; a stopped or
// failed copy leaves no partial destination. On the NT family it is CopyFileEx with
// a progress routine where the system reports progress, otherwise a copy in chunks
// of the file's data, its attributes and its time; the 9x family copies at once.
CopyOutcome CopyWithProgress(const std::u16string& from, const std::u16string& to, bool replace,
                           const CopyProgress& progress);

enum class MoveOutcome {
    kDone,
    kFailed,
    kStopped,     // across volumes, stopped inside the copy: the source stays whole
    kSourceKept,  // across volumes, copied, but the source could not be removed
};
// A move within one volume is a rename; across volumes it is a copy with progress,
// flushed to the disk, and then the removal of the source, which is checked: a
// source that stays is told, never taken for moved. flags: the MoveFileEx flags the
// 9x family gets as they are; on the NT family only MOVEFILE_REPLACE_EXISTING is
// read (the rename and the copy across volumes are this function's own business).
MoveOutcome MoveWithProgress(const std::u16string& from, const std::u16string& to, DWORD flags,
                           const CopyProgress& progress);

// Whether this system's CopyFileEx calls its progress routine (found once, with a
// small copy in the temporary folder). Where it does not, a copy of a large file
// would run to its end unseen and unstoppable, so CopyWithProgress copies in chunks.
bool SystemReportsCopyProgress();

}  // namespace korvane
