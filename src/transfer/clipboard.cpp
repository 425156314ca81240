// Copy and cut to the clipboard: a file-drop list of the matches and the drop effect
// that tells a later paste whether to copy or to move them.
#include <cstring>
#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "os/ansi.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/clipboard.h"
#include "transfer/drop_list.h"
#include "transfer/left_out.h"

namespace korvane {

namespace {

// A movable, zeroed global block holding the given bytes; empty when memory is short.
UniqueGlobal GlobalBlockOf(const void* bytes, std::size_t size) {
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block) return block;
    {
        GlobalLockGuard lock(block.Get());
        if (!lock.Data()) return UniqueGlobal();
        std::memcpy(lock.Data(), bytes, size);
    }
    return block;
}

// The drop list the system reads: UTF-16 on the NT family (fWide 1), so that every
// name arrives exactly; the code page's bytes on the 9x family (fWide 0), where a path
// the code page cannot hold exactly is left out rather than handed over as another
// file's name. leftOut counts those.
std::string DropListFor(const std::vector<std::u16string>& paths, std::size_t& leftOut) {
    if (IsNt()) return BuildDropList(paths);
    std::vector<std::string> ansiPaths;
    ansiPaths.reserve(paths.size());
    for (const std::u16string& path : paths) {
        std::string ansi;
        if (ToAnsiExact(path, ansi))
            ansiPaths.push_back(std::move(ansi));
        else
            ++leftOut;
    }
    return BuildAnsiDropList(ansiPaths);
}

}  // namespace

void PutFilesOnClipboard(const MatchList& matches, ActionKind action, HWND owner) {
    try {
        // Sized from the list itself, never from a total kept beside it: a total that
        // no longer fits the list must not make the copy run past the block.
        std::size_t leftOut = matches.leftOut.size();
        const std::string dropList = DropListFor(matches.paths, leftOut);
        const std::uint32_t effect = PreferredDropEffect(action);

        UniqueGlobal dropBlock = GlobalBlockOf(dropList.data(), dropList.size());
        if (!dropBlock) return;
        UniqueGlobal effectBlock = GlobalBlockOf(&effect, sizeof effect);
        if (!effectBlock) return;
        const UINT effectFormat = RegisterClipboardFormatA("Preferred DropEffect");

        if (!OpenClipboard(owner)) return;
        EmptyClipboard();
        // Once SetClipboardData accepts a block it belongs to the clipboard; a refused
        // one stays ours and is freed on the way out.
        if (SetClipboardData(CF_HDROP, dropBlock.Get())) dropBlock.Release();
        if (effectFormat && SetClipboardData(effectFormat, effectBlock.Get())) effectBlock.Release();
        CloseClipboard();
        if (leftOut != 0) {
            // After the clipboard is closed again, so that nothing waits on the box.
            ShowMessage(owner, WithCount(LoadResourceString(IDS_CLIPBOARD_NAMES_LEFT_OUT), leftOut), MB_ICONEXCLAMATION);
        }
    } catch (...) {
        // Memory too short for the list: the clipboard was not touched.
    }
}

}  // namespace korvane
