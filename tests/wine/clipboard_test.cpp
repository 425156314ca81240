// Copy and cut to the clipboard: the drop list and the drop effect as a paste reads
// them, and a real paste of the files through the shell. The drop list is UTF-16
// (fWide 1) on the NT family and the code page's bytes (fWide 0) on the 9x family
// (the run with Wine's win98 setting).
#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "common/unique_handle.h"
#include "match/folder_scan.h"
#include "match/match_name.h"
#include "test_support.h"
#include "transfer/clipboard.h"

using namespace testsupport;
using Paths = std::vector<std::u16string>;

namespace {

// Another thread or process may hold the clipboard for a moment.
bool OpenClipboardPatiently(HWND owner = nullptr) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

UINT DropEffectFormat() { return RegisterClipboardFormatW(L"Preferred DropEffect"); }

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// A CF_HDROP block read field by field: the DROPFILES header (pFiles at 0, fWide at
// 16), then NUL-ended paths in units of fWide's width, and one more NUL. complete
// says that the list ended exactly at the end of the block.
struct DropBlock {
    bool complete = false;
    bool wide = false;
    Paths paths;
};

DropBlock ParseDropBlock(const std::string& bytes) {
    DropBlock block;
    if (bytes.size() < 20) return block;
    std::size_t at = U32At(bytes, 0);
    block.wide = U32At(bytes, 16) != 0;
    const std::size_t unit = block.wide ? 2 : 1;
    std::u16string wide;
    std::string ansi;
    while (at + unit <= bytes.size()) {
        const char16_t c = block.wide ? static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                                              static_cast<unsigned char>(bytes[at + 1]) << 8)
                                      : static_cast<char16_t>(static_cast<unsigned char>(bytes[at]));
        at += unit;
        if (c != 0) {
            if (block.wide)
                wide += c;
            else
                ansi += static_cast<char>(c);
            continue;
        }
        if (wide.empty() && ansi.empty()) {  // the second NUL: the end of the list
            block.complete = at == bytes.size();
            return block;
        }
        block.paths.push_back(block.wide ? wide : U(ansi));
        wide.clear();
        ansi.clear();
    }
    return block;
}

struct ClipboardContent {
    bool hasDropList = false;
    std::string dropBytes;  // the whole CF_HDROP block
    Paths files;            // as DragQueryFileW reads them
    bool hasEffect = false;
    DWORD effect = 0;
    std::string text;  // CF_TEXT, when there is one
};

ClipboardContent ReadClipboard() {
    ClipboardContent content;
    if (!OpenClipboardPatiently()) {
        ADD_FAILURE() << "the clipboard cannot be opened";
        return content;
    }
    if (HANDLE drop = GetClipboardData(CF_HDROP)) {
        content.hasDropList = true;
        GlobalLockGuard lock(drop);
        if (lock.Data()) content.dropBytes.assign(static_cast<const char*>(lock.Data()), GlobalSize(drop));
        // Wine's DragQueryFile counts entries past the end of an empty list.
        const bool emptyList = ParseDropBlock(content.dropBytes).paths.empty();
        const UINT count = emptyList ? 0 : DragQueryFileW(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t path[MAX_PATH * 2] = {};
            DragQueryFileW(static_cast<HDROP>(drop), i, path, MAX_PATH * 2);
            content.files.push_back(reinterpret_cast<const char16_t*>(path));
        }
    }
    if (HANDLE effect = GetClipboardData(DropEffectFormat())) {
        content.hasEffect = true;
        GlobalLockGuard lock(effect);
        if (lock.Data() && GlobalSize(effect) >= sizeof(DWORD)) std::memcpy(&content.effect, lock.Data(), sizeof(DWORD));
    }
    if (HANDLE text = GetClipboardData(CF_TEXT)) {
        GlobalLockGuard lock(text);
        if (lock.Data()) content.text = static_cast<const char*>(lock.Data());
    }
    CloseClipboard();
    return content;
}

void PutTextOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboardPatiently());
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    {
        GlobalLockGuard lock(block);
        std::memcpy(lock.Data(), text.c_str(), text.size() + 1);
    }
    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    CloseClipboard();
}

// The list with its total of path units; a stale total when one is given.
korvane::MatchList ListOf(const Paths& paths, std::int64_t staleTotal = -1) {
    korvane::MatchList list{paths, {}, 0, {}};
    for (const auto& p : paths) list.pathUnits += static_cast<std::uint32_t>(p.size() + 1);
    if (staleTotal >= 0) list.pathUnits = static_cast<std::uint32_t>(staleTotal);
    return list;
}

// The block a paste reads, byte for byte: UTF-16LE on the NT family, the code
// page's bytes on the 9x family.
std::string DropListOf(const Paths& paths) {
    const bool wide = IsNtPlatform();
    std::string bytes("\x14\0\0\0", 4);
    bytes += std::string(12, '\0');
    bytes += std::string(wide ? "\x01\0\0\0" : "\0\0\0\0", 4);
    for (const auto& p : paths) {
        if (wide) {
            for (char16_t c : p) {
                bytes += static_cast<char>(c & 0xFF);
                bytes += static_cast<char>(c >> 8);
            }
            bytes += std::string(2, '\0');
        } else {
            bytes += A(p) + '\0';
        }
    }
    return bytes + std::string(wide ? 2 : 1, '\0');
}

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

TEST(Clipboard, DropListAndEffectReplaceWhatTheClipboardHeld) {
    const std::u16string japanese = u"D:\\表\\ソル.txt";  // 0x5C as second bytes in code page 932
    const struct {
        korvane::ActionKind action;
        Paths paths;
        std::size_t wideSize, ansiSize;
        DWORD effect;
    } cases[] = {
        {korvane::kCopyToClipboard, {u"D:\\a.txt", u"D:\\b.txt", u"D:\\c.txt"}, 76, 48, 1},
        {korvane::kCutToClipboard, {u"D:\\a.txt", u"D:\\b.txt", u"D:\\c.txt"}, 76, 48, 2},
        {korvane::kCopyToClipboard, {}, 22, 21, 1},  // an empty list still replaces the clipboard
        {korvane::kCutToClipboard, {japanese, u"D:\\x"}, 56, 41, 2},
    };
    for (const auto& c : cases) {
        PutTextOnClipboard("held before");
        korvane::PutFilesOnClipboard(ListOf(c.paths), c.action, GetDesktopWindow());

        const ClipboardContent content = ReadClipboard();
        EXPECT_TRUE(content.text.empty()) << "the text held before is gone";
        ASSERT_TRUE(content.hasDropList) << c.paths.size();
        EXPECT_EQ(content.dropBytes.size(), IsNtPlatform() ? c.wideSize : c.ansiSize);
        EXPECT_EQ(content.dropBytes, DropListOf(c.paths));
        const DropBlock block = ParseDropBlock(content.dropBytes);
        EXPECT_TRUE(block.complete);
        EXPECT_EQ(block.wide, IsNtPlatform());
        EXPECT_EQ(block.paths, c.paths);
        EXPECT_EQ(content.files, c.paths) << "as a paste reads them";
        EXPECT_TRUE(content.hasEffect);
        EXPECT_EQ(content.effect, c.effect);
    }
}

namespace {

// A folder holding cafe.txt and names code page 932 cannot hold, made in UTF-16.
const Paths kNames = {u"cafe.txt", u"café.txt", u"한국어.txt", u"a😀.txt", u"snow☃.txt", u"a¥..¥..¥notes.txt"};

bool MakeNamesFolder(const TempFolder& folder) {
    for (const auto& name : kNames)
        if (!WriteFileU(folder / name, "content of " + A(name))) return false;
    return true;
}

// The shell's file operation, as a paste hands it the clipboard's list: every path
// copied into the folder, without a window.
bool ShellCopy(const Paths& files, const std::u16string& folder) {
    std::u16string from;
    for (const auto& f : files) from += f + u'\0';
    from += u'\0';
    const std::u16string to = folder + u'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_COPY;
    operation.pFrom = W(from);
    operation.pTo = W(to);
    operation.fFlags = FOF_NO_UI;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

}  // namespace

// On the NT family every name of the folder goes on the clipboard exactly, in the
// UTF-16 list, with no message; café.txt is never confused with cafe.txt, nor is
// a¥..¥..¥notes.txt read as a path leading out of the folder. The shell's paste
// then copies every one of them to its own name.
TEST(Clipboard, NamesOutsideTheCodePageGoOnTheClipboardExactly) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the NT family's list; the 9x family has a test of its own";
    TempFolder folder;
    ASSERT_TRUE(MakeNamesFolder(folder));
    Paths want;
    for (const auto& name : kNames) want.push_back(folder / name);
    const korvane::MatchList all = korvane::ScanFolder(folder.PathU(), korvane::PreparedPattern(u"*.txt", 0));
    ASSERT_EQ(Sorted(all.paths), Sorted(want));
    for (auto action : {korvane::kCopyToClipboard, korvane::kCutToClipboard}) {
        SCOPED_TRACE(testing::Message() << "action " << action);
        EXPECT_EQ(RunAndCloseMessageBox([&] { korvane::PutFilesOnClipboard(all, action, nullptr); }, 1000), "(none)");
        const ClipboardContent content = ReadClipboard();
        const DropBlock block = ParseDropBlock(content.dropBytes);
        EXPECT_TRUE(block.wide);
        EXPECT_TRUE(block.complete);
        EXPECT_EQ(block.paths, all.paths) << "in the scan's order";
        EXPECT_EQ(content.files, all.paths);
        EXPECT_EQ(content.effect, action == korvane::kCutToClipboard ? DWORD{DROPEFFECT_MOVE} : DWORD{DROPEFFECT_COPY});

        TempFolder pasted("paste");
        ASSERT_TRUE(ShellCopy(content.files, pasted.PathU()));
        EXPECT_EQ(NamesIn(pasted.PathU()), Sorted(kNames));
        for (const auto& name : kNames) EXPECT_EQ(ReadFileU(pasted / name), "content of " + A(name)) << A(name);
        EXPECT_EQ(NamesIn(folder.PathU()), Sorted(kNames)) << "a paste of a copy leaves the sources";
    }
}

// On the 9x family the list holds the code page's bytes: a path the code page
// cannot hold exactly is left out, never handed over as the name of another file
// (cafe.txt for café.txt, a\..\..\notes.txt for a¥..¥..¥notes.txt), and the user is
// told how many were left out.
TEST(Clipboard, NinetyFamilyLeavesOutNamesTheCodePageCannotHold) {
    if (IsNtPlatform()) GTEST_SKIP() << "run with the Windows version set to win98";
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    TempFolder folder;
    ASSERT_TRUE(MakeNamesFolder(folder));
    Paths paths;
    for (const auto& name : kNames) paths.push_back(folder / name);
    for (auto action : {korvane::kCopyToClipboard, korvane::kCutToClipboard}) {
        const std::string shown = RunAndCloseMessageBox([&] { korvane::PutFilesOnClipboard(ListOf(paths), action, nullptr); });
        const ClipboardContent content = ReadClipboard();
        const DropBlock block = ParseDropBlock(content.dropBytes);
        EXPECT_FALSE(block.wide) << action;
        EXPECT_EQ(content.dropBytes, DropListOf({folder / u"cafe.txt"})) << action;
        EXPECT_EQ(content.files, Paths{folder / u"cafe.txt"}) << action;
        const std::string want = A(u"名前");  // the start of the message
        EXPECT_EQ(shown.compare(0, want.size(), want), 0) << shown;
        EXPECT_NE(shown.find("5 "), std::string::npos) << shown;
    }
    // Nothing left out: no message.
    EXPECT_EQ(RunAndCloseMessageBox(
                  [&] { korvane::PutFilesOnClipboard(ListOf({folder / u"cafe.txt"}), korvane::kCopyToClipboard, nullptr); },
                  1000),
              "(none)");
    EXPECT_EQ(ReadClipboard().files, Paths{folder / u"cafe.txt"});
}

TEST(Clipboard, AStaleTotalDoesNotShortenOrOverrunTheBlock) {
    const Paths paths = {u"C:\\first.txt", u"C:\\second.txt", u"C:\\third.txt"};
    for (std::uint32_t staleTotal : {0u, 5u, 1000u}) {
        korvane::PutFilesOnClipboard(ListOf(paths, staleTotal), korvane::kCopyToClipboard, nullptr);
        const ClipboardContent content = ReadClipboard();
        EXPECT_EQ(content.dropBytes, DropListOf(paths)) << staleTotal;
        EXPECT_EQ(content.files, paths) << staleTotal;
    }
}

TEST(Clipboard, AClipboardHeldElsewhereIsLeftAsItWas) {
    PutTextOnClipboard("still here");
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    BackgroundThread holder([&] {
        // Held by a window: Wine lets a second opener with no window in.
        HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (OpenClipboardPatiently(window)) {
            SetEvent(opened);
            WaitForSingleObject(release, 20000);
            CloseClipboard();
        }
        DestroyWindow(window);
    });
    ASSERT_EQ(WaitForSingleObject(opened, 10000), WAIT_OBJECT_0);
    korvane::PutFilesOnClipboard(ListOf({u"C:\\a.txt"}), korvane::kCutToClipboard, nullptr);
    SetEvent(release);
    ASSERT_TRUE(holder.Join());
    CloseHandle(opened);
    CloseHandle(release);

    const ClipboardContent content = ReadClipboard();
    EXPECT_EQ(content.text, "still here");
    EXPECT_FALSE(content.hasDropList);
    EXPECT_FALSE(content.hasEffect);
}

namespace {

// What a paste in Explorer does with the clipboard: the drop list, copied or moved as
// the drop effect says, by the shell's file operation.
bool PasteAsExplorerDoes(const std::u16string& folder) {
    const ClipboardContent content = ReadClipboard();
    if (!content.hasDropList || content.files.empty()) return false;
    // One destination per file: Wine's move of several files into one folder gives up.
    std::u16string from, to;
    for (const auto& f : content.files) {
        from += f + u'\0';
        to += folder + u"\\" + korvane::LastPathComponent(f) + u'\0';
    }
    from += u'\0';
    to += u'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = content.effect == DROPEFFECT_MOVE ? FO_MOVE : FO_COPY;
    operation.pFrom = W(from);
    operation.pTo = W(to);
    operation.fFlags = FOF_MULTIDESTFILES | FOF_NO_UI;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// The shell's own "paste" on the background of a folder, as the folder's Edit menu runs it.
HRESULT PasteWithShellVerb(const std::u16string& folder) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    HRESULT hr = SHParseDisplayName(W(folder), nullptr, &pidl, 0, nullptr);
    if (FAILED(hr)) return hr;
    ComPtr<IShellFolder> desktop, target;
    hr = SHGetDesktopFolder(desktop.Put());
    if (SUCCEEDED(hr)) hr = desktop->BindToObject(pidl, nullptr, IID_IShellFolder, target.PutVoid());
    CoTaskMemFree(pidl);
    if (FAILED(hr)) return hr;
    ComPtr<IContextMenu> menu;
    hr = target->CreateViewObject(nullptr, IID_IContextMenu, menu.PutVoid());
    if (FAILED(hr)) return hr;
    HMENU popup = CreatePopupMenu();
    menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = "paste";
    invoke.nShow = SW_SHOWNORMAL;
    invoke.fMask = CMIC_MASK_FLAG_NO_UI;
    hr = menu->InvokeCommand(&invoke);
    DestroyMenu(popup);
    return hr;
}

struct PasteCase {
    korvane::ActionKind action;
    // The shell's own paste verb; Wine's always copies, whatever the drop effect, so a
    // cut is pasted through the file operation instead.
    bool shellVerb;
    bool sourcesStay;
};

}  // namespace

TEST(Clipboard, APasteCopiesOrMovesTheFiles) {
    const PasteCase cases[] = {
        {korvane::kCopyToClipboard, true, true},
        {korvane::kCutToClipboard, false, false},
    };
    for (const auto& c : cases) {
        TempFolder source("src"), destination("dst");
        const Paths names = {u"a.txt", u"表ソ.txt", u"ルnoext"};
        Paths paths;
        for (const auto& n : names) {
            ASSERT_TRUE(WriteFileU(source / n, "content of " + A(n)));
            paths.push_back(source / n);
        }
        korvane::PutFilesOnClipboard(ListOf(paths), c.action, GetDesktopWindow());

        if (c.shellVerb)
            EXPECT_EQ(PasteWithShellVerb(destination.PathU()), S_OK);
        else
            EXPECT_TRUE(PasteAsExplorerDoes(destination.PathU()));
        for (const auto& n : names) {
            EXPECT_EQ(ReadFileU(destination / n), "content of " + A(n)) << c.action << c.shellVerb;
            EXPECT_EQ(FileExistsU(source / n), c.sourcesStay) << c.action << c.shellVerb;
        }
    }
}
