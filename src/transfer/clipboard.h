// Copy and cut to the clipboard: a file-drop list of the matches and the drop effect
// that tells a later paste whether to copy or to move them.
#pragma once
#include <windows.h>

#include "match/match_list.h"
#include "common/types.h"

namespace korvane {

// action: kCopyToClipboard or kCutToClipboard. owner: the clipboard's owner window;
// it also owns the message that tells of names left out.
void PutFilesOnClipboard(const MatchList& matches, ActionKind action, HWND owner);

}  // namespace korvane
