// Retrakt.exe run as a user would run it: as a child process whose message boxes
// the test answers, on registry keys and files the test prepares.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/unique_handle.h"
#include "retrakt_driver.h"
#include "common/module.h"
#include "test_support.h"
#include "uninstall/uninstall_text.h"

using namespace retrakttest;
using namespace testsupport;

namespace {

const std::wstring kCaption = Wide(u8"Korvane アンインストーラ");
const std::wstring kConfirm = Wide(u8"Korvane をアンインストールしますか？");
const std::wstring kNoRights = Wide(
    u8"アンインストールできません。\nNT/2000/XP/Vista/7 の場合、Administrator 権限をもつユーザーでログインして実行してください。");
const std::wstring kDone = Wide(u8"アンインストール終了しました。");

// A product folder as the installer leaves it: a copy of the built uninstaller and
// stand-ins for the library and the help file, registered there.
struct ProductCopy {
    std::u16string folder, program, library, help;
    ProductCopy(const std::u16string& where, const std::u16string& programName = u"Retrakt.exe")
        : folder(where), program(where + u"\\" + programName), library(where + u"\\Korvane.dll"),
          help(where + u"\\Korvane.chm") {
        WriteFileU(library, "library");  // makes the folder too
        WriteFileU(help, "help");
        CopyFileW(W(U(ProgramFolder() + "\\Retrakt.exe")), W(program), FALSE);
        WriteRegistration(library);
    }
    ~ProductCopy() {
        ClearRegistration();
        for (const std::u16string* file : {&program, &library, &help}) DeleteFileW(W(*file));
    }
    ProductCopy(const ProductCopy&) = delete;
    ProductCopy& operator=(const ProductCopy&) = delete;
    ChildRun Run(const std::vector<int>& answers, const std::u16string& arguments = u"uninstall") const {
        return RunAndAnswer(program, arguments, answers);
    }
    bool FilesStay() const { return FileExistsU(library) && FileExistsU(help); }
};

void ExpectBox(const ChildRun& run, size_t index, const std::wstring& caption, const std::wstring& text, bool yesNo) {
    ASSERT_LT(index, run.boxes.size());
    const SeenBox& box = run.boxes[index];
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.yes, yesNo);
    EXPECT_EQ(box.no, yesNo);
    EXPECT_EQ(box.ok, !yesNo);
}

void ExpectEnded(const ChildRun& run, size_t boxes) {
    EXPECT_TRUE(run.started) << "CreateProcessW failed with error " << run.startError;
    EXPECT_TRUE(run.exited) << "still running at the time limit";
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.boxes.size(), boxes);
}

bool RegistrationIntact() {
    RegistrationState s = ReadRegistration();
    return s.inprocServer && s.classKey && s.fileHandler && s.folderHandler && s.settings && s.uninstallEntry &&
           s.siblingsIntact;
}

void ExpectRegistrationGone() {
    RegistrationState s = ReadRegistration();
    EXPECT_FALSE(s.inprocServer);
    EXPECT_FALSE(s.classKey);
    EXPECT_FALSE(s.fileHandler);
    EXPECT_FALSE(s.folderHandler);
    EXPECT_FALSE(s.settings);
    EXPECT_FALSE(s.uninstallEntry);
    EXPECT_TRUE(s.siblingsIntact) << "only the product's own keys go";
}

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

// Yes, then the closing box: the registration, the library and the help are gone;
// the running program and its folder go at the restart.
void ExpectRemovedAll(const ChildRun& run, const ProductCopy& product, const PendingRenames& pending) {
    ExpectEnded(run, 2);
    ExpectBox(run, 0, kCaption, kConfirm, true);
    ExpectBox(run, 1, kCaption, kDone, false);
    ExpectRegistrationGone();
    EXPECT_FALSE(FileExistsU(product.library));
    EXPECT_FALSE(FileExistsU(product.help));
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, u""}, {product.folder, u""}}));
}

// Folders the uninstaller must handle like any other: names outside ASCII, names
// the ANSI code page cannot hold, and U+00A5, which that code page turns into the
// path separator (0x5C).
const struct InstallFolder {
    const char* what;
    const char16_t* folder;
    const char16_t* programName;
} kInstallFolders[] = {
    {"Japanese, 0x5C trail bytes in the code page", u"表ソ", u"Retraktソ.exe"},
    {"outside the code page", u"Zoë 자료", u"Retrakt.exe"},
    {"yen sign and a surrogate pair", u"a¥b 😀", u"Retrakt😀.exe"},
};

}  // namespace

// ---- the pure text work ----------------------------------------------------------

TEST(UninstallText, ArgumentIsTheCommandLineAfterTheProgramName) {
    const struct {
        const char16_t* line;
        const char16_t* argument;
    } cases[] = {
        {u"\"C:\\Program Files\\Korvane\\Retrakt.exe\" uninstall", u"uninstall"},
        {u"C:\\Korvane\\Retrakt.exe uninstall", u"uninstall"},
        {u"Retrakt.exe \t uninstall", u"uninstall"},
        {u"Retrakt.exe uninstall ", u"uninstall "},  // compared whole, so this one does not act
        {u"Retrakt.exe", u""},
        {u"\"C:\\a b\\Retrakt.exe\"", u""},
        {u"\"C:\\a b\\Retrakt.exe\"uninstall", u"uninstall"},
        {u"\"unterminated uninstall", u""},
        {u"C:\\表\\Retrakt.exe Uninstall", u"Uninstall"},
        // Blanks and quotes decide, whatever the units around them.
        {u"\"C:\\Zoë 자료\\Retrakt.exe\" uninstall", u"uninstall"},
        {u"C:\\Zoë\u3000자료\\Retrakt.exe uninstall", u"uninstall"},  // an ideographic space is no blank
        {u"\"C:\\a😀\\Retrakt.exe\"\tüninstall", u"üninstall"},
    };
    for (const auto& c : cases) EXPECT_EQ(korvane::ArgumentText(c.line), c.argument) << A(c.line);
}

TEST(UninstallText, ProgramFolderIsCutAtTheLastRealBackslash) {
    const struct {
        const char16_t* path;
        const char16_t* folder;
    } cases[] = {
        {u"C:\\Program Files\\Korvane\\Retrakt.exe", u"C:\\Program Files\\Korvane"},
        {u"C:\\Retrakt.exe", u"C:"},
        {u"C:\\表ソ\\Retraktソ.exe", u"C:\\表ソ"},
        {u"C:\\a\\ル\\x.exe", u"C:\\a\\ル"},
        {u"Retrakt.exe", u"Retrakt.exe"},
        {u"\\\\server\\share\\Retrakt.exe", u"\\\\server\\share"},
        {u"C:\\Zoë 자료\\Retrakt.exe", u"C:\\Zoë 자료"},
        {u"C:\\a¥b\\R¥.exe", u"C:\\a¥b"},  // U+00A5 is a plain character in UTF-16
        {u"C:\\😀\\R😀.exe", u"C:\\😀"},
    };
    for (const auto& c : cases) EXPECT_EQ(korvane::ProgramFolder(c.path), c.folder) << A(c.path);
}

TEST(UninstallText, PlanFollowsTheRegisteredLibrary) {
    using korvane::PlanRemoval;
    const std::u16string folder = u"C:\\Zoë 자료";
    const std::u16string program = folder + u"\\Retrakt.exe", library = folder + u"\\Korvane.dll";
    const struct {
        const char* what;
        std::u16string program, registered;
        bool sameFolder;
        std::u16string wantProgram, wantFolder;
        std::vector<std::u16string> wantFiles;
    } cases[] = {
        {"in the registered folder", program, library, true, program, folder,
         {folder + u"\\Korvane.dll", folder + u"\\Korvane.chm"}},
        {"a copy elsewhere", u"D:\\Downloads\\Retrakt.exe", library, false, u"", u"",
         {folder + u"\\Korvane.dll", folder + u"\\Korvane.chm", folder + u"\\Retrakt.exe"}},
        // "C:" alone would name the current folder of drive C.
        {"in a drive's root", u"C:\\Retrakt.exe", u"C:\\Korvane.dll", true, u"C:\\Retrakt.exe", u"",
         {u"C:\\Korvane.dll", u"C:\\Korvane.chm"}},
        {"no registration", program, u"", false, u"", u"", {}},
        {"a registration without a folder", program, u"Korvane.dll", false, u"", u"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const korvane::ProductFiles plan = PlanRemoval(c.program, c.registered, c.sameFolder);
        EXPECT_EQ(plan.program, c.wantProgram);
        EXPECT_EQ(plan.folder, c.wantFolder);
        EXPECT_EQ(plan.files, c.wantFiles);
    }
}

TEST(UninstallText, EntriesAreAppendedOnlyWhileTheListFits) {
    using korvane::AppendProfileEntries;
    const std::string old("a=1\0b=2\0", 8);
    const std::vector<std::string> add = {"Nul=X", "Nul=YY"};
    // The whole list: old (8) + "Nul=X\0" (6) + "Nul=YY\0" (7) + closing NUL (1) = 22.
    EXPECT_EQ(AppendProfileEntries(old, add, 22), old + std::string("Nul=X\0Nul=YY\0", 13));
    EXPECT_EQ(AppendProfileEntries(old, add, 21), old + std::string("Nul=X\0", 6)) << "the second no longer fits";
    EXPECT_EQ(AppendProfileEntries(old, add, 15), old + std::string("Nul=X\0", 6));
    EXPECT_EQ(AppendProfileEntries(old, add, 14), old) << "a full section comes back unchanged";
    EXPECT_EQ(AppendProfileEntries(old, {"Nul=LONG", "Nul=X"}, 17), old) << "order is kept: no later entry jumps ahead";
    EXPECT_EQ(AppendProfileEntries("", add, 32000), std::string("Nul=X\0Nul=YY\0", 13));
    // GetPrivateProfileSectionA cuts a longer section at capacity - 2: nothing more fits.
    EXPECT_EQ(AppendProfileEntries(std::string(31998, 'x'), {"N"}, 32000), std::string(31998, 'x'));
}

// ---- the program -----------------------------------------------------------------

TEST(Retrakt, AnyOtherArgumentShowsAndChangesNothing) {
    const struct {
        const char16_t* argument;
        bool ntOnly;
    } arguments[] = {
        {u"", false}, {u"Uninstall", false}, {u"UNINSTALL", false}, {u"uninstall now", false},
        {u"/uninstall", false}, {u"\"uninstall\"", false},
        // The code page's best fit makes "uninstall" of both (measured under Wine in
        // code page 932): read through GetCommandLineA they would act. A command line
        // of the 9x family never holds them.
        {u"üninstall", true}, {u"uninstàll", true},
    };
    for (const char16_t* where : {u"Korvane", u"Zoë 자료"}) {
        TempFolder temp("rt");
        ProductCopy product(temp / where);
        PendingRenames pending;
        for (const auto& a : arguments) {
            if (a.ntOnly && !IsNtPlatform()) continue;
            SCOPED_TRACE(A(product.folder) + " / " + A(a.argument));
            ChildRun run = product.Run({}, a.argument);
            ExpectEnded(run, 0);
            EXPECT_TRUE(RegistrationIntact());
            EXPECT_TRUE(product.FilesStay());
        }
        EXPECT_TRUE(pending.Added().empty());
    }
}

TEST(Retrakt, NoChangesNothing) {
    TempFolder temp("rt");
    ProductCopy product(temp.PathU());
    PendingRenames pending;
    ChildRun run = product.Run({IDNO});
    ExpectEnded(run, 1);
    ExpectBox(run, 0, kCaption, kConfirm, true);
    EXPECT_TRUE(RegistrationIntact());
    EXPECT_TRUE(product.FilesStay());
    EXPECT_TRUE(pending.Added().empty());
}

TEST(Retrakt, YesRemovesEverythingAndASecondRunStillEnds) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the 9x family queues its deletions in WinInit.ini";
    TempFolder temp("rt");
    ProductCopy product(temp / u"Korvane");
    PendingRenames pending;

    ExpectRemovedAll(product.Run({IDYES, IDOK}), product, pending);

    // Without a registration nothing more is known to be the product's.
    ChildRun again = product.Run({IDYES, IDOK});
    ExpectEnded(again, 2);
    ExpectBox(again, 1, kCaption, kDone, false);
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, u""}, {product.folder, u""}}));
}

TEST(Retrakt, FilesInUseGoAtTheRestart) {
    if (!IsNtPlatform()) GTEST_SKIP() << "NT only";
    TempFolder temp("rt");
    ProductCopy product(temp.PathU());
    PendingRenames pending;
    {
        // Held open without FILE_SHARE_DELETE, as a loaded library is.
        UniqueFile held(
            CreateFileW(W(product.library), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ChildRun run = product.Run({IDYES, IDOK});
        ExpectEnded(run, 2);
        ExpectBox(run, 1, kCaption, kDone, false);
    }
    EXPECT_TRUE(FileExistsU(product.library));
    EXPECT_FALSE(FileExistsU(product.help));
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, u""}, {product.library, u""}, {product.folder, u""}}));
}

// The NT family reads the program's command line and its own path in UTF-16: a path
// through the code page would name another folder ("Zoe ??", or a separator for ¥)
// or none, and the program and its folder would never be scheduled.
TEST(Retrakt, AnyInstallFolderIsCutAtTheRealSeparator) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the 9x family is covered by the WinInit.ini test";
    for (const InstallFolder& f : kInstallFolders) {
        SCOPED_TRACE(f.what);
        TempFolder temp("rt");
        ProductCopy product(temp / f.folder, f.programName);
        ASSERT_TRUE(FileExistsU(product.program));
        PendingRenames pending;
        ExpectRemovedAll(product.Run({IDYES, IDOK}), product, pending);
    }
}

TEST(Retrakt, AnUninstallerInADriveRootLeavesTheDrive) {
    if (!IsNtPlatform()) GTEST_SKIP() << "NT only";
    const std::u16string root = u"C:";
    if (FileExistsU(root + u"\\Korvane.dll") || FileExistsU(root + u"\\Korvane.chm"))
        GTEST_SKIP() << "C:\\ holds the product";
    ProductCopy product(root, u"RetraktRootTest.exe");
    PendingRenames pending;
    ChildRun run = product.Run({IDYES, IDOK});
    ExpectEnded(run, 2);
    EXPECT_FALSE(FileExistsU(product.library));
    EXPECT_FALSE(FileExistsU(product.help));
    // "C:" alone would name the current folder of drive C.
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, u""}}));
}

TEST(Retrakt, RunFromElsewhereRemovesOnlyTheRegisteredProduct) {
    if (!IsNtPlatform()) GTEST_SKIP() << "NT only";
    TempFolder temp("rt");
    ProductCopy product(temp / u"Zoë 자료");
    // A copy of the uninstaller in another folder, beside files of the same names
    // that belong to nobody.
    const std::u16string elsewhere = temp / u"Downloads";
    ASSERT_TRUE(WriteFileU(elsewhere + u"\\Korvane.dll", "someone else's"));
    ASSERT_TRUE(WriteFileU(elsewhere + u"\\Korvane.chm", "someone else's"));
    const std::u16string copy = elsewhere + u"\\Retrakt.exe";
    ASSERT_TRUE(CopyFileW(W(product.program), W(copy), FALSE));
    PendingRenames pending;

    ChildRun run = RunAndAnswer(copy, u"uninstall", {IDYES, IDOK});
    ExpectEnded(run, 2);
    ExpectBox(run, 1, kCaption, kDone, false);
    ExpectRegistrationGone();
    EXPECT_FALSE(FileExistsU(product.library));
    EXPECT_FALSE(FileExistsU(product.help));
    EXPECT_FALSE(FileExistsU(product.program)) << "the uninstaller beside the registered library";
    EXPECT_TRUE(FileExistsU(elsewhere + u"\\Korvane.dll"));
    EXPECT_TRUE(FileExistsU(elsewhere + u"\\Korvane.chm"));
    EXPECT_TRUE(pending.Added().empty()) << "neither the running copy nor any folder is scheduled";
    DeleteFileW(W(copy));
}

TEST(Retrakt, MissingRightsStopBeforeAnyChange) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the 9x family has no rights to miss";
    TempFolder temp("rt");
    ProductCopy product(temp.PathU());
    PendingRenames pending;
    // Wine grants DELETE on a key whatever its DACL says (a DACL of reading alone, or
    // a deny-DELETE entry, still lets RegDeleteKeyA through), so the deletion of
    // "InprocServer32" is made to fail the way NT refuses a key that has a subkey.
    const std::string inproc = std::string("CLSID\\") + korvane::kClassIdText + "\\InprocServer32";
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, inproc));
    {
        UniqueKey sub;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (inproc + "\\Held").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  sub.Put(), nullptr),
                  ERROR_SUCCESS);
    }

    ChildRun run = product.Run({IDYES, IDOK});
    ExpectEnded(run, 2);
    ExpectBox(run, 0, kCaption, kConfirm, true);
    ExpectBox(run, 1, L"Error", kNoRights, false);
    EXPECT_TRUE(RegistrationIntact());
    EXPECT_TRUE(product.FilesStay());
    EXPECT_TRUE(pending.Added().empty());
}

TEST(Retrakt, AClassKeyLeftWithoutItsServerIsNoRightsProblem) {
    TempFolder temp("rt");
    ProductCopy product(temp.PathU());
    PendingRenames pending;
    const std::string classKey = std::string("CLSID\\") + korvane::kClassIdText;
    {
        UniqueKey key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_QUERY_VALUE, key.Put()), ERROR_SUCCESS);
        ASSERT_EQ(RegDeleteKeyA(key.Get(), "InprocServer32"), ERROR_SUCCESS);
    }
    ChildRun run = product.Run({IDYES, IDOK});
    ExpectEnded(run, 2);
    ExpectBox(run, 1, kCaption, kDone, false);
    ExpectRegistrationGone();
}

// ---- the 9x family: WinInit.ini --------------------------------------------------

namespace {

std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// The lines of one section of an .ini file, as written on disk.
std::vector<std::string> SectionLines(const std::string& content, const std::string& name) {
    std::vector<std::string> lines;
    bool inside = false;
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find('\n', at);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        at = end + 1;
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + name + "]";
            continue;
        }
        if (inside && !line.empty()) lines.push_back(line);
    }
    return lines;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

// Keeps the Windows folder's WinInit.ini as it was found.
struct WinInitGuard {
    std::string path = WindowsFolder() + "\\WinInit.ini";
    bool existed = FileExists(path);
    std::string content = existed ? ReadTextFile(path) : std::string();
    ~WinInitGuard() {
        if (existed)
            WriteTextFile(path, content);
        else
            DeleteFileA(path.c_str());
    }
};

// Entries of exactly `bytes` bytes in all, each with its NUL as the section counts it.
std::string FillerSection(size_t bytes) {
    std::string text;
    size_t used = 0;
    for (int i = 0; used < bytes; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "NUL=C:\\OLD\\F%05d.TMP", i);
        std::string entry = line;
        const size_t left = bytes - used;
        if (left < entry.size() + 1 + 24) entry.append(left - entry.size() - 1, 'X');  // the last one takes the rest
        text += entry + "\r\n";
        used += entry.size() + 1;
    }
    return text;
}

}  // namespace

TEST(Retrakt, OnThe9xFamilyWinInitGainsThreeNulLines) {
    if (IsNtPlatform()) GTEST_SKIP() << "run with the Windows version set to win98";
    WinInitGuard guard;
    TempFolder temp("rt");
    // WinInit.ini is read in the code page: the 9x family's paths are the code page's own.
    ProductCopy product(temp / u"Korvane long folder 表ソ", u"Retrakt long name.exe");
    std::vector<std::string> added;
    for (const std::u16string* file : {&product.program, &product.library, &product.help})
        added.push_back("Nul=" + ShortPath(A(*file)));
    ASSERT_NE(added[0], "Nul=" + A(product.program)) << "the test needs names whose short form differs";

    const std::string other = "[Other]\r\nkey=value\r\n";
    const std::vector<std::string> kept = {"NUL=C:\\OLD1.TMP", "C:\\NEW.TXT=C:\\OLD.TXT", "NUL=C:\\OLD2.TMP"};
    const struct {
        const char* what;
        bool exists;
        std::string content;
        bool grows;
    } cases[] = {
        {"no file", false, "", true},
        {"existing entries", true, other + "[Rename]\r\n" + kept[0] + "\r\n" + kept[1] + "\r\n" + kept[2] + "\r\n", true},
        {"nearly full", true, "[Rename]\r\n" + FillerSection(31990), false},
        {"longer than the buffer", true, "[Rename]\r\n" + FillerSection(40000), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(guard.path.c_str());
        if (c.exists) {
            ASSERT_TRUE(WriteTextFile(guard.path, c.content));
        }
        WriteRegistration(product.library);

        ChildRun run = product.Run({IDYES, IDOK});
        ExpectEnded(run, 2);
        ExpectBox(run, 1, kCaption, kDone, false);
        ExpectRegistrationGone();
        EXPECT_TRUE(product.FilesStay()) << "deleted at the next start, not now";

        const std::string after = ReadTextFile(guard.path);
        if (!c.grows) {
            EXPECT_EQ(after, c.content) << "the file must stay exactly as it was";
            continue;
        }
        std::vector<std::string> want = SectionLines(c.content, "Rename");
        want.insert(want.end(), added.begin(), added.end());
        EXPECT_EQ(SectionLines(after, "Rename"), want);
        EXPECT_EQ(SectionLines(after, "Other"), SectionLines(c.content, "Other"));
    }
}
