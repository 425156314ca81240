// A run never holds Explorer's thread and never loses a file: the stop button inside a
// large file, a large file copied in full, a search that never ends, another spelling
// of the current folder as the destination, a file the run is about to replace that is
// a waiting source under another name (and the guard that refuses it), and a move whose
// source stays. Its own program: the search that never ends leaves a thread running
// until the program exits.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "os/files.h"
#include "resources/resource.h"
#include "test_support.h"
#include "transfer/progress_dialog.h"
#include "transfer/transfer_engine.h"
#include "transfer/write_guard.h"
#include "transfer_driver.h"

using namespace testsupport;
using namespace transferdriver;

namespace {

const std::u16string kStopped = u"中止";
const std::u16string kSourceKept = u"失敗 (移動元を削除できません)";

bool DriveMapped(const wchar_t* root) {
    const DWORD attributes = GetFileAttributesW(root);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file of that size whose data costs nothing to make (the file system keeps it sparse).
bool MakeLargeFile(const std::u16string& path, LONGLONG size) {
    UniqueFile file(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    return file && SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get());
}

LONGLONG SizeOf(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// What a second thread saw of the progress dialog while a run went on.
struct Watch {
    bool answered = false;   // a WM_NULL sent to the dialog came back while the run went on
    bool barMoved = false;   // the bar left its start inside the first file
    bool clicked = false;    // the stop button was pressed
};

// Waits for the progress dialog of threadId; then, when stopWhenBarMoves, presses
// the stop button once the bar has moved inside the first file, or else after
// delayMs. Every wait has a limit.
void WatchAndStop(DWORD threadId, Watch& watch, bool stopWhenBarMoves, DWORD delayMs) {
    const HWND dialog = WaitForDialog(threadId, 10000);
    if (!dialog) return;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000 && IsWindow(dialog)) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) watch.answered = true;
        const LRESULT position = SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0);
        watch.barMoved = watch.barMoved || (position > 0 && position < korvane::kBarSteps);
        if ((stopWhenBarMoves && watch.barMoved) || (!stopWhenBarMoves && GetTickCount() - start >= delayMs)) {
            SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)), SMTO_ABORTIFHUNG, 1000,
                                &result);
            watch.clicked = true;
            return;
        }
        Sleep(2);
    }
}

}  // namespace

// The stop button inside a file of 512 MiB: the bar moves inside it, the dialog keeps
// answering, and the stop ends the file there: its row says 中止, nothing of it stays
// at the destination, and the source is whole (also for a move to another volume).
TEST(TransferRun, StopInsideALargeFileLeavesNothingHalfDone) {
    constexpr LONGLONG kSize = 512LL << 20;
    TempFolder src, dst;
    ASSERT_TRUE(MakeLargeFile(src / u"big.bin", kSize));
    ASSERT_TRUE(WriteFileU(src / u"after.txt", "after"));
    std::vector<std::pair<korvane::ActionKind, std::u16string>> runs = {{korvane::kCopyToFolder, dst.PathU()}};
    const std::u16string other = u"K:\\kv_stop_" + U(std::to_string(GetCurrentProcessId()));
    if (DriveMapped(L"K:\\")) runs.push_back({korvane::kMoveToFolder, other});
    for (const auto& [action, target] : runs) {
        Transfer t(src.PathU(), {src / u"big.bin", src / u"after.txt"}, target, action);
        Watch watch;
        const DWORD thread = GetCurrentThreadId();
        BackgroundThread watcher([&] { WatchAndStop(thread, watch, true, 0); });
        t.Run();
        ASSERT_TRUE(watcher.Join());
        EXPECT_TRUE(watch.answered) << action;
        EXPECT_TRUE(watch.barMoved) << action;
        ASSERT_TRUE(watch.clicked) << action;
        EXPECT_EQ(t.Rows(), (std::vector<ResultRow>{{src.PathU(), target, u"big.bin", kStopped}})) << action;
        EXPECT_FALSE(FileExistsU(target + u"\\big.bin")) << action;
        EXPECT_FALSE(FileExistsU(target + u"\\after.txt")) << "nothing after the stop: " << action;
        EXPECT_EQ(SizeOf(src / u"big.bin"), kSize) << action;
    }
    RemoveDirectoryW(W(other));
}

// A file large enough to be copied with progress arrives as a copy would leave it: every
// byte, no more (an older, longer destination it overwrites is cut to size), the
// source's last-write time (which "if newer" compares at the next run) and, for a copy,
// its read-only attribute (a read-only source is not deleted: see the next test); a
// move to another volume leaves no source.
TEST(TransferRun, ALargeFileArrivesWholeWithItsTimeAndAttributes) {
    std::string data((4u << 20) + 12345, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 7 + i / 4099) % 251);
    const FILETIME stamp = {0x2A3B4C00u, 0x01D5F000u};  // a day in 2020
    const std::u16string other = u"K:\\kv_whole_" + U(std::to_string(GetCurrentProcessId()));
    TempFolder fresh, older;
    ASSERT_TRUE(WriteFileU(older / u"big.bin", std::string(8u << 20, 'o')));
    const struct {
        const char* what;
        korvane::ActionKind action;
        std::u16string target;
    } cases[] = {
        {"copy", korvane::kCopyToFolder, fresh.PathU()},
        {"copy over a longer file", korvane::kCopyToFolder, older.PathU()},
        {"move to another volume", korvane::kMoveToFolder, other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.target == other && !DriveMapped(L"K:\\")) continue;
        TempFolder src;
        const std::u16string from = src / u"big.bin", to = c.target + u"\\big.bin";
        ASSERT_TRUE(WriteFileU(from, data));
        {
            UniqueFile file(CreateFileW(W(from), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &stamp));
        }
        const bool copy = c.action == korvane::kCopyToFolder;
        ASSERT_TRUE(!copy || SetFileAttributesW(W(from), FILE_ATTRIBUTE_READONLY));
        Transfer t(src.PathU(), {from}, c.target, c.action, korvane::kOverwriteAlways);
        t.Run();
        EXPECT_EQ(t.Rows(), (std::vector<ResultRow>{CopyRow(src.PathU(), c.target, u"big.bin", true)}));
        EXPECT_TRUE(ReadFileU(to) == data) << "size " << SizeOf(to) << " of " << data.size();
        WIN32_FILE_ATTRIBUTE_DATA arrived = {};
        ASSERT_TRUE(GetFileAttributesExW(W(to), GetFileExInfoStandard, &arrived));
        EXPECT_EQ(CompareFileTime(&arrived.ftLastWriteTime, &stamp), 0);
        EXPECT_EQ((arrived.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0, copy);
        EXPECT_EQ(FileExistsU(from), copy);
        for (const std::u16string* path : {&from, &to}) {
            SetFileAttributesW(W(*path), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(W(*path));
        }
    }
    RemoveDirectoryW(W(other));
}

// Across volumes a move is a copy and a delete; a source that cannot be deleted stays,
// the copy stays too, and the row tells so instead of 成功.
TEST(TransferRun, AMoveWhoseSourceStaysIsNotTakenForMoved) {
    if (!DriveMapped(L"K:\\")) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";
    TempFolder src;
    const std::u16string target = u"K:\\kv_kept_" + U(std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(WriteFileU(src / u"kept.txt", "kept"));
    ASSERT_TRUE(WriteFileU(src / u"gone.txt", "gone"));
    ASSERT_TRUE(SetFileAttributesW(W(src / u"kept.txt"), FILE_ATTRIBUTE_READONLY));
    Transfer t(src.PathU(), {src / u"kept.txt", src / u"gone.txt"}, target, korvane::kMoveToFolder);
    t.Run();
    EXPECT_EQ(t.Rows(), (std::vector<ResultRow>{{src.PathU(), target, u"kept.txt", kSourceKept},
                                                CopyRow(src.PathU(), target, u"gone.txt", true)}));
    EXPECT_EQ(ReadFileU(src / u"kept.txt"), "kept");
    EXPECT_EQ(ReadFileU(target + u"\\kept.txt"), "kept");
    EXPECT_FALSE(FileExistsU(src / u"gone.txt"));
    SetFileAttributesW(W(src / u"kept.txt"), FILE_ATTRIBUTE_NORMAL);
    for (const char16_t* name : {u"\\kept.txt", u"\\gone.txt"}) {
        SetFileAttributesW(W(target + name), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(W(target + name));
    }
    RemoveDirectoryW(W(target));
}

// The current folder reached through another drive letter (L: maps C:\ by the
// transfer.alias fixture) as the destination's spelling: the subfolder scan still
// leaves the destination out, exactly as with the same spelling; no sel\sel appears
// and the inner file is not carried into itself.
TEST(TransferRun, TheDestinationUnderAnotherSpellingIsStillLeftOutOfTheScan) {
    if (!DriveMapped(L"L:\\")) GTEST_SKIP() << "drive L: is mapped by the transfer.alias fixture";
    for (const bool alias : {false, true}) {
        TempFolder src;
        ASSERT_TRUE(WriteFileU(src / u"a.jpg", "top"));
        ASSERT_TRUE(WriteFileU(src / u"sel\\a.jpg", "inner"));
        const std::u16string destination = alias ? u"L" + (src / u"sel").substr(1) : src / u"sel";
        Transfer t(src.PathU(), {}, destination, korvane::kCopyToFolder, korvane::kOverwriteAlways);
        t.Scan(u"*.jpg", true);
        t.Run();
        EXPECT_EQ(t.Rows(), (std::vector<ResultRow>{CopyRow(src.PathU(), destination, u"a.jpg", true)})) << alias;
        EXPECT_EQ(ReadFileU(src / u"sel\\a.jpg"), "top") << "the user's own choice: overwrite without asking";
        EXPECT_FALSE(FileExistsU(src / u"sel\\sel")) << alias;
    }
}

// A file at the destination that is a hard link to a source still waiting: replacing
// it would destroy that source before its turn. Its identity gives it away whatever
// its name, and the file gets a failed row; the waiting source arrives whole.
TEST(TransferRun, AWaitingSourceUnderAnotherNameIsNeverReplaced) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"a.txt", "A"));
    ASSERT_TRUE(WriteFileU(src / u"z.txt", "Z"));
    if (!CreateHardLinkW(W(dst / u"a.txt"), W(src / u"z.txt"), nullptr)) GTEST_SKIP() << "no hard links here";
    Transfer t(src.PathU(), {src / u"a.txt", src / u"z.txt"}, dst.PathU(), korvane::kCopyToFolder,
               korvane::kOverwriteAlways);
    t.Run();
    EXPECT_EQ(t.Rows(), (std::vector<ResultRow>{CopyRow(src.PathU(), dst.PathU(), u"a.txt", false),
                                                CopyRow(src.PathU(), dst.PathU(), u"z.txt", true)}));
    EXPECT_EQ(ReadFileU(src / u"z.txt"), "Z");
    EXPECT_EQ(ReadFileU(dst / u"z.txt"), "Z");
}

// The guard by identity, whichever way it took it: a file written before the first
// existing destination (remembered by its path), one written after (by its index),
// and a source waiting are each refused under another name (a hard link), an
// unrelated file is not, and a source is free once its turn is over.
TEST(TransferRun, TheGuardKnowsTheRunsFilesUnderAnyName) {
    TempFolder src, dst;
    for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"}) ASSERT_TRUE(WriteFileU(src / name, "S"));
    ASSERT_TRUE(WriteFileU(dst / u"other.txt", "O"));
    const std::vector<std::u16string> sources{src / u"a.txt", src / u"b.txt", src / u"c.txt"};
    korvane::WriteGuard guard(src.PathU(), dst.PathU(), sources);
    const auto writeTurn = [&](std::size_t entry, const char16_t* name) {
        ASSERT_TRUE(WriteFileU(dst / name, "W"));
        guard.Done(guard.KeysFor(sources[entry]), true, dst / name);
    };
    const auto mayReplace = [&](const std::u16string& path) {
        std::uint64_t index = 0;
        EXPECT_TRUE(korvane::FileIndexOf(path, index)) << A(path);
        return guard.MayReplace(index, path);
    };
    writeTurn(0, u"a.txt");
    if (!CreateHardLinkW(W(dst / u"a-link.txt"), W(dst / u"a.txt"), nullptr)) GTEST_SKIP() << "no hard links here";
    ASSERT_TRUE(CreateHardLinkW(W(dst / u"c-link.txt"), W(src / u"c.txt"), nullptr));
    EXPECT_TRUE(mayReplace(dst / u"other.txt"));
    EXPECT_FALSE(mayReplace(dst / u"a-link.txt")) << "written before the indexes were taken";
    EXPECT_FALSE(mayReplace(dst / u"c-link.txt")) << "waiting";
    writeTurn(1, u"b.txt");
    ASSERT_TRUE(CreateHardLinkW(W(dst / u"b-link.txt"), W(dst / u"b.txt"), nullptr));
    EXPECT_FALSE(mayReplace(dst / u"b-link.txt")) << "written after";
    guard.Done(guard.KeysFor(sources[2]), false, dst / u"c.txt");
    EXPECT_TRUE(mayReplace(dst / u"c-link.txt")) << "its turn is over";
}

// An expression that backtracks without end (^(a|aa)*b$ against forty a's): the search
// runs off this thread, which keeps answering; the stop button ends the run at once
// with nothing transferred and no results; the worker is left behind, and the next
// run works. Last in the program: the worker never ends.
TEST(TransferRun, ZASearchThatNeverEndsIsLeftBehind) {
    TempFolder src, dst;
    const std::u16string name = std::u16string(40, u'a') + u".txt";
    ASSERT_TRUE(WriteFileU(src / name, "a"));
    Transfer t(src.PathU(), {}, dst.PathU());
    t.job.collectHere = true;
    t.job.pattern = u"^(a|aa)*b$";
    t.job.useRegex = 1;
    Watch watch;
    const DWORD thread = GetCurrentThreadId();
    BackgroundThread watcher([&] { WatchAndStop(thread, watch, false, 300); });
    t.Run();
    ASSERT_TRUE(watcher.Join());
    EXPECT_TRUE(watch.answered);
    ASSERT_TRUE(watch.clicked);
    EXPECT_TRUE(t.returned.empty());
    EXPECT_EQ(t.driver.results.shown, 0) << "nothing was attempted";
    EXPECT_TRUE(NamesIn(dst.PathU()).empty());

    Transfer next(src.PathU(), {}, dst.PathU());
    next.job.collectHere = true;
    next.job.pattern = u"^a+\\.txt$";
    next.job.useRegex = 1;
    next.Run();
    EXPECT_EQ(next.Rows(), (std::vector<ResultRow>{CopyRow(src.PathU(), dst.PathU(), name, true)}));
}
