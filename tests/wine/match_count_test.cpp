// The main dialog's match count: what it counts, how it follows the entries, the
// refusal of an expression the RegExp object rejects, and a dialog closed mid-count.
#include <gtest/gtest.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "dialog/match_count.h"
#include "explorer/list_view_bridge.h"
#include "match/collection.h"
#include "match/match_name.h"
#include "list_view/bridge_support.h"
#include "main_dialog_inputs.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "test_support.h"

using korvane::LoadResourceString;
using namespace commandtest;
using namespace testsupport;

namespace {

// Read with the W function: the dialogs are Unicode windows on the NT family.
std::u16string TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string Count(long n) {
    std::u16string text = LoadResourceString(IDS_MATCH_COUNT);
    const std::string digits = std::to_string(n);
    return text.replace(text.find(u"%d"), 2, std::u16string(digits.begin(), digits.end()));
}

std::u16string CountShown(HWND dialog) { return TextOf(GetDlgItem(dialog, IDC_MAIN_MATCH_COUNT)); }

// Serves this thread's messages (a view of the test's own answers the worker) while
// waiting up to 10 s for the count control to show the text.
bool CountBecomes(HWND dialog, const std::u16string& want) {
    for (int i = 0; i < 1000; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (CountShown(dialog) == want) return true;
        Sleep(10);
    }
    return false;
}

korvane::MainDialogInputs Inputs(const std::string& folder, korvane::InvocationMode mode) {
    return DialogInputs(mode, folder, {"*.txt", "*.doc"}, {"E:\\back"});
}

// a.txt b.txt c.doc directly inside, sub\d.txt and sub\deep\e.txt below.
void MakeFiles(const TempFolder& folder) {
    for (const char* name : {"a.txt", "b.txt", "c.doc", "sub\\d.txt", "sub\\deep\\e.txt", "sub\\f.doc"})
        ASSERT_TRUE(WriteTextFile(folder / name));
}

void SelectHistoryItem(HWND dialog, int index) {
    HWND combo = GetDlgItem(dialog, IDC_MAIN_PATTERN);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PATTERN, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int ThreadsOfThisProcess() {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

BOOL CALLBACK CollectTexts(HWND child, LPARAM texts) {
    reinterpret_cast<std::vector<std::u16string>*>(texts)->push_back(TextOf(child));
    return TRUE;
}

// The message alone, or followed by the RegExp object's own words when it gives any.
bool BoxSaysNotValid(HWND box) {
    const std::u16string message = LoadResourceString(IDS_REGEX_NOT_VALID);
    std::vector<std::u16string> texts;
    EnumChildWindows(box, CollectTexts, reinterpret_cast<LPARAM>(&texts));
    for (const std::u16string& text : texts)
        if (text == message || text.rfind(message + u"\n\n", 0) == 0) return true;
    return false;
}

// One count on this thread, as the worker makes it; -3 when the progress figure
// disagrees with the result.
long CountNow(const std::u16string& pattern, std::uint32_t useRegex, const std::u16string& folder,
              bool subfolders = false) {
    korvane::MatchCountRequest request;
    request.pattern = pattern;
    request.useRegex = useRegex;
    request.folder = folder;
    request.subfolders = subfolders;
    volatile LONG cancel = 0, progress = 0;
    const long count = korvane::CountMatches(request, cancel, progress);
    return count >= 0 && progress != count ? -3 : count;
}

}  // namespace

TEST(MatchCount, FollowsThePatternTheSubfolderBoxAndTheAction) {
    TempFolder folder;
    MakeFiles(folder);
    MainDialogRun run(Inputs(folder.Path(), korvane::kFolderMode));
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);

    EXPECT_TRUE(CountBecomes(dialog, Count(2))) << "the first pattern, counted at once: " << A(CountShown(dialog));
    TypeInto(dialog, IDC_MAIN_PATTERN, "*.doc");
    EXPECT_EQ(CountShown(dialog), u"") << "the old figure goes as soon as the text changes";
    EXPECT_TRUE(CountBecomes(dialog, Count(1))) << A(CountShown(dialog));
    Click(dialog, IDC_MAIN_SUBFOLDERS);
    EXPECT_TRUE(CountBecomes(dialog, Count(2))) << "c.doc and sub\\f.doc: " << A(CountShown(dialog));
    SelectHistoryItem(dialog, 0);  // *.txt, the list item rather than the edit field's old text
    EXPECT_TRUE(CountBecomes(dialog, Count(4))) << A(CountShown(dialog));
    TypeInto(dialog, IDC_MAIN_PATTERN, "");
    EXPECT_TRUE(CountBecomes(dialog, u"")) << "an empty pattern shows nothing";
    Sleep(400);
    EXPECT_EQ(CountShown(dialog), u"");
    TypeInto(dialog, IDC_MAIN_PATTERN, "no-such-name");
    EXPECT_TRUE(CountBecomes(dialog, Count(0))) << A(CountShown(dialog));
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(run.Finish());

    if (!korvane::IsWindows7OrLater()) return;  // extension mode counts the view before Windows 7
    // The clipboard actions never take the subfolders, whatever the box says.
    korvane::MainDialogInputs in = Inputs(folder.Path(), korvane::kExtensionMode);
    in.settings.initialIncludeSubfolders = 1;
    MainDialogRun second(in);
    dialog = second.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(CountBecomes(dialog, Count(4))) << A(CountShown(dialog));
    Click(dialog, IDC_MAIN_COPY_TO_CLIPBOARD);
    EXPECT_TRUE(CountBecomes(dialog, Count(2))) << A(CountShown(dialog));
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(second.Finish());
}

TEST(MatchCount, RegularExpressionsCountAndARejectedOneIsRefusedAtOk) {
    TempFolder folder;
    MakeFiles(folder);
    korvane::MainDialogInputs in = Inputs(folder.Path(), korvane::kFolderMode);
    in.settings.useRegex = 1;
    in.settings.patternHistory = {u"^[ab]\\.txt$"};
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(CountBecomes(dialog, Count(2))) << A(CountShown(dialog));
    TypeInto(dialog, IDC_MAIN_PATTERN, "A");  // case counts
    EXPECT_TRUE(CountBecomes(dialog, Count(0))) << A(CountShown(dialog));

    // A wildcard typed while regular expressions are on.
    TypeInto(dialog, IDC_MAIN_PATTERN, "*.txt");
    EXPECT_TRUE(CountBecomes(dialog, LoadResourceString(IDS_MATCH_REGEX_INVALID))) << A(CountShown(dialog));
    PostClick(dialog, IDOK);
    HWND box = run.Dialog(10000, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), LoadResourceString(IDS_APP_CAPTION));
    // The RegExp object's own words, when it gives any, follow the message.
    EXPECT_TRUE(BoxSaysNotValid(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(10);
    ASSERT_TRUE(IsWindow(dialog)) << "the dialog stays open";
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAIN_PATTERN)), "*.txt") << "with the text as typed";
    EXPECT_EQ(run.choices.pattern, u"unchanged") << "nothing is stored";

    TypeInto(dialog, IDC_MAIN_PATTERN, "\\.doc$");
    PostClick(dialog, IDOK);
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.Result(), IDOK) << "a valid expression passes as before";
    EXPECT_EQ(run.choices.pattern, u"\\.doc$");
}

// The count takes the scan's walk and matcher: names outside the code page count as
// what they are ("?" one character, a surrogate pair included), below the folder
// too, and a name that is no plain name (nul.txt) never counts.
TEST(MatchCount, NamesOutsideTheCodePageCountAsTheScansCollectThem) {
    TempFolder folder;
    for (const char16_t* name : {u"\ud55c\uad6d\uc5b4.txt", u"\ud55c.txt", u"\U0001F600.txt", u"ab.txt",
                                 u"caf\u00e9.txt", u"\ud55c\\y.txt", u"\ud55c\\\ud55c.txt"})
        ASSERT_TRUE(WriteFileU(folder / name)) << testing::PrintToString(name);
    // Only the "\\?\" form makes a file of a device name; the folder's removal needs it too.
    const std::u16string device = u"\\\\?\\" + (folder / u"nul.txt");
    ASSERT_TRUE(UniqueFile(CreateFileW(W(device), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    const struct {
        const char16_t* pattern;
        std::uint32_t useRegex;
        bool subfolders;
        long want;
    } cases[] = {
        {u"\ud55c*", 0, false, 2},  // 한국어.txt, 한.txt; the folder 한 is no file
        {u"?.txt", 0, false, 2},    // 한.txt, 😀.txt, not ab.txt
        {u"?.txt", 0, true, 4},     // and 한\y.txt, 한\한.txt
        {u"??.txt", 0, false, 1},   // ab.txt only
        {u"caf\u00e9.*", 0, false, 1},
        {u"*.txt", 0, true, 7},     // nul.txt never
        {u"^\ud55c", 1, true, 3},
        {u"\U0001F600", 1, false, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountNow(c.pattern, c.useRegex, folder.PathU(), c.subfolders), c.want)
            << testing::PrintToString(c.pattern) << " subfolders " << c.subfolders;
    DeleteFileW(W(device));
}

// "一致 N 件" is what OK acts on: the count takes the collection's own decisions. In
// the view: a folder, a repeated text and a text of path syntax are selected or left
// as the selection does it, and collected only as files once. On the disk: a
// destination inside the current folder is left out of the subfolders, as the run
// leaves it out.
TEST(MatchCount, TheCountIsWhatTheCommandActsOn) {
    TempFolder folder;
    ASSERT_TRUE(WriteFileU(folder / u"a.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"b.txt"));
    ASSERT_TRUE(MakeFolder(folder / "dir.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"sub\\c.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"out\\written.txt"));
    const auto count = [&](const korvane::MatchCountRequest& request) {
        volatile LONG cancel = 0, progress = 0;
        return korvane::CountMatches(request, cancel, progress);
    };
    korvane::MatchCountRequest request;
    request.pattern = u"*.txt";
    request.folder = folder.PathU();
    if (!korvane::IsWindows7OrLater()) {
        viewtest::LocalView view({{u"a.txt"}, {u"a.txt"}, {u"dir.txt"}, {u"x\\y.txt"}, {u"b.txt"}, {u"c.doc"}});
        ASSERT_NE(view.View(), nullptr);
        request.fromView = true;
        request.view = view.View();
        for (const bool collect : {true, false}) {
            request.collectPaths = collect;
            korvane::ViewRequest select;
            select.currentFolder = folder.PathU();
            select.pattern = request.pattern;
            select.collectPaths = collect;
            const korvane::MatchList list = korvane::SelectInView(view.View(), select);
            const long selected = static_cast<long>(SendMessageW(view.View(), LVM_GETSELECTEDCOUNT, 0, 0));
            EXPECT_EQ(count(request), collect ? static_cast<long>(list.paths.size()) : selected) << collect;
            EXPECT_EQ(collect ? list.paths.size() : static_cast<std::size_t>(selected), collect ? 2u : 4u) << collect;
        }
        request.fromView = false;
        request.view = nullptr;
    }
    request.subfolders = true;
    for (const char16_t* destination : {u"out", u"elsewhere", u""}) {
        korvane::DiskRequest disk;
        disk.folder = folder.PathU();
        disk.below = true;
        disk.destination = *destination ? folder / destination : std::u16string();
        request.destination = disk.destination;
        const korvane::MatchList list = korvane::CollectFromDisk(disk, korvane::PreparedPattern(u"*.txt", 0));
        EXPECT_EQ(count(request), static_cast<long>(list.paths.size())) << testing::PrintToString(destination);
        EXPECT_EQ(list.paths.size(), std::u16string(destination) == u"out" ? 3u : 4u);
    }
}

TEST(MatchCount, BeforeWindows7ExtensionModeCountsTheViewsItems) {
    if (korvane::IsWindows7OrLater()) GTEST_SKIP() << "from Windows 7 on every count scans the disk";
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "sub\\below.txt"));
    ASSERT_TRUE(WriteTextFile(folder / "on-disk-only.txt"));
    // Explorer shows what it likes: the view's texts decide, not the files of the folder.
    viewtest::ViewProcess shown({{u"a.txt"}, {u"b.TXT"}, {u"c.doc"}, {u"shown.txt"}});
    ASSERT_NE(shown.View(), nullptr);
    korvane::MainDialogInputs in = Inputs(folder.Path(), korvane::kExtensionMode);
    in.settings.initialAction = korvane::kSelectOnly;
    in.settings.initialIncludeSubfolders = 1;
    in.view = shown.View();
    MainDialogRun run(in);
    HWND dialog = run.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(CountBecomes(dialog, Count(3))) << A(CountShown(dialog));
    Click(dialog, IDC_MAIN_COPY_TO_FOLDER);  // the copy adds the subfolders' matches from the disk
    EXPECT_TRUE(CountBecomes(dialog, Count(4))) << A(CountShown(dialog));
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(run.Finish());
}

namespace {

// The running figure "一致 N 件…" with 0 < N < limit.
bool IsRunningFigure(const std::u16string& shown, long limit) {
    const std::u16string format = LoadResourceString(IDS_MATCH_COUNTING);
    const std::size_t at = format.find(u"%d");
    const std::u16string before = format.substr(0, at), after = format.substr(at + 2);
    if (shown.size() <= before.size() + after.size() || shown.rfind(before, 0) != 0 ||
        shown.compare(shown.size() - after.size(), after.size(), after) != 0)
        return false;
    const std::u16string digits = shown.substr(before.size(), shown.size() - before.size() - after.size());
    if (digits.size() > 9 || digits.find_first_not_of(u"0123456789") != std::u16string::npos) return false;
    const long n = std::stol(std::string(digits.begin(), digits.end()));
    return n > 0 && n < limit;
}

void Serve() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

}  // namespace

// A count still running when the dialog closes ends with it: no thread is left
// running (nor holding the module). The disk count is quick, so the dialog is closed
// at several moments around its start.
TEST(MatchCount, ClosingTheDialogAroundACountLeavesNothingRunning) {
    TempFolder folder;
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(WriteTextFile(folder / ("sub" + std::to_string(i % 30) + "\\" + std::to_string(i) + ".txt")));
    const int threadsBefore = ThreadsOfThisProcess();
    for (DWORD delay : {0u, 100u, 150u, 160u, 175u, 200u}) {
        korvane::MainDialogInputs in = Inputs(folder.Path(), korvane::kFolderMode);
        in.settings.initialIncludeSubfolders = 1;
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        TypeInto(dialog, IDC_MAIN_PATTERN, "1*");
        Sleep(delay);
        PostClick(dialog, IDCANCEL);
        ASSERT_TRUE(run.Finish(5000)) << "the dialog closes within its bounded wait";
    }
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "no thread is left running";
}

// Before Windows 7 a count reads the view item by item: with a view of 5 ms per item
// the dialog is certainly closed in mid-count.
TEST(MatchCount, ClosingTheDialogWhileTheViewIsReadEndsTheCount) {
    if (korvane::IsWindows7OrLater()) GTEST_SKIP() << "from Windows 7 on no view is read";
    const int threadsBefore = ThreadsOfThisProcess();
    {
        constexpr int kItems = 2000;
        viewtest::ScriptedWindow slowView([](UINT message, WPARAM wp, LPARAM lp) -> LRESULT {
            const int index = static_cast<int>(wp);
            if (message == LVM_GETITEMCOUNT) return kItems;
            if (message == LVM_GETNEXTITEM) return index + 1 < kItems ? index + 1 : -1;
            if (!viewtest::IsTextRequest(message)) return 0;
            Sleep(5);
            viewtest::AnswerText(message, lp, u"x.txt");
            return 5;
        });
        korvane::MainDialogInputs in = Inputs("C:\\windows", korvane::kExtensionMode);
        in.settings.initialAction = korvane::kSelectOnly;
        in.view = slowView.Handle();
        MainDialogRun run(in);
        HWND dialog = run.Dialog();
        ASSERT_NE(dialog, nullptr);
        // The running figure shows while this thread answers the view's messages.
        bool running = false;
        for (int i = 0; i < 500 && !running; ++i) {
            Serve();
            running = IsRunningFigure(CountShown(dialog), kItems);
            Sleep(10);
        }
        EXPECT_TRUE(running) << A(CountShown(dialog));
        PostClick(dialog, IDCANCEL);
        // The dialog's bounded wait needs the worker's last message to the view answered.
        bool finished = false;
        for (int i = 0; i < 500 && !finished; ++i) {
            Serve();
            finished = run.Finish(10);
        }
        ASSERT_TRUE(finished);
    }
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "no thread is left running";
}
