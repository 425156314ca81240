// Copy and move with the progress dialog, the overwrite question and the results
// list, driven on the test's own thread (transfer_driver.h) against real files.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "common/unique_handle.h"
#include "test_support.h"
#include "transfer/destination_probe.h"
#include "transfer/same_name.h"
#include "transfer_driver.h"

using namespace testsupport;
using namespace transferdriver;
using Row = ResultRow;
using Paths = std::vector<std::u16string>;

namespace {

// For the messages of failed checks.
std::string Shown(const std::u16string& text) { return testing::PrintToString(text); }

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

bool SetWriteTime(const std::u16string& path, const FILETIME& t) {
    UniqueFile file(CreateFileW(W(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && SetFileTime(file.Get(), nullptr, nullptr, &t);
}

// A drive letter mapped (by the test fixture) to a folder on another file system.
const char16_t kOtherDrive[] = u"K:";
bool OtherDriveMapped() {
    const DWORD attributes = GetFileAttributesW(L"K:\\");
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window standing in for Explorer's, with a child in place of its list view.
struct FakeExplorer {
    HWND top = nullptr;
    HWND view = nullptr;
    FakeExplorer() {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = PlainWindowProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"KorvaneFakeExplorer";
        RegisterClassW(&cls);
        top = CreateWindowW(L"KorvaneFakeExplorer", L"explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                            nullptr, nullptr, cls.hInstance, nullptr);
        view = CreateWindowW(L"KorvaneFakeExplorer", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top, nullptr,
                             cls.hInstance, nullptr);
    }
    ~FakeExplorer() {
        if (IsWindow(top)) DestroyWindow(top);
    }
};

}  // namespace

// --- a complete copy and a complete move -------------------------------------------

TEST(TransferRun, CopyShowsEachFileAndListsTheResults) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"a.txt", "alpha"));
    ASSERT_TRUE(WriteFileU(src / u"b.txt", "beta"));
    ASSERT_TRUE(WriteFileU(src / u"x\\y\\z\\c.txt", "gamma"));  // three levels missing at the destination
    const std::u16string target = dst / u"out";
    Transfer t(src.PathU(), {src / u"a.txt", src / u"b.txt", src / u"x\\y\\z\\c.txt"}, target + u"\\");
    t.Run();

    EXPECT_EQ(ReadFileU(target + u"\\a.txt"), "alpha");
    EXPECT_EQ(ReadFileU(target + u"\\b.txt"), "beta");
    EXPECT_EQ(ReadFileU(target + u"\\x\\y\\z\\c.txt"), "gamma");
    EXPECT_EQ(ReadFileU(src / u"a.txt"), "alpha") << "a copy leaves the source";

    const ProgressView& p = t.driver.progress;
    EXPECT_EQ(p.shown, 1);
    EXPECT_TRUE(p.wasVisible);
    EXPECT_EQ(p.caption, u"ファイルのコピー");
    EXPECT_EQ(p.owner, nullptr) << "without an owner the dialogs are top-level";
    EXPECT_EQ(p.rangeLow, 0);
    EXPECT_EQ(p.rangeHigh, 3 * korvane::kBarSteps) << "the bar covers the files, each in steps";
    ASSERT_GE(p.steps.size(), 2u);
    const std::u16string copying = u" にコピー中", marker = u" を ";
    EXPECT_EQ(p.steps.front().number, 1);
    EXPECT_EQ(p.steps.front().position, 0) << "nothing is done yet when the first file starts";
    EXPECT_EQ(p.steps.front().text, u"a.txt" + marker + target + copying);
    EXPECT_EQ(p.steps.back().number, 3) << "the last file is always named";
    EXPECT_EQ(p.steps.back().position, 2 * korvane::kBarSteps) << "two files done when the last starts";
    EXPECT_EQ(p.steps.back().text, u"c.txt" + marker + target + u"\\x\\y\\z" + copying);

    const ResultsView& r = t.driver.results;
    EXPECT_EQ(r.shown, 1);
    EXPECT_EQ(r.owner, nullptr);
    EXPECT_EQ(r.caption, u"コピー結果");
    EXPECT_EQ(r.headers, (Paths{u"コピー元フォルダ", u"コピー先フォルダ", u"ファイル名", u"結果"}));
    EXPECT_EQ(r.rows, (std::vector<Row>{CopyRow(src.PathU(), target, u"a.txt", true),
                                        CopyRow(src.PathU(), target, u"b.txt", true),
                                        CopyRow(src / u"x\\y\\z", target + u"\\x\\y\\z", u"c.txt", true)}));
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
    EXPECT_EQ(p.lastDestination, target + u"\\x\\y\\z\\c.txt");
    EXPECT_EQ(t.returned.size(), 3u);
}

TEST(TransferRun, MoveUsesMoveWordsAndRemovesOnlyMovedSources) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"a.txt", "alpha"));
    ASSERT_TRUE(WriteFileU(dst / u"a.txt", "old"));  // moving onto an existing file replaces it
    Transfer t(src.PathU(), {src / u"a.txt", src / u"gone.txt"}, dst.PathU(), korvane::kMoveToFolder);
    t.Run();

    EXPECT_FALSE(FileExistsU(src / u"a.txt"));
    EXPECT_EQ(ReadFileU(dst / u"a.txt"), "alpha");
    EXPECT_EQ(t.driver.progress.steps.at(0).text, u"a.txt を " + dst.PathU() + u" に移動中");
    EXPECT_EQ(t.driver.results.caption, u"移動結果");
    EXPECT_EQ(t.driver.results.headers, (Paths{u"移動元フォルダ", u"移動先フォルダ", u"ファイル名", u"結果"}));
    // With overwrite-without-asking a vanished source is attempted and fails.
    EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"a.txt", true),
                                          CopyRow(src.PathU(), dst.PathU(), u"gone.txt", false)}));
}

TEST(TransferRun, ProgressNamesTheFirstTheLastAndEveryLargeFile) {
    TempFolder src, dst;
    Paths files;
    for (int i = 0; i < 40; ++i) {
        const std::u16string name = U("s" + std::to_string(i) + ".txt");
        ASSERT_TRUE(WriteFileU(src / name, i == 20 ? std::string(1 << 20, 'L') : "s"));
        files.push_back(src / name);
    }
    Transfer t(src.PathU(), files, dst.PathU());
    t.Run();
    const auto& steps = t.driver.progress.steps;
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front().number, 1);
    EXPECT_EQ(steps.back().number, 40);
    bool largeShown = false;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(steps[i].number, steps[i - 1].number);
        }
        if (steps[i].number == 21) largeShown = steps[i].text.compare(0, 7, u"s20.txt") == 0;
    }
    EXPECT_TRUE(largeShown) << "a file of 1 MiB is named while it is copied";
    EXPECT_EQ(t.Rows().size(), 40u);
}

TEST(TransferRun, EmptyListShowsEmptyProgressAndAnEmptyList) {
    TempFolder src, dst;
    Transfer t(src.PathU(), {}, dst.PathU());
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
    ASSERT_TRUE(WriteFileU(src / u"b.txt", "b"));
    for (const std::u16string& destination : {dst / u"one", dst / u"two\\"}) {
        Transfer t(src.PathU(), {src / u"b.txt"}, destination);
        t.Run();
        const std::u16string folder = korvane::StripTrailingBackslash(destination);
        EXPECT_EQ(ReadFileU(folder + u"\\b.txt"), "b") << Shown(destination);
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), folder, u"b.txt", true)})) << Shown(destination);
    }
    if (!OtherDriveMapped()) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";

    // A drive root as destination, and as the current folder ("K:" as the intake keeps it).
    const std::u16string name = U("kv_root_" + std::to_string(GetCurrentProcessId()) + ".txt");
    {
        Transfer t(src.PathU(), {src / u"b.txt"}, u"K:\\");
        t.Run();
        EXPECT_EQ(ReadFileU(u"K:\\b.txt"), "b");
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), u"K:\\", u"b.txt", true)}));
        DeleteFileW(L"K:\\b.txt");
    }
    ASSERT_TRUE(WriteFileU(u"K:\\" + name, "root"));
    {
        Transfer t(kOtherDrive, {kOtherDrive + (u"\\" + name)}, dst / u"fromroot");
        t.Run();
        EXPECT_EQ(ReadFileU(dst / (u"fromroot\\" + name)), "root");
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(u"K:\\", dst / u"fromroot", name, true)}));
    }
    DeleteFileW(W(u"K:\\" + name));
}

TEST(TransferPaths, MissingLevelsWithJapaneseNamesAreCreated) {
    // 表 and ソ end in 0x5C in code page 932, ル in a byte of its lead range: no
    // matter in UTF-16, where every backslash unit is a separator.
    TempFolder src, dst;
    const std::u16string relative = u"表\\ル\\ソ\\f.txt";
    ASSERT_TRUE(WriteFileU(src / relative, "deep"));
    Transfer t(src.PathU(), {src / relative}, dst / u"nル");
    t.Run();
    EXPECT_EQ(ReadFileU(dst / (u"nル\\" + relative)), "deep");
    ASSERT_EQ(t.Rows().size(), 1u);
    EXPECT_EQ(t.Rows()[0][3], kSucceeded);
}

TEST(TransferPaths, MoveToAnotherVolume) {
    if (!OtherDriveMapped()) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";
    ASSERT_TRUE(FileCallLog::Available());
    TempFolder src;
    const std::u16string target = U("K:\\kv_move_" + std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(WriteFileU(src / u"m.txt", std::string(100000, 'm')));
    ASSERT_TRUE(WriteFileU(src / u"sub\\n.txt", "n"));
    Transfer t(src.PathU(), {src / u"m.txt", src / u"sub\\n.txt"}, target, korvane::kMoveToFolder);
    // A rename is tried first, with write-through; across volumes the copy is flushed
    // to the disk before the source goes.
    std::vector<DWORD> moveFlags;
    {
        FileCallLog log;
        t.Run();
        for (const FileCall& call : log.calls)
            if (call.function == "MoveFileExW") moveFlags.push_back(call.flags);
    }
    EXPECT_EQ(moveFlags, (std::vector<DWORD>(2, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)));
    EXPECT_EQ(t.Rows().size(), 2u);
    for (const Row& row : t.Rows()) EXPECT_EQ(row[3], kSucceeded);
    EXPECT_EQ(ReadFileU(target + u"\\m.txt"), std::string(100000, 'm'));
    EXPECT_EQ(ReadFileU(target + u"\\sub\\n.txt"), "n");
    EXPECT_FALSE(FileExistsU(src / u"m.txt"));
    EXPECT_FALSE(FileExistsU(src / u"sub\\n.txt"));
    EXPECT_EQ(t.Rows().size(), 2u);
    for (const Row& row : t.Rows()) EXPECT_EQ(row[3], kSucceeded);
    RemoveTree(A(target));
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
            ASSERT_TRUE(WriteFileU(src / u"f.txt", "new"));
            ASSERT_TRUE(WriteFileU(dst / u"f.txt", "old"));
            ASSERT_TRUE(SetWriteTime(dst / u"f.txt", base));
            ASSERT_TRUE(SetWriteTime(src / u"f.txt", Plus(base, c.sourceOffset)));
            Transfer t(src.PathU(), {src / u"f.txt"}, dst.PathU(), action, korvane::kOverwriteIfNewer);
            t.Run();
            EXPECT_TRUE(t.driver.questions.empty()) << c.name;
            EXPECT_EQ(ReadFileU(dst / u"f.txt"), c.transferred ? "new" : "old") << c.name;
            EXPECT_EQ(t.Rows().size(), c.transferred ? 1u : 0u) << c.name;
            if (!c.transferred) {
                EXPECT_EQ(ReadFileU(src / u"f.txt"), "new") << c.name << ": a skipped move keeps its source";
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
            ASSERT_TRUE(WriteFileU(src / u"f.txt", "new"));
            ASSERT_TRUE(WriteFileU(src / u"free.txt", "free"));
            ASSERT_TRUE(WriteFileU(dst / u"f.txt", "old"));
            Transfer t(src.PathU(), {src / u"f.txt", src / u"free.txt"}, dst.PathU(), action,
                       korvane::kAskBeforeOverwrite);
            t.driver.answers = {c.answer};
            t.Run();
            EXPECT_EQ(t.driver.questions.size(), 1u) << c.name << ": no question for a missing destination";
            EXPECT_EQ(ReadFileU(dst / u"f.txt"), c.transferred ? "new" : "old") << c.name;
            EXPECT_EQ(ReadFileU(dst / u"free.txt"), "free") << c.name;
            EXPECT_EQ(FileExistsU(src / u"f.txt"), !c.transferred || action == korvane::kCopyToFolder) << c.name;
            ASSERT_EQ(t.Rows().size(), c.transferred ? 2u : 1u) << c.name;
            EXPECT_EQ(t.Rows().back()[2], u"free.txt");
        }
    }
}

TEST(SameName, YesToAllAnswersTheRestOfTheRun) {
    TempFolder src, dst;
    Paths files;
    for (char c = '1'; c <= '5'; ++c) {
        const std::u16string name = U(std::string("c") + c + ".txt");
        ASSERT_TRUE(WriteFileU(src / name, "new"));
        ASSERT_TRUE(WriteFileU(dst / name, "old"));
        files.push_back(src / name);
    }
    files.insert(files.begin() + 3, src / u"vanished.txt");  // listed, then gone before its turn
    ASSERT_TRUE(WriteFileU(dst / u"vanished.txt", "old"));
    Transfer t(src.PathU(), files, dst.PathU(), korvane::kCopyToFolder, korvane::kAskBeforeOverwrite);
    t.driver.answers = {Answer::kYesToAll};
    t.Run();
    EXPECT_EQ(t.driver.questions.size(), 1u);
    for (char c = '1'; c <= '5'; ++c) EXPECT_EQ(ReadFileU(dst / U(std::string("c") + c + ".txt")), "new") << c;
    ASSERT_EQ(t.Rows().size(), 6u);
    EXPECT_EQ(t.Rows()[3], CopyRow(src.PathU(), dst.PathU(), u"vanished.txt", false));

    // The next run asks again.
    Transfer again(src.PathU(), {src / u"c1.txt"}, dst.PathU(), korvane::kCopyToFolder, korvane::kAskBeforeOverwrite);
    again.Run();
    EXPECT_EQ(again.driver.questions.size(), 1u);
}

// A source gone before its turn was not skipped by the user: a failed row, no question.
TEST(SameName, VanishedSourceIsAFailedRowWithoutAQuestion) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(dst / u"gone.txt", "old"));
    for (auto rule : {korvane::kAskBeforeOverwrite, korvane::kOverwriteIfNewer}) {
        Transfer t(src.PathU(), {src / u"gone.txt"}, dst.PathU(), korvane::kCopyToFolder, rule);
        t.Run();
        EXPECT_TRUE(t.driver.questions.empty());
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"gone.txt", false)}));
        EXPECT_EQ(ReadFileU(dst / u"gone.txt"), "old");
    }
}

TEST(SameName, ADestinationThatCannotBeListedIsJudgedByTheProbe) {
    // The listing fails on the destination (nothing of that name can be listed)
    // while the probe found an entry there, or could not tell.
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"f.txt", "new"));
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
        {"time unknown: a failed row, never taken as older", unknown, korvane::kOverwriteIfNewer, 1, Decision::kFail},
        {"asked, answered No", found, korvane::kAskBeforeOverwrite, 0, Decision::kSkip},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetWriteTime(src / u"f.txt", Plus(base, c.offset)));
        DialogDriver driver;
        bool yesToAll = false;
        EXPECT_EQ(korvane::ResolveSameName(src / u"f.txt", dst / u"f.txt", c.facts, c.rule, yesToAll, nullptr), c.want)
            << c.name;
        ASSERT_EQ(driver.questions.size(), c.rule == korvane::kAskBeforeOverwrite ? 1u : 0u) << c.name;
    }
}

TEST(SameName, QuestionDescribesBothFilesInSeventeenLines) {
    TempFolder src, dst;
    // ソ ends in 0x5C in code page 932; 한 and 😀 (a surrogate pair) it cannot hold.
    const std::u16string name = u"rソ한😀.txt";
    ASSERT_TRUE(WriteFileU(src / name, std::string(1234, 's')));
    ASSERT_TRUE(WriteFileU(dst / name, "ddddd"));
    ASSERT_TRUE(SetWriteTime(src / name, LocalTime(2010, 5, 3, 9, 7, 5)));
    ASSERT_TRUE(SetWriteTime(dst / name, LocalTime(2009, 11, 22, 18, 0, 9)));
    // A folder of the same name counts as existing and is described by its own find data.
    ASSERT_TRUE(WriteFileU(src / u"d.txt", "x"));
    ASSERT_TRUE(MakeFolder(A(dst / u"d.txt")));
    ASSERT_TRUE(SetWriteTime(dst / u"d.txt", LocalTime(2001, 2, 3, 4, 5, 6)));

    Transfer t(src.PathU(), {src / name, src / u"d.txt"}, dst.PathU(), korvane::kCopyToFolder,
               korvane::kAskBeforeOverwrite);
    t.driver.answers = {Answer::kNo, Answer::kYes};
    t.Run();
    ASSERT_EQ(t.driver.questions.size(), 2u);
    const std::u16string expected = u"同じ名前のファイルが存在します。\n\n\n\n"
                                    u"　元ファイル名　: " + name + u"\n"
                                    u"　元フォルダ　　: " + src.PathU() + u"\n"
                                    u"　更新日時　　　: 2010/05/03 09:07:05\n"
                                    u"　サイズ　　　　: 1234 Bytes\n\n"
                                    u"を\n\n"
                                    u"　宛先ファイル名: " + name + u"\n"
                                    u"　宛先フォルダ　: " + dst.PathU() + u"\n"
                                    u"　更新日時　　　: 2009/11/22 18:00:09\n"
                                    u"　サイズ　　　　: 5 Bytes\n\n"
                                    u"に上書きしますか？";
    EXPECT_EQ(t.driver.questions[0], expected);
    EXPECT_NE(t.driver.questions[1].find(u"　更新日時　　　: 2001/02/03 04:05:06\n"), std::u16string::npos);
    EXPECT_NE(t.driver.questions[1].find(u"　宛先ファイル名: d.txt\n"), std::u16string::npos);
    // The question is owned by the progress dialog.
    EXPECT_NE(t.driver.questionOwners[0], nullptr);
    // Yes onto a folder: the copy fails and says so.
    EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"d.txt", false)}));
}

// --- no data lost ---------------------------------------------------------------------

TEST(TransferSafety, FileOntoItselfIsNeverTruncatedNorDeleted) {
    TempFolder src;
    ASSERT_TRUE(WriteFileU(src / u"self.txt", "precious"));
    ASSERT_TRUE(WriteFileU(src / u"sub\\deep.txt", "also"));
    // The current folder itself, and other spellings of it.
    for (const std::u16string& destination : {src.PathU(), src.PathU() + u"\\", src / u".", src / u"sub\\.."}) {
        for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
            for (auto rule : {korvane::kOverwriteAlways, korvane::kAskBeforeOverwrite}) {
                Transfer t(src.PathU(), {src / u"self.txt", src / u"sub\\deep.txt"}, destination, action, rule);
                t.driver.answers = {Answer::kYes, Answer::kYes};
                t.Run();
                EXPECT_EQ(ReadFileU(src / u"self.txt"), "precious") << Shown(destination);
                EXPECT_EQ(ReadFileU(src / u"sub\\deep.txt"), "also") << Shown(destination);
                ASSERT_EQ(t.Rows().size(), 2u) << Shown(destination);
                EXPECT_EQ(t.Rows()[0][3], kFailed) << Shown(destination);
                EXPECT_TRUE(t.driver.questions.empty()) << "no question about a file and itself";
            }
        }
    }
}

TEST(TransferSafety, FailuresBecomeRowsAndTheRunGoesOn) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"locked.txt", "locked"));
    ASSERT_TRUE(WriteFileU(src / u"readonly.txt", "new"));
    ASSERT_TRUE(WriteFileU(src / u"blocked\\f.txt", "blocked"));
    ASSERT_TRUE(WriteFileU(src / u"fine.txt", "fine"));
    ASSERT_TRUE(WriteFileU(dst / u"readonly.txt", "kept"));
    ASSERT_TRUE(SetFileAttributesW(W(dst / u"readonly.txt"), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteFileU(dst / u"blocked", "a file where a folder should be"));

    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        UniqueFile lock(CreateFileW(W(src / u"locked.txt"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        ASSERT_TRUE(lock);
        Transfer t(src.PathU(), {src / u"locked.txt", src / u"readonly.txt", src / u"blocked\\f.txt", src / u"fine.txt"},
                   dst.PathU(), action);
        t.Run();
        lock.Reset();
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"locked.txt", false),
                                              CopyRow(src.PathU(), dst.PathU(), u"readonly.txt", false),
                                              CopyRow(src / u"blocked", dst / u"blocked", u"f.txt", false),
                                              CopyRow(src.PathU(), dst.PathU(), u"fine.txt", true)}));
        EXPECT_EQ(ReadFileU(src / u"locked.txt"), "locked");
        EXPECT_FALSE(FileExistsU(dst / u"locked.txt"));
        EXPECT_EQ(ReadFileU(src / u"readonly.txt"), "new");
        EXPECT_EQ(ReadFileU(dst / u"readonly.txt"), "kept");
        EXPECT_EQ(ReadFileU(src / u"blocked\\f.txt"), "blocked");
        EXPECT_EQ(ReadFileU(dst / u"fine.txt"), "fine");
        if (action == korvane::kMoveToFolder) {
            EXPECT_FALSE(FileExistsU(src / u"fine.txt"));
        }
        DeleteFileW(W(dst / u"fine.txt"));
        if (!FileExistsU(src / u"fine.txt")) {
            ASSERT_TRUE(WriteFileU(src / u"fine.txt", "fine"));
        }
    }
    SetFileAttributesW(W(dst / u"readonly.txt"), FILE_ATTRIBUTE_NORMAL);
}

TEST(TransferSafety, NeverWritesOverAWaitingSourceOrWhatTheRunWrote) {
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        TempFolder src;
        ASSERT_TRUE(WriteFileU(src / u"a.jpg", "top"));
        ASSERT_TRUE(WriteFileU(src / u"sel\\a.jpg", "inner"));
        ASSERT_TRUE(WriteFileU(src / u"b.txt", "b"));
        // a.jpg would replace sel\a.jpg, still waiting its turn; the second spelling
        // of b.txt would replace the copy the run has just made.
        Transfer t(src.PathU(), {src / u"a.jpg", src / u"sel\\a.jpg", src / u"b.txt", src / u"B.TXT"}, src / u"sel",
                   action);
        t.Run();
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), src / u"sel", u"a.jpg", false),
                                              CopyRow(src / u"sel", src / u"sel\\sel", u"a.jpg", true),
                                              CopyRow(src.PathU(), src / u"sel", u"b.txt", true),
                                              CopyRow(src.PathU(), src / u"sel", u"B.TXT", false)}))
            << action;
        EXPECT_EQ(ReadFileU(src / u"a.jpg"), "top") << action;
        EXPECT_EQ(ReadFileU(src / u"sel\\sel\\a.jpg"), "inner") << action;
        EXPECT_EQ(FileExistsU(src / u"sel\\a.jpg"), action == korvane::kCopyToFolder) << action;
        EXPECT_EQ(ReadFileU(src / u"sel\\b.txt"), "b") << action;
    }
}

// A folder the run made is written without a probe, but never over something: a
// file put there meanwhile still meets the same-name rule, and a source gone
// before its turn is a failed row.
TEST(TransferSafety, FolderTheRunMadeStillHasTheSameNameRule) {
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        TempFolder src, dst;
        ASSERT_TRUE(WriteFileU(src / u"1.txt", "1"));
        ASSERT_TRUE(WriteFileU(src / u"3.txt", "3"));
        const std::u16string out = dst / u"out";
        Transfer t(src.PathU(), {src / u"1.txt", src / u"gone.txt", src / u"3.txt"}, out, action,
                   korvane::kAskBeforeOverwrite);
        t.driver.answers = {Answer::kNo};
        t.driver.onProgress = [&](int step, HWND) {
            if (step == 3) WriteFileU(out + u"\\3.txt", "theirs");  // the last file is always named
        };
        t.Run();
        EXPECT_EQ(t.driver.questions.size(), 1u) << action;
        EXPECT_EQ(ReadFileU(out + u"\\3.txt"), "theirs") << action;
        EXPECT_EQ(ReadFileU(src / u"3.txt"), "3") << action;
        EXPECT_EQ(ReadFileU(out + u"\\1.txt"), "1") << action;
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), out, u"1.txt", true),
                                              CopyRow(src.PathU(), out, u"gone.txt", false)}))
            << action;
    }
}

// With the sizes the scan listed, a file of 1 MiB among small ones is named too.
TEST(TransferRun, LargeFileNamedWithTheScansSizes) {
    TempFolder src, dst;
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(WriteFileU(src / U("s" + std::to_string(i) + ".txt"), i == 15 ? std::string(1 << 20, 'L') : "s"));
    Transfer t(src.PathU(), {}, dst.PathU());
    t.Scan(u"*.txt");
    const auto& paths = t.job.matches.paths;
    ASSERT_EQ(paths.size(), 30u);
    ASSERT_EQ(t.job.matches.sizes.size(), 30u);
    const auto large = std::find(paths.begin(), paths.end(), src / u"s15.txt") - paths.begin();
    EXPECT_EQ(t.job.matches.sizes[large], 1u << 20);
    t.Run();
    bool named = false;
    for (const auto& step : t.driver.progress.steps)
        named = named || (step.number == large + 1 && step.text.compare(0, 7, u"s15.txt") == 0);
    EXPECT_TRUE(named);
    EXPECT_EQ(t.Rows().size(), 30u);
}

TEST(TransferSafety, SourcesDifferingOnlyInCaseDoNotReplaceEachOther) {
    if (!OtherDriveMapped()) GTEST_SKIP() << "drive K: is mapped by the transfer.drive fixture";
    // The fixture made K:\case\a.txt and K:\case\A.txt, a folder of a case-sensitive file system.
    TempFolder dst;
    Transfer t(u"K:\\case", {}, dst.PathU());
    t.Scan(u"*.txt");
    const auto& paths = t.job.matches.paths;
    if (paths.size() != 2) GTEST_SKIP() << "no case-sensitive folder on K:";
    const std::string first = ReadFileU(paths[0]);
    ASSERT_NE(first, ReadFileU(paths[1]));
    t.Run();
    ASSERT_EQ(t.Rows().size(), 2u);
    EXPECT_EQ(t.Rows()[0][3], kSucceeded);
    EXPECT_EQ(t.Rows()[1][3], kFailed);
    EXPECT_EQ(ReadFileU(dst / u"a.txt"), first) << "the second does not replace the first";
}

// --- cancel, the thread's end and Explorer's window ---------------------------------------

TEST(TransferCancel, StopInTheFirstPumpFinishesThatFileOnly) {
    const struct { const char* name; bool escape; } cases[] = {{"stop button", false}, {"Esc key", true}};
    for (const auto& c : cases) {
        TempFolder src, dst;
        Paths files;
        for (const char16_t* name : {u"1.txt", u"2.txt", u"3.txt"}) {
            ASSERT_TRUE(WriteFileU(src / name, A(name)));
            files.push_back(src / name);
        }
        Transfer t(src.PathU(), files, dst.PathU());
        t.driver.onProgress = [&](int step, HWND dialog) {
            if (step != 1) return;
            if (c.escape)
                PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);  // through the dialog message filter
            else
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        };
        t.Run();
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"1.txt", true)})) << c.name;
        EXPECT_TRUE(FileExistsU(dst / u"1.txt")) << c.name;
        EXPECT_FALSE(FileExistsU(dst / u"2.txt")) << c.name;
        EXPECT_EQ(t.driver.progress.steps.size(), 1u) << c.name;
        EXPECT_TRUE(t.driver.progress.stopped) << c.name;
    }
}

TEST(TransferCancel, QuitMessageEndsTheRunAndIsKeptForTheThread) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"1.txt", "1"));
    ASSERT_TRUE(WriteFileU(src / u"2.txt", "2"));
    Transfer t(src.PathU(), {src / u"1.txt", src / u"2.txt"}, dst.PathU());
    PostQuitMessage(7);
    t.Run();
    MSG msg = {};
    const bool quitKept = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    EXPECT_TRUE(quitKept);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(t.driver.progress.stopped);
    EXPECT_TRUE(t.Rows().empty());
    EXPECT_FALSE(FileExistsU(dst / u"1.txt"));
    EXPECT_FALSE(FileExistsU(dst / u"2.txt"));
}

TEST(TransferCancel, ExplorersWindowIsDisabledForTheRunAndOwnsTheDialogs) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"1.txt", "1"));
    ASSERT_TRUE(WriteFileU(src / u"2.txt", "2"));
    FakeExplorer explorer;
    ASSERT_TRUE(explorer.view);
    Transfer t(src.PathU(), {src / u"1.txt", src / u"2.txt"}, dst.PathU());
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
    Paths files;
    for (const char16_t* name : {u"1.txt", u"2.txt", u"3.txt"}) {
        ASSERT_TRUE(WriteFileU(src / name, A(name)));
        files.push_back(src / name);
    }
    FakeExplorer explorer;
    Transfer t(src.PathU(), files, dst.PathU());
    t.driver.onProgress = [&](int step, HWND) {
        if (step == 1) DestroyWindow(explorer.top);  // takes the owned progress dialog along
    };
    t.Run(explorer.view);
    EXPECT_TRUE(t.driver.progress.stopped);
    EXPECT_FALSE(FileExistsU(dst / u"2.txt"));
    EXPECT_EQ(t.driver.results.shown, 1);
    EXPECT_EQ(t.driver.results.owner, nullptr);
}

// --- with the subfolders (the real scans) ------------------------------------------------

TEST(TransferSubfolders, SubfolderFilesCountInTheProgressAndKeepTheirPlace) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"a.txt", "a"));
    ASSERT_TRUE(WriteFileU(src / u"skip.log", "no"));
    ASSERT_TRUE(WriteFileU(src / u"sub\\b.txt", "b"));
    ASSERT_TRUE(WriteFileU(src / u"sub\\deep\\c.txt", "c"));
    Transfer t(src.PathU(), {}, dst.PathU());
    t.Scan(u"*.txt", true);
    ASSERT_EQ(t.job.matches.paths, (Paths{src / u"a.txt"}));
    t.Run();
    EXPECT_EQ(t.driver.progress.rangeHigh, 3 * korvane::kBarSteps);
    ASSERT_FALSE(t.driver.progress.steps.empty());
    EXPECT_EQ(t.driver.progress.steps.back().number, 3);
    EXPECT_EQ(ReadFileU(dst / u"sub\\b.txt"), "b");
    EXPECT_EQ(ReadFileU(dst / u"sub\\deep\\c.txt"), "c");
    EXPECT_FALSE(FileExistsU(dst / u"skip.log"));
    EXPECT_EQ(t.Rows().size(), 3u);
    EXPECT_EQ(t.returned.size(), 3u) << "the subfolder matches are in the run's list";
}

TEST(TransferSubfolders, DestinationInsideTheCurrentFolderIsNotCopiedAgain) {
    TempFolder src;
    ASSERT_TRUE(WriteFileU(src / u"a.txt", "a"));
    ASSERT_TRUE(WriteFileU(src / u"sub\\b.txt", "b"));
    ASSERT_TRUE(WriteFileU(src / u"out\\old.txt", "left by an earlier run"));
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        Transfer t(src.PathU(), {}, src / u"out", action);
        t.Scan(u"*.txt", true);
        t.Run();
        // The list was complete before the first copy, and the scan does not enter
        // the destination: neither what the run writes nor what lies there is listed.
        EXPECT_EQ(t.Rows().size(), 2u) << action;
        EXPECT_EQ(ReadFileU(src / u"out\\a.txt"), "a") << action;
        EXPECT_EQ(ReadFileU(src / u"out\\sub\\b.txt"), "b") << action;
        EXPECT_EQ(ReadFileU(src / u"out\\old.txt"), "left by an earlier run") << action;
        EXPECT_FALSE(FileExistsU(src / u"out\\out")) << action;
        EXPECT_FALSE(FileExistsU(src / u"out\\out\\a.txt")) << action;
        for (const Row& row : t.Rows()) EXPECT_EQ(row[3], kSucceeded) << Shown(row[2]);
        // Back to the start for the move.
        RemoveTree(A(src / u"out"));
        ASSERT_TRUE(WriteFileU(src / u"a.txt", "a"));
        ASSERT_TRUE(WriteFileU(src / u"sub\\b.txt", "b"));
        ASSERT_TRUE(WriteFileU(src / u"out\\old.txt", "left by an earlier run"));
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
            for (const std::u16string& destination : {src / u"sel", src / u"SEL\\"}) {
                SCOPED_TRACE(A(destination) + " rule " + std::to_string(c.rule) + " action " + std::to_string(action));
                ASSERT_TRUE(WriteFileU(src / u"a.jpg", "top"));
                ASSERT_TRUE(WriteFileU(src / u"sel\\a.jpg", "inner"));
                Transfer t(src.PathU(), {}, destination, action, c.rule);
                t.driver.answers = {c.answer};
                t.Scan(u"*.jpg", true);
                t.Run();
                const std::u16string shown = korvane::StripTrailingBackslash(destination);
                EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), shown, u"a.jpg", true)}));
                EXPECT_EQ(ReadFileU(src / u"sel\\a.jpg"), "top");
                EXPECT_FALSE(FileExistsU(src / u"sel\\sel"));
            }
        }
    }
}
