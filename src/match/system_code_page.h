// Makes the path cuts follow the system's ANSI code page: Shift-JIS's lead bytes in
// code page 932, none in 1252, the code page's own in the other double-byte ones.
// Header only, so that the uninstaller, which links the text library alone, can
// call it too.
#pragma once
#include <windows.h>

#include "match/path_text.h"

namespace korvane {

inline void UseSystemLeadBytes() {
    CPINFO info = {};
    if (GetCPInfo(CP_ACP, &info)) SetLeadByteRanges(info.LeadByte, sizeof info.LeadByte);
}

}  // namespace korvane
