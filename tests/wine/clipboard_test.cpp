// Copy and cut to the clipboard: the drop list and the drop effect as a paste reads
// them, and a real paste of the files through the shell.
#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "match/match_name.h"
#include "common/path_text.h"
#include "test_support.h"
#include "transfer/clipboard.h"
#include "match/folder_scan.h"

using namespace testsupport;
using Strings = std::vector<std::string>;

namespace {

// Another thread or process may hold the clipboard for a moment.
bool OpenClipboardPatiently(HWND owner = nullptr) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

UINT DropEffectFormat() { return RegisterClipboardFormatA("Preferred DropEffect"); }

struct ClipboardContent {
    bool hasDropList = false;
    std::string dropBytes;  // the whole CF_HDROP block
    Strings files;          // as DragQueryFileA reads them
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
        // Wine's DragQueryFileA counts entries past the end of an empty list.
        const bool emptyList = content.dropBytes.size() > 20 && content.dropBytes[20] == '\0';
        const UINT count = emptyList ? 0 : DragQueryFileA(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH * 2] = {};
            DragQueryFileA(static_cast<HDROP>(drop), i, path, sizeof path);
            content.files.push_back(path);
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

// The list with its total of path bytes; a stale total when one is given.
korvane::MatchList ListOf(const Strings& paths, std::int64_t staleTotal = -1) {
    korvane::MatchList list{paths, {}, 0, {}};
    for (const auto& p : paths) list.pathBytes += static_cast<std::uint32_t>(p.size() + 1);
    if (staleTotal >= 0) list.pathBytes = static_cast<std::uint32_t>(staleTotal);
    return list;
}

std::string DropListOf(const Strings& paths) {
    std::string bytes("\x14\0\0\0", 4);
    bytes += std::string(16, '\0');
    for (const auto& p : paths) bytes += p + '\0';
    return bytes + '\0';
}

}  // namespace

TEST(Clipboard, DropListAndEffectReplaceWhatTheClipboardHeld) {
    const std::string doubleByte = std::string("D:\\") + kHyo + "\\" + kSo + kRu + ".txt";
    const struct {
        korvane::ActionKind action;
        Strings paths;
        std::size_t blockSize;
        DWORD effect;
    } cases[] = {
        {korvane::kCopyToClipboard, {"D:\\a.txt", "D:\\b.txt", "D:\\c.txt"}, 48, 1},
        {korvane::kCutToClipboard, {"D:\\a.txt", "D:\\b.txt", "D:\\c.txt"}, 48, 2},
        {korvane::kCopyToClipboard, {}, 21, 1},  // an empty list still replaces the clipboard
        {korvane::kCutToClipboard, {doubleByte, "D:\\x"}, 20 + doubleByte.size() + 1 + 5 + 1, 2},
    };
    for (const auto& c : cases) {
        PutTextOnClipboard("held before");
        korvane::PutFilesOnClipboard(ListOf(c.paths), c.action, GetDesktopWindow());

        const ClipboardContent content = ReadClipboard();
        EXPECT_TRUE(content.text.empty()) << "the text held before is gone";
        ASSERT_TRUE(content.hasDropList) << c.paths.size();
        EXPECT_EQ(content.dropBytes.size(), c.blockSize);
        EXPECT_EQ(content.dropBytes, DropListOf(c.paths));
        EXPECT_EQ(content.files, c.paths) << "byte for byte, as a paste reads them";
        EXPECT_TRUE(content.hasEffect);
        EXPECT_EQ(content.effect, c.effect);
    }
}

// A folder with cafe.txt and names code page 932 cannot hold (made in UTF-16):
// both actions put cafe.txt alone on the clipboard, never a lossy path such as
// caf?.txt or one that reads a¥..¥ as a\..\, and say afterwards how many were left out.
TEST(Clipboard, NamesTheCodePageCannotHoldAreLeftOutAndCounted) {
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "cafe.txt"));
    for (const wchar_t* name : {L"caf\u00e9.txt", L"a\u00a5..\u00a5..\u00a5notes.txt", L"snow\u2603.txt"})
        ASSERT_TRUE(WriteWideFile(Widen(folder.Path()) + L"\\" + name));
    const korvane::MatchList all = korvane::ScanFolder(folder.Path(), korvane::PreparedPattern("*.txt", 0));
    for (auto action : {korvane::kCopyToClipboard, korvane::kCutToClipboard}) {
        const std::string shown = RunAndCloseMessageBox([&] { korvane::PutFilesOnClipboard(all, action, nullptr); });
        EXPECT_EQ(ReadClipboard().files, Strings{folder / "cafe.txt"}) << action;
        const std::string want = "\x96\xBC\x91\x4F";  // 名前, the start of the message
        EXPECT_EQ(shown.compare(0, want.size(), want), 0) << shown;
        EXPECT_NE(shown.find("3 "), std::string::npos) << shown;
    }
    // Nothing left out: no message.
    const korvane::MatchList cafe = korvane::ScanFolder(folder.Path(), korvane::PreparedPattern("cafe.*", 0));
    EXPECT_EQ(RunAndCloseMessageBox([&] { korvane::PutFilesOnClipboard(cafe, korvane::kCopyToClipboard, nullptr); }, 1000),
              "(none)");
    EXPECT_EQ(ReadClipboard().files, Strings{folder / "cafe.txt"});
}

TEST(Clipboard, AStaleTotalDoesNotShortenOrOverrunTheBlock) {
    const Strings paths = {"C:\\first.txt", "C:\\second.txt", "C:\\third.txt"};
    for (std::uint32_t staleTotal : {0u, 5u, 1000u}) {
        korvane::PutFilesOnClipboard(ListOf(paths, staleTotal), korvane::kCopyToClipboard, nullptr);
        const ClipboardContent content = ReadClipboard();
        EXPECT_EQ(content.dropBytes, DropListOf(paths)) << staleTotal;
        EXPECT_EQ(content.files, paths) << staleTotal;
    }
}

TEST(Clipboard, AClipboardHeldElsewhereIsLeftAsItWas) {
    PutTextOnClipboard("still here");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BackgroundThread holder([&] {
        // Held by a window: Wine lets a second opener with no window in.
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (OpenClipboardPatiently(window)) {
            SetEvent(opened);
            WaitForSingleObject(release, 20000);
            CloseClipboard();
        }
        DestroyWindow(window);
    });
    ASSERT_EQ(WaitForSingleObject(opened, 10000), WAIT_OBJECT_0);
    korvane::PutFilesOnClipboard(ListOf({"C:\\a.txt"}), korvane::kCutToClipboard, nullptr);
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
bool PasteAsExplorerDoes(const std::string& folder) {
    const ClipboardContent content = ReadClipboard();
    if (!content.hasDropList || content.files.empty()) return false;
    // One destination per file: Wine's move of several files into one folder gives up.
    std::string from, to;
    for (const auto& f : content.files) {
        from += f + '\0';
        to += folder + "\\" + korvane::LastPathComponent(f) + '\0';
    }
    from += '\0';
    to += '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = content.effect == DROPEFFECT_MOVE ? FO_MOVE : FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

// The shell's own "paste" on the background of a folder, as the folder's Edit menu runs it.
HRESULT PasteWithShellVerb(const std::string& folder) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    HRESULT hr = SHParseDisplayName(Widen(folder).c_str(), nullptr, &pidl, 0, nullptr);
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
        const Strings names = {"a.txt", std::string(kHyo) + kSo + ".txt", std::string(kRu) + "noext"};
        Strings paths;
        for (const auto& n : names) {
            ASSERT_TRUE(WriteTextFile(source / n, "content of " + n));
            paths.push_back(source / n);
        }
        korvane::PutFilesOnClipboard(ListOf(paths), c.action, GetDesktopWindow());

        if (c.shellVerb)
            EXPECT_EQ(PasteWithShellVerb(destination.Path()), S_OK);
        else
            EXPECT_TRUE(PasteAsExplorerDoes(destination.Path()));
        for (const auto& n : names) {
            EXPECT_EQ(ReadTextFile(destination / n), "content of " + n) << c.action << c.shellVerb;
            EXPECT_EQ(FileExists(source / n), c.sourcesStay) << c.action << c.shellVerb;
        }
    }
}
