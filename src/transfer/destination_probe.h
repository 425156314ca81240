// What stands at a file's destination before it is copied or moved there.
#pragma once
#include <string>

namespace korvane {

struct DestinationFacts {
    bool exists = false;
    // A read-only file is never replaced. Windows refuses it by itself; a file
    // system that ignores the attribute (Samba shares, Wine run by root) would not.
    bool readOnly = false;
    // The destination is the source itself: the same path, another spelling of it
    // (case, ".", "..", a short name) or a hard link. Copying it would truncate the
    // file it reads from.
    bool sameAsSource = false;
};

// One open of the destination, and of the source only when the destination exists.
DestinationFacts ProbeDestination(const std::string& source, const std::string& destination);

}  // namespace korvane
