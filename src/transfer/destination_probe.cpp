#include "transfer/destination_probe.h"

#include <windows.h>

#include "common/unique_handle.h"
#include "os/files.h"
#include "os/platform.h"

namespace korvane {

namespace {

// Files of different indexes are different files; of one index, the same file when
// they lie on one volume. Some network file systems report index 0 for every file:
// then only the spelling can tell.
bool SameFile(const std::u16string& first, HANDLE a, std::uint64_t aIndex, const std::u16string& second, HANDLE b,
              std::uint64_t bIndex) {
    if (aIndex != bIndex) return false;
    DWORD aVolume = 0, bVolume = 0;
    if (!VolumeOfHandle(a, aVolume) || !VolumeOfHandle(b, bVolume) || aVolume != bVolume) return false;
    return aIndex != 0 || FoldPathCase(first) == FoldPathCase(second);
}

// The errors that say the path cannot be reached: nothing to ask about, nothing to write.
bool IsUnreachable(DWORD error) {
    switch (error) {
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_FILENAME_EXCED_RANGE:
        return true;
    default:
        return false;
    }
}

// The errors that say that nothing stands at the path.
bool IsMissing(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return true;
    default:
        return false;
    }
}

}  // namespace

DestinationFacts ProbeDestination(const std::u16string& source, const std::u16string& destination) {
    DestinationFacts facts;
    UniqueFile target = OpenForQuery(destination);  // usually missing: the cheap answer first
    if (!target) {
        const DWORD error = GetLastError();
        facts.unusable = IsUnreachable(error);
        facts.undetermined = !facts.unusable && !IsMissing(error);
        return facts;
    }
    facts.exists = true;
    HandleFacts targetFacts;
    if (!DescribeHandle(target.Get(), targetFacts)) return facts;
    facts.described = true;
    facts.writeTimeHigh = targetFacts.lastWrite.dwHighDateTime;
    facts.writeTimeLow = targetFacts.lastWrite.dwLowDateTime;
    facts.sizeLow = static_cast<std::uint32_t>(targetFacts.size);
    facts.readOnly = (targetFacts.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
                     FILE_ATTRIBUTE_READONLY;
    facts.identified = IsNt() && targetFacts.index != 0;
    facts.index = targetFacts.index;
    UniqueFile origin = OpenForQuery(source);
    HandleFacts originFacts;
    if (origin && DescribeHandle(origin.Get(), originFacts))
        facts.sameAsSource =
            SameFile(source, origin.Get(), originFacts.index, destination, target.Get(), targetFacts.index);
    return facts;
}

}  // namespace korvane
