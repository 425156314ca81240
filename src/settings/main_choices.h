// What the user chose in the main dialog, returned by RunMainDialog at OK; the
// settings store keeps the last choices and the histories from it.
#pragma once
#include <cstdint>
#include <string>

#include "common/types.h"

namespace korvane {

struct MainChoices {
    std::u16string pattern;
    // The kind of pattern at OK: the settings dialog, opened from the main dialog,
    // may have changed it since the command began.
    std::uint32_t useRegex = 0;
    ActionKind action = kCopyToFolder;
    std::u16string typedDestination;   // as typed, for the history
    std::u16string destinationFolder;  // effective: the folder name appended when asked
    std::uint32_t includeSubfolders = 0;
    SameFileAction sameFileAction = kAskBeforeOverwrite;
};

}  // namespace korvane
