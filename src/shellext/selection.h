// What Explorer's selection tells the command (IShellExtInit::Initialize): the mode,
// the folder the command works in and, for a file, the suggested pattern.
#pragma once
#include <string>

#include "common/types.h"

namespace korvane {

struct Selection {
    InvocationMode mode = kExtensionMode;
    std::u16string currentFolder;     // "D:" for a drive root
    std::u16string extensionPattern;  // from the first selected file's extension; empty in folder mode
    // The selected item's path cannot be used: too long for the system's functions,
    // or (from an ANSI drop list) not a path the code page spells exactly. The
    // command then does nothing.
    bool unusable = false;
};

}  // namespace korvane
