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
// stand-ins for the library and the help file.
struct ProductCopy {
    std::string folder, program, library, help;
    ProductCopy(const std::string& where, const std::string& programName = "Retrakt.exe") {
        folder = where;
        program = where + "\\" + programName;
        library = where + "\\Korvane.dll";
        help = where + "\\Korvane.chm";
        MakeFolder(folder);
        CopyFileA((ProgramFolder() + "\\Retrakt.exe").c_str(), program.c_str(), FALSE);
        WriteTextFile(library, "library");
        WriteTextFile(help, "help");
        WriteRegistration(library);
    }
    ~ProductCopy() {
        ClearRegistration();
        DeleteFileA(program.c_str());
    }
    ChildRun Run(const std::vector<int>& answers, const std::string& arguments = "uninstall") const {
        return RunAndAnswer(program, arguments, answers);
    }
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
    EXPECT_TRUE(run.started);
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

using Pairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace

// ---- the pure text work ----------------------------------------------------------

TEST(UninstallText, ArgumentIsTheCommandLineAfterTheProgramName) {
    const struct {
        const char* line;
        const char* argument;
    } cases[] = {
        {"\"C:\\Program Files\\Korvane\\Retrakt.exe\" uninstall", "uninstall"},
        {"C:\\Korvane\\Retrakt.exe uninstall", "uninstall"},
        {"Retrakt.exe \t uninstall", "uninstall"},
        {"Retrakt.exe uninstall ", "uninstall "},  // compared whole, so this one does not act
        {"Retrakt.exe", ""},
        {"\"C:\\a b\\Retrakt.exe\"", ""},
        {"\"C:\\a b\\Retrakt.exe\"uninstall", "uninstall"},
        {"\"unterminated uninstall", ""},
        {"C:\\\x95\x5C\\Retrakt.exe Uninstall", "Uninstall"},
    };
    for (const auto& c : cases) EXPECT_EQ(korvane::ArgumentText(c.line), c.argument) << c.line;
}

TEST(UninstallText, ProgramFolderIsCutAtTheLastRealBackslash) {
    const std::string hyoSo = std::string(kHyo) + kSo;
    const struct {
        std::string path, folder;
    } cases[] = {
        {"C:\\Program Files\\Korvane\\Retrakt.exe", "C:\\Program Files\\Korvane"},
        {"C:\\Retrakt.exe", "C:"},
        {"C:\\" + hyoSo + "\\Retrakt" + kSo + ".exe", "C:\\" + hyoSo},
        {"C:\\a\\" + std::string(kRu) + "\\x.exe", "C:\\a\\" + std::string(kRu)},
        {"Retrakt.exe", "Retrakt.exe"},
        {"\\\\server\\share\\Retrakt.exe", "\\\\server\\share"},
    };
    for (const auto& c : cases) EXPECT_EQ(korvane::ProgramFolder(c.path), c.folder) << c.path;
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
    TempFolder temp("rt");
    ProductCopy product(temp.Path());
    PendingRenames pending;
    for (const char* argument : {"", "Uninstall", "UNINSTALL", "uninstall now", "/uninstall", "\"uninstall\""}) {
        ChildRun run = product.Run({}, argument);
        ExpectEnded(run, 0);
        EXPECT_TRUE(RegistrationIntact()) << argument;
        EXPECT_TRUE(FileExists(product.library) && FileExists(product.help)) << argument;
    }
    EXPECT_TRUE(pending.Added().empty());
}

TEST(Retrakt, NoChangesNothing) {
    TempFolder temp("rt");
    ProductCopy product(temp.Path());
    PendingRenames pending;
    ChildRun run = product.Run({IDNO});
    ExpectEnded(run, 1);
    ExpectBox(run, 0, kCaption, kConfirm, true);
    EXPECT_TRUE(RegistrationIntact());
    EXPECT_TRUE(FileExists(product.library) && FileExists(product.help));
    EXPECT_TRUE(pending.Added().empty());
}

TEST(Retrakt, YesRemovesEverythingAndASecondRunStillEnds) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the 9x family queues its deletions in WinInit.ini";
    TempFolder temp("rt");
    ProductCopy product(temp / "Korvane");
    PendingRenames pending;

    ChildRun run = product.Run({IDYES, IDOK});
    ExpectEnded(run, 2);
    ExpectBox(run, 0, kCaption, kConfirm, true);
    ExpectBox(run, 1, kCaption, kDone, false);
    ExpectRegistrationGone();
    EXPECT_FALSE(FileExists(product.library));
    EXPECT_FALSE(FileExists(product.help));
    // A running program cannot delete itself: it and its folder go at the restart.
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, ""}, {product.folder, ""}}));

    ChildRun again = product.Run({IDYES, IDOK});
    ExpectEnded(again, 2);
    ExpectBox(again, 1, kCaption, kDone, false);
}

TEST(Retrakt, FilesInUseGoAtTheRestart) {
    if (!IsNtPlatform()) GTEST_SKIP() << "NT only";
    TempFolder temp("rt");
    ProductCopy product(temp.Path());
    PendingRenames pending;
    {
        // Held open without FILE_SHARE_DELETE, as a loaded library is.
        UniqueFile held(CreateFileA(product.library.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        ASSERT_TRUE(held);
        ChildRun run = product.Run({IDYES, IDOK});
        ExpectEnded(run, 2);
        ExpectBox(run, 1, kCaption, kDone, false);
    }
    EXPECT_TRUE(FileExists(product.library));
    EXPECT_FALSE(FileExists(product.help));
    EXPECT_EQ(pending.Added(),
              (Pairs{{product.program, ""}, {product.library, ""}, {product.folder, ""}}));
}

TEST(Retrakt, AFolderWithTrailByte5CIsCutAtTheRealSeparator) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the 9x family is covered by the WinInit.ini test";
    TempFolder temp("rt");
    // Both the folder and the program's own name hold a 0x5C second byte: a cut at
    // the last 0x5C byte would name a folder "...\Retrakt" + 0x83.
    ProductCopy product(temp / (std::string(kHyo) + kSo), "Retrakt" + std::string(kSo) + ".exe");
    ASSERT_TRUE(FileExists(product.program));
    PendingRenames pending;
    ChildRun run = product.Run({IDYES, IDOK});
    ExpectEnded(run, 2);
    EXPECT_FALSE(FileExists(product.library));
    EXPECT_FALSE(FileExists(product.help));
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, ""}, {product.folder, ""}}));
}

TEST(Retrakt, AnUninstallerInADriveRootLeavesTheDrive) {
    if (!IsNtPlatform()) GTEST_SKIP() << "NT only";
    const std::string root = "C:";
    if (FileExists(root + "\\Korvane.dll") || FileExists(root + "\\Korvane.chm")) GTEST_SKIP() << "C:\\ holds the product";
    ProductCopy product(root, "RetraktRootTest.exe");
    PendingRenames pending;
    ChildRun run = product.Run({IDYES, IDOK});
    ExpectEnded(run, 2);
    EXPECT_FALSE(FileExists(product.library));
    EXPECT_FALSE(FileExists(product.help));
    // "C:" alone would name the current folder of drive C.
    EXPECT_EQ(pending.Added(), (Pairs{{product.program, ""}}));
}

TEST(Retrakt, RunFromElsewhereRemovesOnlyTheRegisteredProduct) {
    if (!IsNtPlatform()) GTEST_SKIP() << "NT only";
    TempFolder temp("rt");
    ProductCopy product(temp / "Korvane");
    // A copy of the uninstaller in another folder, beside files of the same names
    // that belong to nobody.
    const std::string elsewhere = temp / "Downloads";
    ASSERT_TRUE(MakeFolder(elsewhere));
    const std::string copy = elsewhere + "\\Retrakt.exe";
    ASSERT_TRUE(CopyFileA(product.program.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(WriteTextFile(elsewhere + "\\Korvane.dll", "someone else's"));
    ASSERT_TRUE(WriteTextFile(elsewhere + "\\Korvane.chm", "someone else's"));
    PendingRenames pending;

    ChildRun run = RunAndAnswer(copy, "uninstall", {IDYES, IDOK});
    ExpectEnded(run, 2);
    ExpectBox(run, 1, kCaption, kDone, false);
    ExpectRegistrationGone();
    EXPECT_FALSE(FileExists(product.library));
    EXPECT_FALSE(FileExists(product.help));
    EXPECT_FALSE(FileExists(product.program)) << "the uninstaller beside the registered library";
    EXPECT_TRUE(FileExists(elsewhere + "\\Korvane.dll"));
    EXPECT_TRUE(FileExists(elsewhere + "\\Korvane.chm"));
    EXPECT_TRUE(pending.Added().empty()) << "neither the running copy nor any folder is scheduled";
    DeleteFileA(copy.c_str());
}

TEST(Retrakt, MissingRightsStopBeforeAnyChange) {
    if (!IsNtPlatform()) GTEST_SKIP() << "the 9x family has no rights to miss";
    TempFolder temp("rt");
    ProductCopy product(temp.Path());
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
    EXPECT_TRUE(FileExists(product.library) && FileExists(product.help));
    EXPECT_TRUE(pending.Added().empty());
}

TEST(Retrakt, AClassKeyLeftWithoutItsServerIsNoRightsProblem) {
    TempFolder temp("rt");
    ProductCopy product(temp.Path());
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
    ProductCopy product(temp / ("Korvane long folder " + std::string(kHyo) + kSo), "Retrakt long name.exe");
    const std::vector<std::string> added = {"Nul=" + ShortPath(product.program), "Nul=" + ShortPath(product.library),
                                            "Nul=" + ShortPath(product.help)};
    ASSERT_NE(added[0], "Nul=" + product.program) << "the test needs names whose short form differs";

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
        EXPECT_TRUE(FileExists(product.library) && FileExists(product.help)) << "deleted at the next start, not now";

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
