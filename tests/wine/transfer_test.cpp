// Copy and move with the progress dialog, the overwrite question and the results
// list, driven on the test's own thread (transfer_driver.h) against real files.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "match/match_name.h"
#include "common/path_text.h"
#include "test_support.h"
#include "transfer/same_name.h"
#include "match/folder_scan.h"
#include "transfer/transfer_engine.h"
#include "transfer_driver.h"

using namespace testsupport;
using namespace transferdriver;
using Row = std::array<std::string, 4>;

namespace {

const std::string kSucceeded = Ansi("成功");
const std::string kFailed = Ansi("失敗");

// One transfer: the current folder, its files (full paths, as the scans give them),
// the destination and the choices of the main dialog.
struct Transfer {
    korvane::TransferJob job;
    DialogDriver driver;
    std::vector<korvane::TransferResult> returned;

    Transfer(const std::string& current, const std::vector<std::string>& files, const std::string& destination,
             korvane::ActionKind action = korvane::kCopyToFolder,
             korvane::SameFileAction same = korvane::kOverwriteAlways)
        : job{action, current, destination, same} {
        job.matches.paths = files;
    }
    // The files of the current folder that match pattern, as the folder scan lists them.
    void Scan(const std::string& pattern, bool subfolders = false) {
        job.pattern = pattern;
        job.matches = korvane::ScanFolder(job.currentFolder, korvane::PreparedPattern(pattern, 0));
        job.includeSubfolders = subfolders;
    }
    void Run(HWND owner = nullptr) { returned = korvane::RunTransfer(job, owner); }
    const std::vector<Row>& Rows() const { return driver.results.rows; }
    // The rows returned, as the results list shows them.
    std::vector<Row> Returned() const {
        std::vector<Row> rows;
        for (const auto& r : returned)
            rows.push_back({r.sourceFolder, r.destinationFolder, r.fileName, r.succeeded ? kSucceeded : kFailed});
        return rows;
    }
};

Row CopyRow(const std::string& from, const std::string& to, const std::string& name, bool ok) {
    return {from, to, name, ok ? kSucceeded : kFailed};
}

FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME local = {};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = hour;
    local.wMinute = minute;
    local.wSecond = second;
    FILETIME localTime = {}, utc = {};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    return utc;
}

FILETIME Plus(FILETIME t, LONGLONG ticks) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    v.QuadPart += ticks;
    return {v.LowPart, v.HighPart};
}

bool SetWriteTime(const std::string& path, const FILETIME& t) {
    UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && SetFileTime(file.Get(), nullptr, nullptr, &t);
}

// A drive letter mapped (by the test fixture) to a folder on another file system.
const char kOtherDrive[] = "K:";
bool OtherDriveMapped() {
    const DWORD attributes = GetFileAttributesA("K:\\");
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window standing in for Explorer's, with a child in place of its list view.
struct FakeExplorer {
    HWND top = nullptr;
    HWND view = nullptr;
    FakeExplorer() {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = PlainWindowProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "KorvaneFakeExplorer";
        RegisterClassA(&cls);
        top = CreateWindowA("KorvaneFakeExplorer", "explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                            nullptr, nullptr, cls.hInstance, nullptr);
        view = CreateWindowA("KorvaneFakeExplorer", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top, nullptr,
                             cls.hInstance, nullptr);
    }
    ~FakeExplorer() {
        if (IsWindow(top)) DestroyWindow(top);
    }
};

// The flags of every MoveFileExA the program makes, seen through the entry of its
// import table (the engine is linked in).
std::vector<DWORD> moveFlags;
BOOL(WINAPI* realMove)(LPCSTR, LPCSTR, DWORD) = nullptr;
BOOL WINAPI RecordMove(LPCSTR from, LPCSTR to, DWORD flags) {
    moveFlags.push_back(flags);
    return realMove(from, to, flags);
}
void** ImportSlot(const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; d->Name; ++d) {
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (auto* n = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk); n->u1.AddressOfData; ++n, ++slot)
            if (!IMAGE_SNAP_BY_ORDINAL(n->u1.Ordinal) &&
                lstrcmpA(reinterpret_cast<char*>(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + n->u1.AddressOfData)->Name),
                         name) == 0)
                return reinterpret_cast<void**>(&slot->u1.Function);
    }
    return nullptr;
}
void SetSlot(void** slot, void* value) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

}  // namespace

// --- a complete copy and a complete move -------------------------------------------

TEST(TransferRun, CopyShowsEachFileAndListsTheResults) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "a.txt", "alpha"));
    ASSERT_TRUE(WriteTextFile(src / "b.txt", "beta"));
    ASSERT_TRUE(WriteTextFile(src / "x\\y\\z\\c.txt", "gamma"));  // three levels missing at the destination
    const std::string target = dst / "out";
    Transfer t(src.Path(), {src / "a.txt", src / "b.txt", src / "x\\y\\z\\c.txt"}, target + "\\");
    t.Run();

    EXPECT_EQ(ReadTextFile(target + "\\a.txt"), "alpha");
    EXPECT_EQ(ReadTextFile(target + "\\b.txt"), "beta");
    EXPECT_EQ(ReadTextFile(target + "\\x\\y\\z\\c.txt"), "gamma");
    EXPECT_EQ(ReadTextFile(src / "a.txt"), "alpha") << "a copy leaves the source";

    const ProgressView& p = t.driver.progress;
    EXPECT_EQ(p.shown, 1);
    EXPECT_TRUE(p.wasVisible);
    EXPECT_EQ(p.caption, Ansi("ファイルのコピー"));
    EXPECT_EQ(p.owner, nullptr) << "without an owner the dialogs are top-level";
    EXPECT_EQ(p.rangeLow, 0);
    EXPECT_EQ(p.rangeHigh, 3);
    ASSERT_GE(p.steps.size(), 2u);
    const std::string copying = Ansi(" にコピー中"), marker = Ansi(" を ");
    EXPECT_EQ(p.steps.front().position, 1);
    EXPECT_EQ(p.steps.front().text, "a.txt" + marker + target + copying);
    EXPECT_EQ(p.steps.back().position, 3) << "the bar ends on the last file";
    EXPECT_EQ(p.steps.back().text, "c.txt" + marker + target + "\\x\\y\\z" + copying);

    const ResultsView& r = t.driver.results;
    EXPECT_EQ(r.shown, 1);
    EXPECT_EQ(r.owner, nullptr);
    EXPECT_EQ(r.caption, Ansi("コピー結果"));
    EXPECT_EQ(r.headers, (std::vector<std::string>{Ansi("コピー元フォルダ"), Ansi("コピー先フォルダ"),
                                                   Ansi("ファイル名"), Ansi("結果")}));
    EXPECT_EQ(r.rows, (std::vector<Row>{CopyRow(src.Path(), target, "a.txt", true),
                                        CopyRow(src.Path(), target, "b.txt", true),
                                        CopyRow(src / "x\\y\\z", target + "\\x\\y\\z", "c.txt", true)}));
    // The columns share the list's width less its edges and a vertical scroll bar.
    ASSERT_EQ(r.widths.size(), 4u);
    const int usable = r.listWidth - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(r.widths[0], r.widths[1]);
    EXPECT_EQ(r.widths[0], usable * 35 / 100);
    EXPECT_EQ(r.widths[3], usable / 10);
    const int sum = r.widths[0] + r.widths[1] + r.widths[2] + r.widths[3];
    EXPECT_LE(sum, usable);
    EXPECT_GE(sum, usable - 4);

    EXPECT_EQ(t.Returned(), r.rows) << "the rows shown are returned";
    EXPECT_EQ(p.lastDestination, target + "\\x\\y\\z\\c.txt");
    EXPECT_EQ(t.returned.size(), 3u);
}

TEST(TransferRun, MoveUsesMoveWordsAndRemovesOnlyMovedSources) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "a.txt", "alpha"));
    ASSERT_TRUE(WriteTextFile(dst / "a.txt", "old"));  // moving onto an existing file replaces it
    Transfer t(src.Path(), {src / "a.txt", src / "gone.txt"}, dst.Path(), korvane::kMoveToFolder);
    t.Run();

    EXPECT_FALSE(FileExists(src / "a.txt"));
    EXPECT_EQ(ReadTextFile(dst / "a.txt"), "alpha");
    EXPECT_EQ(t.driver.progress.steps.at(0).text, "a.txt" + Ansi(" を ") + dst.Path() + Ansi(" に移動中"));
    EXPECT_EQ(t.driver.results.caption, Ansi("移動結果"));
    EXPECT_EQ(t.driver.results.headers, (std::vector<std::string>{Ansi("移動元フォルダ"), Ansi("移動先フォルダ"),
                                                                  Ansi("ファイル名"), Ansi("結果")}));
    // With overwrite-without-asking a vanished source is attempted and fails.
    EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), dst.Path(), "a.txt", true),
                                          CopyRow(src.Path(), dst.Path(), "gone.txt", false)}));
}

TEST(TransferRun, ProgressNamesTheFirstTheLastAndEveryLargeFile) {
    TempFolder src, dst;
    std::vector<std::string> files;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "s" + std::to_string(i) + ".txt";
        ASSERT_TRUE(WriteTextFile(src / name, i == 20 ? std::string(1 << 20, 'L') : "s"));
        files.push_back(src / name);
    }
    Transfer t(src.Path(), files, dst.Path());
    t.Run();
    const auto& steps = t.driver.progress.steps;
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front().position, 1);
    EXPECT_EQ(steps.back().position, 40);
    bool largeShown = false;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(steps[i].position, steps[i - 1].position);
        }
        if (steps[i].position == 21) largeShown = steps[i].text.compare(0, 7, "s20.txt") == 0;
    }
    EXPECT_TRUE(largeShown) << "a file of 1 MiB is named while it is copied";
    EXPECT_EQ(t.Rows().size(), 40u);
}

TEST(TransferRun, EmptyListShowsEmptyProgressAndAnEmptyList) {
    TempFolder src, dst;
    Transfer t(src.Path(), {}, dst.Path());
    t.Run();
    EXPECT_EQ(t.driver.progress.shown, 1);
    EXPECT_EQ(t.driver.progress.rangeHigh, 0);
    EXPECT_TRUE(t.driver.progress.steps.empty());
    EXPECT_EQ(t.driver.results.shown, 1);
    EXPECT_EQ(t.driver.results.headers.size(), 4u);
    EXPECT_TRUE(t.Rows().empty());
}

// --- destination paths -----------------------------------------------------------

TEST(TransferPaths, TrailingBackslashAndDriveRoots) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "b.txt", "b"));
    for (const std::string& destination : {dst / "one", dst / "two\\"}) {
        Transfer t(src.Path(), {src / "b.txt"}, destination);
        t.Run();
        const std::string folder = korvane::StripTrailingBackslash(destination);
        EXPECT_EQ(ReadTextFile(folder + "\\b.txt"), "b") << destination;
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), folder, "b.txt", true)})) << destination;
    }
    if (!OtherDriveMapped()) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";

    // A drive root as destination, and as the current folder ("K:" as the intake keeps it).
    const std::string name = "kv_root_" + std::to_string(GetCurrentProcessId()) + ".txt";
    {
        Transfer t(src.Path(), {src / "b.txt"}, "K:\\");
        t.Run();
        EXPECT_EQ(ReadTextFile("K:\\b.txt"), "b");
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), "K:\\", "b.txt", true)}));
        DeleteFileA("K:\\b.txt");
    }
    ASSERT_TRUE(WriteTextFile("K:\\" + name, "root"));
    {
        Transfer t(kOtherDrive, {std::string(kOtherDrive) + "\\" + name}, dst / "fromroot");
        t.Run();
        EXPECT_EQ(ReadTextFile(dst / ("fromroot\\" + name)), "root");
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow("K:\\", dst / "fromroot", name, true)}));
    }
    DeleteFileA(("K:\\" + name).c_str());
}

TEST(TransferPaths, MissingLevelsWithDoubleByteNamesAreCreated) {
    // 表 ends in 0x5C; ル ends in a byte of the lead range, right before a real separator.
    TempFolder src, dst;
    const std::string relative = std::string(kHyo) + "\\" + kRu + "\\" + kSo + "\\f.txt";
    ASSERT_TRUE(WriteTextFile(src / relative, "deep"));
    Transfer t(src.Path(), {src / relative}, dst / (std::string("n") + kRu));
    t.Run();
    EXPECT_EQ(ReadTextFile(dst / (std::string("n") + kRu + "\\" + relative)), "deep");
    ASSERT_EQ(t.Rows().size(), 1u);
    EXPECT_EQ(t.Rows()[0][3], kSucceeded);
}

TEST(TransferPaths, MoveToAnotherVolume) {
    if (!OtherDriveMapped()) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";
    TempFolder src;
    const std::string target = "K:\\kv_move_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(WriteTextFile(src / "m.txt", std::string(100000, 'm')));
    ASSERT_TRUE(WriteTextFile(src / "sub\\n.txt", "n"));
    Transfer t(src.Path(), {src / "m.txt", src / "sub\\n.txt"}, target, korvane::kMoveToFolder);
    // The source goes only once the copy is on the disk: write-through.
    void** slot = ImportSlot("MoveFileExA");
    ASSERT_NE(slot, nullptr);
    realMove = reinterpret_cast<decltype(realMove)>(*slot);
    SetSlot(slot, reinterpret_cast<void*>(&RecordMove));
    t.Run();
    SetSlot(slot, reinterpret_cast<void*>(realMove));
    EXPECT_EQ(moveFlags, (std::vector<DWORD>(2, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)));
    EXPECT_EQ(ReadTextFile(target + "\\m.txt"), std::string(100000, 'm'));
    EXPECT_EQ(ReadTextFile(target + "\\sub\\n.txt"), "n");
    EXPECT_FALSE(FileExists(src / "m.txt"));
    EXPECT_FALSE(FileExists(src / "sub\\n.txt"));
    EXPECT_EQ(t.Rows().size(), 2u);
    for (const Row& row : t.Rows()) EXPECT_EQ(row[3], kSucceeded);
    RemoveTree(target);
}

// --- the same-name rules ------------------------------------------------------------

TEST(SameName, NewerOnlyComparesTheStoredTimes) {
    const FILETIME base = LocalTime(2015, 6, 1, 12, 0, 0);
    const struct { const char* name; LONGLONG sourceOffset; bool transferred; } cases[] = {
        {"equal", 0, false},
        {"one tick newer", 1, true},
        {"older", -10000000, false},
    };
    for (const auto& c : cases) {
        for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
            TempFolder src, dst;
            ASSERT_TRUE(WriteTextFile(src / "f.txt", "new"));
            ASSERT_TRUE(WriteTextFile(dst / "f.txt", "old"));
            ASSERT_TRUE(SetWriteTime(dst / "f.txt", base));
            ASSERT_TRUE(SetWriteTime(src / "f.txt", Plus(base, c.sourceOffset)));
            Transfer t(src.Path(), {src / "f.txt"}, dst.Path(), action, korvane::kOverwriteIfNewer);
            t.Run();
            EXPECT_TRUE(t.driver.questions.empty()) << c.name;
            EXPECT_EQ(ReadTextFile(dst / "f.txt"), c.transferred ? "new" : "old") << c.name;
            EXPECT_EQ(t.Rows().size(), c.transferred ? 1u : 0u) << c.name;
            if (!c.transferred) {
                EXPECT_EQ(ReadTextFile(src / "f.txt"), "new") << c.name << ": a skipped move keeps its source";
            }
        }
    }
}

TEST(SameName, AnswersToTheQuestion) {
    const struct { const char* name; Answer answer; bool transferred; } cases[] = {
        {"yes", Answer::kYes, true},
        {"no", Answer::kNo, false},
        {"escape", Answer::kEscape, false},
    };
    for (const auto& c : cases) {
        for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
            TempFolder src, dst;
            ASSERT_TRUE(WriteTextFile(src / "f.txt", "new"));
            ASSERT_TRUE(WriteTextFile(src / "free.txt", "free"));
            ASSERT_TRUE(WriteTextFile(dst / "f.txt", "old"));
            Transfer t(src.Path(), {src / "f.txt", src / "free.txt"}, dst.Path(), action, korvane::kAskBeforeOverwrite);
            t.driver.answers = {c.answer};
            t.Run();
            EXPECT_EQ(t.driver.questions.size(), 1u) << c.name << ": no question for a missing destination";
            EXPECT_EQ(ReadTextFile(dst / "f.txt"), c.transferred ? "new" : "old") << c.name;
            EXPECT_EQ(ReadTextFile(dst / "free.txt"), "free") << c.name;
            EXPECT_EQ(FileExists(src / "f.txt"), !c.transferred || action == korvane::kCopyToFolder) << c.name;
            ASSERT_EQ(t.Rows().size(), c.transferred ? 2u : 1u) << c.name;
            EXPECT_EQ(t.Rows().back()[2], "free.txt");
        }
    }
}

TEST(SameName, YesToAllAnswersTheRestOfTheRun) {
    TempFolder src, dst;
    std::vector<std::string> files;
    for (char c = '1'; c <= '5'; ++c) {
        const std::string name = std::string("c") + c + ".txt";
        ASSERT_TRUE(WriteTextFile(src / name, "new"));
        ASSERT_TRUE(WriteTextFile(dst / name, "old"));
        files.push_back(src / name);
    }
    files.insert(files.begin() + 3, src / "vanished.txt");  // listed, then gone before its turn
    ASSERT_TRUE(WriteTextFile(dst / "vanished.txt", "old"));
    Transfer t(src.Path(), files, dst.Path(), korvane::kCopyToFolder, korvane::kAskBeforeOverwrite);
    t.driver.answers = {Answer::kYesToAll};
    t.Run();
    EXPECT_EQ(t.driver.questions.size(), 1u);
    for (char c = '1'; c <= '5'; ++c) EXPECT_EQ(ReadTextFile(dst / (std::string("c") + c + ".txt")), "new") << c;
    ASSERT_EQ(t.Rows().size(), 6u);
    EXPECT_EQ(t.Rows()[3], CopyRow(src.Path(), dst.Path(), "vanished.txt", false));

    // The next run asks again.
    Transfer again(src.Path(), {src / "c1.txt"}, dst.Path(), korvane::kCopyToFolder, korvane::kAskBeforeOverwrite);
    again.Run();
    EXPECT_EQ(again.driver.questions.size(), 1u);
}

TEST(SameName, VanishedSourceIsSkippedSilentlyWhenChecked) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(dst / "gone.txt", "old"));
    for (auto rule : {korvane::kAskBeforeOverwrite, korvane::kOverwriteIfNewer}) {
        Transfer t(src.Path(), {src / "gone.txt"}, dst.Path(), korvane::kCopyToFolder, rule);
        t.Run();
        EXPECT_TRUE(t.driver.questions.empty());
        EXPECT_TRUE(t.Rows().empty());
    }
}

TEST(SameName, ADestinationThatCannotBeListedIsJudgedByTheProbe) {
    // FindFirstFileA fails on the destination (nothing of that name can be listed)
    // while the probe found an entry there, or could not tell.
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "f.txt", "new"));
    const FILETIME base = LocalTime(2015, 6, 1, 12, 0, 0);
    korvane::DestinationFacts found, unknown;
    found.exists = found.described = true;
    found.writeTimeHigh = base.dwHighDateTime;
    found.writeTimeLow = base.dwLowDateTime;
    found.sizeLow = 77;
    unknown.undetermined = true;
    using Decision = korvane::SameNameDecision;
    const struct { const char* name; korvane::DestinationFacts facts; korvane::SameFileAction rule; LONGLONG offset; Decision want; } cases[] = {
        {"newer", found, korvane::kOverwriteIfNewer, 1, Decision::kTransfer},
        {"older", found, korvane::kOverwriteIfNewer, -1, Decision::kSkip},
        {"time unknown", unknown, korvane::kOverwriteIfNewer, 1, Decision::kSkip},
        {"asked, answered No", found, korvane::kAskBeforeOverwrite, 0, Decision::kSkip},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetWriteTime(src / "f.txt", Plus(base, c.offset)));
        DialogDriver driver;
        bool yesToAll = false;
        EXPECT_EQ(korvane::ResolveSameName(src / "f.txt", dst / "f.txt", c.facts, c.rule, yesToAll, nullptr), c.want)
            << c.name;
        ASSERT_EQ(driver.questions.size(), c.rule == korvane::kAskBeforeOverwrite ? 1u : 0u) << c.name;
    }
}

TEST(SameName, QuestionDescribesBothFilesInSeventeenLines) {
    TempFolder src, dst;
    const std::string name = std::string("r") + kSo + ".txt";
    ASSERT_TRUE(WriteTextFile(src / name, std::string(1234, 's')));
    ASSERT_TRUE(WriteTextFile(dst / name, "ddddd"));
    ASSERT_TRUE(SetWriteTime(src / name, LocalTime(2010, 5, 3, 9, 7, 5)));
    ASSERT_TRUE(SetWriteTime(dst / name, LocalTime(2009, 11, 22, 18, 0, 9)));
    // A folder of the same name counts as existing and is described by its own find data.
    ASSERT_TRUE(WriteTextFile(src / "d.txt", "x"));
    ASSERT_TRUE(MakeFolder(dst / "d.txt"));
    ASSERT_TRUE(SetWriteTime(dst / "d.txt", LocalTime(2001, 2, 3, 4, 5, 6)));

    Transfer t(src.Path(), {src / name, src / "d.txt"}, dst.Path(), korvane::kCopyToFolder,
               korvane::kAskBeforeOverwrite);
    t.driver.answers = {Answer::kNo, Answer::kYes};
    t.Run();
    ASSERT_EQ(t.driver.questions.size(), 2u);
    const std::string expected = Ansi("同じ名前のファイルが存在します。\n\n\n\n") +
                                 Ansi("　元ファイル名　: ") + name + "\n" +
                                 Ansi("　元フォルダ　　: ") + src.Path() + "\n" +
                                 Ansi("　更新日時　　　: 2010/05/03 09:07:05\n") +
                                 Ansi("　サイズ　　　　: 1234 Bytes\n\n") +
                                 Ansi("を\n\n") +
                                 Ansi("　宛先ファイル名: ") + name + "\n" +
                                 Ansi("　宛先フォルダ　: ") + dst.Path() + "\n" +
                                 Ansi("　更新日時　　　: 2009/11/22 18:00:09\n") +
                                 Ansi("　サイズ　　　　: 5 Bytes\n\n") +
                                 Ansi("に上書きしますか？");
    EXPECT_EQ(t.driver.questions[0], expected);
    EXPECT_NE(t.driver.questions[1].find(Ansi("　更新日時　　　: 2001/02/03 04:05:06\n")), std::string::npos);
    EXPECT_NE(t.driver.questions[1].find(Ansi("　宛先ファイル名: d.txt\n")), std::string::npos);
    // The question is owned by the progress dialog.
    EXPECT_NE(t.driver.questionOwners[0], nullptr);
    // Yes onto a folder: the copy fails and says so.
    EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), dst.Path(), "d.txt", false)}));
}

// --- no data lost ---------------------------------------------------------------------

TEST(TransferSafety, FileOntoItselfIsNeverTruncatedNorDeleted) {
    TempFolder src;
    ASSERT_TRUE(WriteTextFile(src / "self.txt", "precious"));
    ASSERT_TRUE(WriteTextFile(src / "sub\\deep.txt", "also"));
    // The current folder itself, and other spellings of it.
    for (const std::string& destination : {src.Path(), src.Path() + "\\", src / ".", src / "sub\\.."}) {
        for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
            for (auto rule : {korvane::kOverwriteAlways, korvane::kAskBeforeOverwrite}) {
                Transfer t(src.Path(), {src / "self.txt", src / "sub\\deep.txt"}, destination, action, rule);
                t.driver.answers = {Answer::kYes, Answer::kYes};
                t.Run();
                EXPECT_EQ(ReadTextFile(src / "self.txt"), "precious") << destination;
                EXPECT_EQ(ReadTextFile(src / "sub\\deep.txt"), "also") << destination;
                ASSERT_EQ(t.Rows().size(), 2u) << destination;
                EXPECT_EQ(t.Rows()[0][3], kFailed) << destination;
                EXPECT_TRUE(t.driver.questions.empty()) << "no question about a file and itself";
            }
        }
    }
}

TEST(TransferSafety, FailuresBecomeRowsAndTheRunGoesOn) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "locked.txt", "locked"));
    ASSERT_TRUE(WriteTextFile(src / "readonly.txt", "new"));
    ASSERT_TRUE(WriteTextFile(src / "blocked\\f.txt", "blocked"));
    ASSERT_TRUE(WriteTextFile(src / "fine.txt", "fine"));
    ASSERT_TRUE(WriteTextFile(dst / "readonly.txt", "kept"));
    ASSERT_TRUE(SetFileAttributesA((dst / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteTextFile(dst / "blocked", "a file where a folder should be"));

    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        UniqueFile lock(CreateFileA((src / "locked.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        Transfer t(src.Path(), {src / "locked.txt", src / "readonly.txt", src / "blocked\\f.txt", src / "fine.txt"},
                   dst.Path(), action);
        t.Run();
        lock.Reset();
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), dst.Path(), "locked.txt", false),
                                              CopyRow(src.Path(), dst.Path(), "readonly.txt", false),
                                              CopyRow(src / "blocked", dst / "blocked", "f.txt", false),
                                              CopyRow(src.Path(), dst.Path(), "fine.txt", true)}));
        EXPECT_EQ(ReadTextFile(src / "locked.txt"), "locked");
        EXPECT_FALSE(FileExists(dst / "locked.txt"));
        EXPECT_EQ(ReadTextFile(src / "readonly.txt"), "new");
        EXPECT_EQ(ReadTextFile(dst / "readonly.txt"), "kept");
        EXPECT_EQ(ReadTextFile(src / "blocked\\f.txt"), "blocked");
        EXPECT_EQ(ReadTextFile(dst / "fine.txt"), "fine");
        if (action == korvane::kMoveToFolder) {
            EXPECT_FALSE(FileExists(src / "fine.txt"));
        }
        DeleteFileA((dst / "fine.txt").c_str());
        if (!FileExists(src / "fine.txt")) {
            ASSERT_TRUE(WriteTextFile(src / "fine.txt", "fine"));
        }
    }
    SetFileAttributesA((dst / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The folder of the report, top\sub: cafe.txt, and three names code page 932 cannot
// hold, made in UTF-16. Read through the ANSI functions café.txt would be cafe.txt
// again, and a¥..¥..¥notes.txt would be top\notes.txt, outside the current folder.
// Only cafe.txt moves or is copied; the others are failed rows named as they read,
// counted in the caption, and nothing outside sub and the destination changes.
TEST(TransferSafety, NamesTheCodePageCannotHoldAreReportedAndNeverTouched) {
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    const std::vector<std::wstring> unusable = {L"a\u00a5..\u00a5..\u00a5notes.txt", L"caf\u00e9.txt", L"snow\u2603.txt"};
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        TempFolder root;
        const std::string sub = root / "top\\sub", destination = root / "out\\a\\b";
        ASSERT_TRUE(WriteTextFile(sub + "\\cafe.txt", "plain"));
        ASSERT_TRUE(WriteTextFile(root / "top\\notes.txt", "outside"));
        ASSERT_TRUE(MakeFolder(destination));
        for (const auto& name : unusable) ASSERT_TRUE(WriteWideFile(Widen(sub) + L"\\" + name, "other"));

        Transfer t(sub, {}, destination, action);
        t.Scan("*.txt");
        t.Run();
        std::vector<Row> rows = t.Rows();
        std::sort(rows.begin() + 1, rows.end());
        EXPECT_EQ(rows, (std::vector<Row>{CopyRow(sub, destination, "cafe.txt", true),
                                          CopyRow(sub, destination, "a?..?..?notes.txt", false),
                                          CopyRow(sub, destination, "caf?.txt", false),
                                          CopyRow(sub, destination, "snow?.txt", false)}));
        const std::string caption = Ansi(action == korvane::kCopyToFolder ? "コピー結果" : "移動結果");
        EXPECT_EQ(t.driver.results.caption, caption + Ansi(" (名前を扱えず処理できなかったファイル: 3 個)"));

        EXPECT_EQ(WideNamesIn(Widen(destination)), std::vector<std::wstring>{L"cafe.txt"});
        EXPECT_EQ(ReadTextFile(destination + "\\cafe.txt"), "plain");
        std::vector<std::wstring> left = unusable;
        if (action == korvane::kCopyToFolder) left.insert(left.begin() + 1, L"cafe.txt");
        EXPECT_EQ(WideNamesIn(Widen(sub)), left);
        EXPECT_EQ(WideNamesIn(Widen(root / "top")), (std::vector<std::wstring>{L"notes.txt", L"sub"}));
        EXPECT_EQ(ReadTextFile(root / "top\\notes.txt"), "outside");
        EXPECT_EQ(WideNamesIn(Widen(root / "out\\a")), std::vector<std::wstring>{L"b"});
    }
}

TEST(TransferSafety, NeverWritesOverAWaitingSourceOrWhatTheRunWrote) {
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        TempFolder src;
        ASSERT_TRUE(WriteTextFile(src / "a.jpg", "top"));
        ASSERT_TRUE(WriteTextFile(src / "sel\\a.jpg", "inner"));
        ASSERT_TRUE(WriteTextFile(src / "b.txt", "b"));
        // a.jpg would replace sel\a.jpg, still waiting its turn; the second spelling
        // of b.txt would replace the copy the run has just made.
        Transfer t(src.Path(), {src / "a.jpg", src / "sel\\a.jpg", src / "b.txt", src / "B.TXT"}, src / "sel",
                   action);
        t.Run();
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), src / "sel", "a.jpg", false),
                                              CopyRow(src / "sel", src / "sel\\sel", "a.jpg", true),
                                              CopyRow(src.Path(), src / "sel", "b.txt", true),
                                              CopyRow(src.Path(), src / "sel", "B.TXT", false)}))
            << action;
        EXPECT_EQ(ReadTextFile(src / "a.jpg"), "top") << action;
        EXPECT_EQ(ReadTextFile(src / "sel\\sel\\a.jpg"), "inner") << action;
        EXPECT_EQ(FileExists(src / "sel\\a.jpg"), action == korvane::kCopyToFolder) << action;
        EXPECT_EQ(ReadTextFile(src / "sel\\b.txt"), "b") << action;
    }
}

// A folder the run made is written without a probe, but never over something: a
// file put there meanwhile still meets the same-name rule, and a source gone
// before its turn is still skipped silently.
TEST(TransferSafety, FolderTheRunMadeStillHasTheSameNameRule) {
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        TempFolder src, dst;
        ASSERT_TRUE(WriteTextFile(src / "1.txt", "1"));
        ASSERT_TRUE(WriteTextFile(src / "3.txt", "3"));
        const std::string out = dst / "out";
        Transfer t(src.Path(), {src / "1.txt", src / "gone.txt", src / "3.txt"}, out, action,
                   korvane::kAskBeforeOverwrite);
        t.driver.answers = {Answer::kNo};
        t.driver.onProgress = [&](int step, HWND) {
            if (step == 3) WriteTextFile(out + "\\3.txt", "theirs");  // the last file is always named
        };
        t.Run();
        EXPECT_EQ(t.driver.questions.size(), 1u) << action;
        EXPECT_EQ(ReadTextFile(out + "\\3.txt"), "theirs") << action;
        EXPECT_EQ(ReadTextFile(src / "3.txt"), "3") << action;
        EXPECT_EQ(ReadTextFile(out + "\\1.txt"), "1") << action;
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), out, "1.txt", true)})) << action;
    }
}

// With the sizes the scan listed, a file of 1 MiB among small ones is named too.
TEST(TransferRun, LargeFileNamedWithTheScansSizes) {
    TempFolder src, dst;
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(WriteTextFile(src / ("s" + std::to_string(i) + ".txt"), i == 15 ? std::string(1 << 20, 'L') : "s"));
    Transfer t(src.Path(), {}, dst.Path());
    t.Scan("*.txt");
    const auto& paths = t.job.matches.paths;
    ASSERT_EQ(paths.size(), 30u);
    ASSERT_EQ(t.job.matches.sizes.size(), 30u);
    const auto large = std::find(paths.begin(), paths.end(), src / "s15.txt") - paths.begin();
    EXPECT_EQ(t.job.matches.sizes[large], 1u << 20);
    t.Run();
    bool named = false;
    for (const auto& step : t.driver.progress.steps)
        named = named || (step.position == large + 1 && step.text.compare(0, 7, "s15.txt") == 0);
    EXPECT_TRUE(named);
    EXPECT_EQ(t.Rows().size(), 30u);
}

TEST(TransferSafety, SourcesDifferingOnlyInCaseDoNotReplaceEachOther) {
    if (!OtherDriveMapped()) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";
    // The fixture made K:\case\a.txt and K:\case\A.txt, a folder of a case-sensitive file system.
    TempFolder dst;
    Transfer t("K:\\case", {}, dst.Path());
    t.Scan("*.txt");
    const auto& paths = t.job.matches.paths;
    if (paths.size() != 2) GTEST_SKIP() << "no case-sensitive folder on K:";
    const std::string first = ReadTextFile(paths[0]);
    ASSERT_NE(first, ReadTextFile(paths[1]));
    t.Run();
    ASSERT_EQ(t.Rows().size(), 2u);
    EXPECT_EQ(t.Rows()[0][3], kSucceeded);
    EXPECT_EQ(t.Rows()[1][3], kFailed);
    EXPECT_EQ(ReadTextFile(dst / "a.txt"), first) << "the second does not replace the first";
}

// --- cancel, the thread's end and Explorer's window ---------------------------------------

TEST(TransferCancel, StopInTheFirstPumpFinishesThatFileOnly) {
    const struct { const char* name; bool escape; } cases[] = {{"stop button", false}, {"Esc key", true}};
    for (const auto& c : cases) {
        TempFolder src, dst;
        std::vector<std::string> files;
        for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
            ASSERT_TRUE(WriteTextFile(src / name, name));
            files.push_back(src / name);
        }
        Transfer t(src.Path(), files, dst.Path());
        t.driver.onProgress = [&](int step, HWND dialog) {
            if (step != 1) return;
            if (c.escape)
                PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);  // through IsDialogMessageA
            else
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        };
        t.Run();
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), dst.Path(), "1.txt", true)})) << c.name;
        EXPECT_TRUE(FileExists(dst / "1.txt")) << c.name;
        EXPECT_FALSE(FileExists(dst / "2.txt")) << c.name;
        EXPECT_EQ(t.driver.progress.steps.size(), 1u) << c.name;
        EXPECT_TRUE(t.driver.progress.stopped) << c.name;
    }
}

TEST(TransferCancel, QuitMessageEndsTheRunAndIsKeptForTheThread) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "1.txt", "1"));
    ASSERT_TRUE(WriteTextFile(src / "2.txt", "2"));
    Transfer t(src.Path(), {src / "1.txt", src / "2.txt"}, dst.Path());
    PostQuitMessage(7);
    t.Run();
    MSG msg = {};
    const bool quitKept = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    EXPECT_TRUE(quitKept);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(t.driver.progress.stopped);
    EXPECT_TRUE(t.Rows().empty());
    EXPECT_FALSE(FileExists(dst / "1.txt"));
    EXPECT_FALSE(FileExists(dst / "2.txt"));
}

TEST(TransferCancel, ExplorersWindowIsDisabledForTheRunAndOwnsTheDialogs) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "1.txt", "1"));
    ASSERT_TRUE(WriteTextFile(src / "2.txt", "2"));
    FakeExplorer explorer;
    ASSERT_TRUE(explorer.view);
    Transfer t(src.Path(), {src / "1.txt", src / "2.txt"}, dst.Path());
    std::vector<bool> enabledDuringRun;
    t.driver.onProgress = [&](int, HWND) { enabledDuringRun.push_back(IsWindowEnabled(explorer.top) != 0); };
    t.Run(explorer.view);
    EXPECT_EQ(enabledDuringRun, (std::vector<bool>{false, false}));
    EXPECT_TRUE(IsWindowEnabled(explorer.top));
    EXPECT_EQ(t.driver.progress.owner, explorer.top);
    EXPECT_EQ(t.driver.results.owner, explorer.top);
    EXPECT_EQ(t.Rows().size(), 2u);
}

TEST(TransferCancel, ExplorersWindowDestroyedDuringTheRun) {
    TempFolder src, dst;
    std::vector<std::string> files;
    for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
        ASSERT_TRUE(WriteTextFile(src / name, name));
        files.push_back(src / name);
    }
    FakeExplorer explorer;
    Transfer t(src.Path(), files, dst.Path());
    t.driver.onProgress = [&](int step, HWND) {
        if (step == 1) DestroyWindow(explorer.top);  // takes the owned progress dialog along
    };
    t.Run(explorer.view);
    EXPECT_TRUE(t.driver.progress.stopped);
    EXPECT_FALSE(FileExists(dst / "2.txt"));
    EXPECT_EQ(t.driver.results.shown, 1);
    EXPECT_EQ(t.driver.results.owner, nullptr);
}

// --- with the subfolders (the real scans) ------------------------------------------------

TEST(TransferSubfolders, SubfolderFilesCountInTheProgressAndKeepTheirPlace) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteTextFile(src / "a.txt", "a"));
    ASSERT_TRUE(WriteTextFile(src / "skip.log", "no"));
    ASSERT_TRUE(WriteTextFile(src / "sub\\b.txt", "b"));
    ASSERT_TRUE(WriteTextFile(src / "sub\\deep\\c.txt", "c"));
    Transfer t(src.Path(), {}, dst.Path());
    t.Scan("*.txt", true);
    ASSERT_EQ(t.job.matches.paths, (std::vector<std::string>{src / "a.txt"}));
    t.Run();
    EXPECT_EQ(t.driver.progress.rangeHigh, 3);
    ASSERT_FALSE(t.driver.progress.steps.empty());
    EXPECT_EQ(t.driver.progress.steps.back().position, 3);
    EXPECT_EQ(ReadTextFile(dst / "sub\\b.txt"), "b");
    EXPECT_EQ(ReadTextFile(dst / "sub\\deep\\c.txt"), "c");
    EXPECT_FALSE(FileExists(dst / "skip.log"));
    EXPECT_EQ(t.Rows().size(), 3u);
    EXPECT_EQ(t.returned.size(), 3u) << "the subfolder matches are in the run's list";
}

TEST(TransferSubfolders, DestinationInsideTheCurrentFolderIsNotCopiedAgain) {
    TempFolder src;
    ASSERT_TRUE(WriteTextFile(src / "a.txt", "a"));
    ASSERT_TRUE(WriteTextFile(src / "sub\\b.txt", "b"));
    ASSERT_TRUE(WriteTextFile(src / "out\\old.txt", "left by an earlier run"));
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        Transfer t(src.Path(), {}, src / "out", action);
        t.Scan("*.txt", true);
        t.Run();
        // The list was complete before the first copy, and the scan does not enter
        // the destination: neither what the run writes nor what lies there is listed.
        EXPECT_EQ(t.Rows().size(), 2u) << action;
        EXPECT_EQ(ReadTextFile(src / "out\\a.txt"), "a") << action;
        EXPECT_EQ(ReadTextFile(src / "out\\sub\\b.txt"), "b") << action;
        EXPECT_EQ(ReadTextFile(src / "out\\old.txt"), "left by an earlier run") << action;
        EXPECT_FALSE(FileExists(src / "out\\out")) << action;
        EXPECT_FALSE(FileExists(src / "out\\out\\a.txt")) << action;
        for (const Row& row : t.Rows()) EXPECT_EQ(row[3], kSucceeded) << row[2];
        // Back to the start for the move.
        RemoveTree(src / "out");
        ASSERT_TRUE(WriteTextFile(src / "a.txt", "a"));
        ASSERT_TRUE(WriteTextFile(src / "sub\\b.txt", "b"));
        ASSERT_TRUE(WriteTextFile(src / "out\\old.txt", "left by an earlier run"));
    }
}

TEST(TransferSubfolders, TheSelExampleCarriesNothingItWroteOnward) {
    // a.jpg and a different sel\a.jpg, *.jpg with subfolders into sel (also spelt
    // "SEL\"): the list is a.jpg alone, which replaces sel\a.jpg as the user allowed.
    const struct { korvane::SameFileAction rule; Answer answer; } choices[] = {
        {korvane::kOverwriteAlways, Answer::kNo}, {korvane::kAskBeforeOverwrite, Answer::kYes},
        {korvane::kAskBeforeOverwrite, Answer::kYesToAll}};
    for (const auto& c : choices) {
        for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
            TempFolder src;
            for (const std::string& destination : {src / "sel", src / "SEL\\"}) {
                SCOPED_TRACE(destination + " rule " + std::to_string(c.rule) + " action " + std::to_string(action));
                ASSERT_TRUE(WriteTextFile(src / "a.jpg", "top"));
                ASSERT_TRUE(WriteTextFile(src / "sel\\a.jpg", "inner"));
                Transfer t(src.Path(), {}, destination, action, c.rule);
                t.driver.answers = {c.answer};
                t.Scan("*.jpg", true);
                t.Run();
                const std::string shown = korvane::StripTrailingBackslash(destination);
                EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.Path(), shown, "a.jpg", true)}));
                EXPECT_EQ(ReadTextFile(src / "sel\\a.jpg"), "top");
                EXPECT_FALSE(FileExists(src / "sel\\sel"));
            }
        }
    }
}
