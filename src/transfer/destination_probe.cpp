#include "transfer/destination_probe.h"

#include <windows.h>

#include "common/unique_handle.h"
#include "os/files.h"

namespace korvane {

namespace {

bool SameFile(const std::u16string& first, const BY_HANDLE_FILE_INFORMATION& a, const std::u16string& second,
              const BY_HANDLE_FILE_INFORMATION& b) {
    if (a.dwVolumeSerialNumber != b.dwVolumeSerialNumber) return false;
    // Some network file systems report index 0 for every file: then only the
    // spelling can tell.
    if ((a.nFileIndexHigh | a.nFileIndexLow) == 0 && (b.nFileIndexHigh | b.nFileIndexLow) == 0)
        return FoldPathCase(first) == FoldPathCase(second);
    return a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
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
    BY_HANDLE_FILE_INFORMATION targetInfo = {};
    if (!GetFileInformationByHandle(target.Get(), &targetInfo)) return facts;
    facts.described = true;
    facts.writeTimeHigh = targetInfo.ftLastWriteTime.dwHighDateTime;
    facts.writeTimeLow = targetInfo.ftLastWriteTime.dwLowDateTime;
    facts.sizeLow = targetInfo.nFileSizeLow;
    facts.readOnly = (targetInfo.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
                     FILE_ATTRIBUTE_READONLY;
    facts.identified = IdentityOfHandle(target.Get(), facts.identity);
    UniqueFile origin = OpenForQuery(source);
    BY_HANDLE_FILE_INFORMATION originInfo = {};
    if (origin && GetFileInformationByHandle(origin.Get(), &originInfo))
        facts.sameAsSource = SameFile(source, originInfo, destination, targetInfo);
    return facts;
}

}  // namespace korvane
