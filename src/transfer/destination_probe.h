// What stands at a file's destination before it is copied or moved there.
#pragma once
#include <cstdint>
#include <string>

#include "os/files.h"

namespace korvane {

struct DestinationFacts {
    bool exists = false;
    // The open failed for a reason other than a missing entry (access denied, a
    // network error): something may stand there, and it is treated as existing.
    bool undetermined = false;
    // The open failed because the path cannot be reached at all (a drive not ready,
    // a network path not found): nothing can be asked about or written there.
    bool unusable = false;
    // The existing entry's index on its volume (NT family only; FileIndexOf): the
    // guard compares whole identities only for the files of the run that share it.
    bool identified = false;
    std::uint64_t index = 0;
    // The entry's last-write time (UTC, as stored) and the low half of its size,
    // valid when described is set: the same-name step falls back on them when the
    // destination cannot be listed.
    bool described = false;
    std::uint32_t writeTimeHigh = 0, writeTimeLow = 0;
    std::uint32_t sizeLow = 0;
    // A read-only file is never replaced. Windows refuses it by itself; a file
    // system that ignores the attribute (Samba shares, Wine run by root) would not.
    bool readOnly = false;
    // The destination is the source itself: the same path, another spelling of it
    // (case, ".", "..", a short name) or a hard link. Copying it would truncate the
    // file it reads from.
    bool sameAsSource = false;
};

// One open of the destination, and of the source only when the destination exists;
// the volumes are asked for only when both have the same index.
DestinationFacts ProbeDestination(const std::u16string& source, const std::u16string& destination);

}  // namespace korvane
