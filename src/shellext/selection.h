// What Explorer's selection tells the command (IShellExtInit::Initialize): the mode,
// the folder the command works in and, for a file, the suggested pattern.
#pragma once
#include <string>

#include "common/types.h"

namespace korvane {

struct Selection {
    InvocationMode mode = kExtensionMode;
    std::string currentFolder;     // "D:" for a drive root
    std::string extensionPattern;  // from the first selected file's extension; empty in folder mode
    // The selected item's path does not convert exactly to the ANSI code page: its
    // ANSI form would name another item, or none. The command then does nothing.
    bool unusable = false;
};

}  // namespace korvane
