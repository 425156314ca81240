// ScanFolder and ScanTree on real folders: attributes, names without a dot,
// subfolders, Shift-JIS names, names outside the code page, names that are no plain
// names, paths at the system's length limit, a bare drive, and links that lead back up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "match/folder_scan.h"
#include "match/match_name.h"
#include "os/files.h"
#include "test_support.h"

using korvane::FailureReason;
using korvane::MatchList;
using namespace testsupport;
using Paths = std::vector<std::u16string>;
using Strings = std::vector<std::string>;

namespace {

MatchList Here(const std::u16string& folder, const std::u16string& pattern, std::uint32_t regex = 0) {
    return korvane::ScanFolder(folder, korvane::PreparedPattern(pattern, regex));
}

MatchList Tree(const std::u16string& folder, const std::u16string& pattern, bool addHere, std::uint32_t regex = 0,
               const std::u16string& leaveOut = std::u16string()) {
    return korvane::ScanTree(folder, korvane::PreparedPattern(pattern, regex), addHere, leaveOut);
}

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::uint32_t UnitsOf(const Paths& paths) {
    std::uint32_t total = 0;
    for (const auto& p : paths) total += static_cast<std::uint32_t>(p.size() + 1);
    return total;
}

// The left-out names as comparable tuples, sorted.
using LeftOut = std::tuple<std::u16string, std::u16string, FailureReason>;
std::vector<LeftOut> LeftOutOf(const MatchList& list) {
    std::vector<LeftOut> left;
    for (const auto& n : list.leftOut) left.emplace_back(n.folder, n.name, n.reason);
    std::sort(left.begin(), left.end());
    return left;
}

std::string UnixPath(const std::u16string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    char* name = unixName ? unixName(W(windowsPath)) : nullptr;
    if (!name) return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Links are made on the Unix side: Wine's CreateSymbolicLinkA reports success and
// makes nothing. Wine starts a Unix program given by its Z: path, but its handle
// cannot be waited on, so the caller says when the work shows.
template <typename Done>
bool RunUnix(const std::string& program, const Strings& args, Done done) {
    std::string line = program;
    for (const auto& a : args) line += " \"" + a + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(("Z:" + program).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 250 && !done(); ++i) Sleep(20);
    return done();
}

// A Unix symbolic link, seen from Windows at windowsAt; removed when the object goes.
struct UnixLink {
    std::string unixAt;
    std::u16string windowsAt;
    bool made = false;
    UnixLink(const std::string& unixLink, const std::string& unixTarget, const std::u16string& windowsLink)
        : unixAt(unixLink), windowsAt(windowsLink) {
        made = !unixAt.empty() && !unixTarget.empty() &&
               RunUnix("/bin/ln", {"-s", unixTarget, unixAt}, [&] { return FileExistsU(windowsAt + u"\\"); });
    }
    UnixLink(const UnixLink&) = delete;
    ~UnixLink() {
        if (made) RunUnix("/bin/rm", {unixAt}, [&] { return !FileExistsU(windowsAt + u"\\"); });
    }
};

UnixLink LinkInTree(const std::u16string& link, const std::u16string& target) {
    return UnixLink(UnixPath(link), UnixPath(target), link);
}

// Names the plain functions refuse or cut (device names, a final dot, long paths)
// are made and removed through the "\\?\" form, which hands the path on untouched.
std::u16string Verbatim(const std::u16string& path) { return u"\\\\?\\" + path; }

bool MakeVerbatimFolder(const std::u16string& path) { return CreateDirectoryW(W(Verbatim(path)), nullptr) != 0; }

bool MakeVerbatimFile(const std::u16string& path) {
    HANDLE file = CreateFileW(W(Verbatim(path)), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void RemoveVerbatimTree(const std::u16string& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(W(Verbatim(path + u"\\*")), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
            if (name == u"." || name == u"..") continue;
            const std::u16string inner = path + u"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveVerbatimTree(inner);
            else
                DeleteFileW(W(Verbatim(inner)));
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(W(Verbatim(path)));
}

// A temporary folder whose contents the plain functions could not remove.
class VerbatimFolder {
public:
    ~VerbatimFolder() { RemoveVerbatimTree(folder_.PathU()); }
    std::u16string PathU() const { return folder_.PathU(); }
    std::u16string operator/(const std::u16string& relative) const { return folder_ / relative; }

private:
    TempFolder folder_;
};

}  // namespace

TEST(FolderScan, CollectsMatchingFilesOfAnyAttribute) {
    TempFolder folder;
    const std::string hyo = std::string(kHyo) + ".txt", inSo = std::string("a") + kSo + "\\" + kRu + ".txt";
    for (const std::string name : {"hidden.txt", "system.TXT", "readonly.txt", "README", "x.doc", "README.md", hyo.c_str(),
                                   "sub.txt\\inner.txt", inSo.c_str()})
        ASSERT_TRUE(WriteTextFile(folder / name));
    SetFileAttributesA((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((folder / "system.TXT").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((folder / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((folder / (std::string("a") + kSo)).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    const MatchList here = Here(folder.PathU(), u"*.txt\treadme.");
    const Paths expected = U(Strings{folder / "README", folder / "hidden.txt", folder / "readonly.txt",
                                     folder / "system.TXT", folder / hyo});  // the folder sub.txt is no file
    EXPECT_EQ(Sorted(here.paths), Sorted(expected));
    EXPECT_EQ(here.pathUnits, UnitsOf(expected));

    // Without the folder itself, the tree gives only what lies below it.
    const MatchList below = Tree(folder.PathU(), u"*.txt\treadme.", false);
    ASSERT_EQ(below.paths.size(), 2u);
    EXPECT_EQ(Sorted(below.paths), Sorted(U(Strings{folder / "sub.txt\\inner.txt", folder / inSo})));
    EXPECT_EQ(below.pathUnits, UnitsOf(below.paths));

    const MatchList regex = Here(folder.PathU(), u"^[a-z]+\\.doc$", 1);
    EXPECT_EQ(regex.paths, Paths{folder / u"x.doc"});
    EXPECT_EQ(regex.pathUnits, UnitsOf(regex.paths));
    EXPECT_TRUE(Here(folder.PathU(), u"(", 1).paths.empty());
}

TEST(FolderScan, NothingToCollect) {
    TempFolder folder;
    ASSERT_TRUE(MakeFolder(folder / "only\\folders"));
    for (const std::u16string& path : {folder.PathU(), folder / u"only", folder / u"missing"}) {
        const MatchList here = Here(path, u"*");
        EXPECT_EQ(here.paths, Paths{}) << A(path);
        EXPECT_EQ(here.pathUnits, 0u) << A(path);
        EXPECT_EQ(Tree(path, u"*", true).paths, Paths{}) << A(path);
    }
}

TEST(FolderScan, SubfoldersDepthFirstWithTheFolderItselfOnRequest) {
    TempFolder folder;
    for (const char* name : {"top.txt", "a\\1.txt", "a\\b\\2.txt", "a\\b\\c\\3.txt", "a\\4.log", "d\\5.txt"})
        ASSERT_TRUE(WriteTextFile(folder / name));
    const Paths got = Tree(folder.PathU(), u"*.txt", true).paths;
    EXPECT_EQ(Sorted(got), Sorted({folder / u"top.txt", folder / u"a\\1.txt", folder / u"a\\b\\2.txt",
                                   folder / u"a\\b\\c\\3.txt", folder / u"d\\5.txt"}));
    // Everything below a comes in one run, whatever order the entries come in.
    std::vector<std::size_t> underA;
    const std::u16string a = folder / u"a\\";
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i].compare(0, a.size(), a) == 0) underA.push_back(i);
    ASSERT_EQ(underA.size(), 3u);
    EXPECT_EQ(underA.back() - underA.front(), 2u);
    // A folder left out is named as the scan spells it, in any case.
    EXPECT_EQ(Sorted(Tree(folder.PathU(), u"*.txt", false, 0, folder / u"A\\B").paths),
              Sorted({folder / u"a\\1.txt", folder / u"d\\5.txt"}));
}

// Each path has its size beside it; paths from elsewhere keep their places, with no
// size, when a subfolder scan's are appended.
TEST(FolderScan, SizesBesideThePaths) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt", "12345"));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\b.txt", std::string(70000, 'b')));
    EXPECT_EQ(Here(folder.PathU(), u"*.txt").sizes, (std::vector<std::uint64_t>{5}));
    MatchList list;
    list.paths = {folder / u"from the view.txt"};
    korvane::AppendMatches(list, Tree(folder.PathU(), u"*.txt", false));
    EXPECT_EQ(list.paths, (Paths{folder / u"from the view.txt", folder / u"sub\\b.txt"}));
    EXPECT_EQ(list.sizes, (std::vector<std::uint64_t>{korvane::kSizeUnknown, 70000}));
}

// The root of a drive is passed as "D:" alone; the entries read "D:\name". A free
// letter is mapped to a temporary folder through Wine's dosdevices.
TEST(FolderScan, BareDrive) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "root.txt"));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\below.txt"));
    const std::string devices = UnixPath(u"C:\\");  // ".../dosdevices/c:/"
    if (devices.size() < 4) GTEST_SKIP() << "not under Wine";
    char letter = 'P';
    while (letter < 'Z' && (GetLogicalDrives() & (1u << (letter - 'A')))) ++letter;
    const std::u16string drive = {static_cast<char16_t>(letter), u':'};
    const UnixLink device(devices.substr(0, devices.size() - 3) + static_cast<char>(letter + 32) + ":",
                          UnixPath(folder.PathU()), drive);
    ASSERT_TRUE(device.made);

    const MatchList here = Here(drive, u"*.txt");
    EXPECT_EQ(here.paths, Paths{drive + u"\\root.txt"});
    EXPECT_EQ(here.pathUnits, 12u);
    EXPECT_EQ(Tree(drive, u"*.txt", false).paths, (Paths{drive + u"\\sub\\below.txt"}));
}

// A link inside the tree back to its top, and one to a sibling: neither is followed,
// so the scan ends and every file appears once, under its real path.
TEST(FolderScan, LinksToFoldersAreNotFollowed) {
    TempFolder folder;
    for (const char* name : {"top.txt", "a\\1.txt", "a\\b\\2.txt", "c\\3.txt"}) ASSERT_TRUE(WriteTextFile(folder / name));
    const UnixLink up = LinkInTree(folder / u"a\\b\\up", folder.PathU());
    const UnixLink side = LinkInTree(folder / u"a\\side", folder / u"c");
    if (!up.made || !side.made) GTEST_SKIP() << "not under Wine: no link could be made";
    ASSERT_TRUE(FileExists(folder / "a\\b\\up\\a\\b\\up\\top.txt")) << "the loop is real";

    // Wine shows a Unix link to a folder as a folder with the reparse-point bit.
    WIN32_FIND_DATAA entry;
    FindClose(FindFirstFileA((folder / "a\\b\\up").c_str(), &entry));
    EXPECT_EQ(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

    const MatchList tree = Tree(folder.PathU(), u"*", true);
    EXPECT_EQ(Sorted(tree.paths),
              Sorted({folder / u"top.txt", folder / u"a\\1.txt", folder / u"a\\b\\2.txt", folder / u"c\\3.txt"}));
    EXPECT_EQ(tree.linkedFolders, 2u) << "each link passed by is told, for the results to say so";
}

// A stop is seen at every folder entered and every entry listed, not only at a file
// name: a tree of folders without a matching file still ends at once.
TEST(FolderScan, AStopEndsAWalkThatMeetsNoFile) {
    TempFolder folder;
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(MakeFolder(folder / ("d" + std::to_string(i) + "\\e")));
    int asked = 0;
    volatile long cancel = 0;
    korvane::ScanVisitor visitor;
    visitor.accepts = [&](std::u16string_view) { return ++asked, true; };
    visitor.taken = [](const std::u16string&, std::u16string_view, std::uint64_t) {};
    visitor.cancel = &cancel;
    korvane::ScanFiles(folder.PathU(), true, true, visitor);  // runs to its end
    cancel = 1;
    EXPECT_THROW(korvane::ScanFiles(folder.PathU(), true, true, visitor), korvane::ScanStopped);
    EXPECT_EQ(asked, 0);
}

// Names code page 932 cannot hold: through the ANSI listing café.txt would read as
// cafe.txt (and open the other file), ¥ as a separator, ☃ and 😀 as '?', Hangul not
// at all. The scans take every one of them exactly as it is, in both pattern modes,
// cafe.txt and café.txt as two files; photo☃.jpg does not match.
TEST(FolderScan, NamesOutsideTheCodePageAreCollectedExactly) {
    TempFolder folder;
    const std::vector<std::u16string> here = {u"cafe.txt", u"caf\u00e9.txt", u"a\u00a5..\u00a5..\u00a5notes.txt",
                                              u"snow\u2603.txt", u"\ud55c\uad6d\uc5b4.txt", u"a\U0001F600.txt"};
    const std::vector<std::u16string> below = {u"plain\\inner.txt", u"sub\u2603\\inner.txt", u"\ud55c\\y.txt"};
    std::vector<std::u16string> all = here;
    all.insert(all.end(), below.begin(), below.end());
    for (const auto& name : all) ASSERT_TRUE(WriteFileU(folder / name)) << testing::PrintToString(name);
    ASSERT_TRUE(WriteFileU(folder / u"photo\u2603.jpg"));

    for (const std::uint32_t regex : {0u, 1u}) {
        const std::u16string pattern = regex ? u"\\.txt$" : u"*.txt";
        const MatchList hereList = Here(folder.PathU(), pattern, regex);
        const MatchList tree = Tree(folder.PathU(), pattern, false, regex);
        Paths wantHere, wantBelow;
        for (const auto& name : here) wantHere.push_back(folder / name);
        for (const auto& name : below) wantBelow.push_back(folder / name);
        EXPECT_EQ(Sorted(hereList.paths), Sorted(wantHere)) << regex;
        EXPECT_EQ(Sorted(tree.paths), Sorted(wantBelow)) << regex;
        EXPECT_EQ(hereList.pathUnits, UnitsOf(wantHere)) << regex;  // 😀 is two units
        EXPECT_TRUE(hereList.leftOut.empty()) << regex;
        EXPECT_TRUE(tree.leftOut.empty()) << regex;
    }
}

// Patterns with characters outside the code page: "?" is one character, a surrogate
// pair included; Hangul compares as itself.
TEST(FolderScan, WildcardsCountCharactersNotUnits) {
    TempFolder folder;
    for (const char16_t* name : {u"\ud55c\uad6d\uc5b4.txt", u"\ud55c.txt", u"\U0001F600.txt", u"ab.txt", u"a.txt"})
        ASSERT_TRUE(WriteFileU(folder / name));
    const struct {
        const char16_t* pattern;
        std::vector<std::u16string> names;
    } cases[] = {
        {u"\ud55c*", {u"\ud55c\uad6d\uc5b4.txt", u"\ud55c.txt"}},
        {u"?.txt", {u"\U0001F600.txt", u"a.txt", u"\ud55c.txt"}},
        {u"??.txt", {u"ab.txt"}},  // the pair is no two characters
        {u"???.txt", {u"\ud55c\uad6d\uc5b4.txt"}},
        {u"????.txt", {}},
        {u"*\uad6d*", {u"\ud55c\uad6d\uc5b4.txt"}},
    };
    for (const auto& c : cases) {
        Paths want;
        for (const auto& name : c.names) want.push_back(folder / name);
        EXPECT_EQ(Sorted(Here(folder.PathU(), c.pattern).paths), Sorted(want)) << testing::PrintToString(c.pattern);
    }
}

// Names that are no plain names: the system would open a device (nul.txt, CON,
// com1.txt, a folder aux) or drop the final dot. They can be made only through the
// "\\?\" form; the scans never make paths of them, and report each matching one.
TEST(FolderScan, DeviceNamesAndAFinalDotAreLeftOut) {
    const VerbatimFolder folder;
    for (const char16_t* name : {u"nul.txt", u"CON", u"com1.txt", u"tail."})
        ASSERT_TRUE(MakeVerbatimFile(folder / name)) << testing::PrintToString(name) << " " << GetLastError();
    ASSERT_TRUE(MakeVerbatimFolder(folder / u"aux"));
    ASSERT_TRUE(MakeVerbatimFile(folder / u"aux\\inside.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"ok.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"sub\\nul1.txt"));  // no device: a plain name

    const std::u16string f = folder.PathU();
    for (const std::uint32_t regex : {0u, 1u}) {
        const MatchList list = Tree(f, regex ? u"." : u"*", true, regex);
        EXPECT_EQ(Sorted(list.paths), Sorted({folder / u"ok.txt", folder / u"sub\\nul1.txt"})) << regex;
        EXPECT_EQ(LeftOutOf(list), (std::vector<LeftOut>{{f, u"CON", FailureReason::kNone},
                                                         {f, u"aux\\", FailureReason::kNone},
                                                         {f, u"com1.txt", FailureReason::kNone},
                                                         {f, u"nul.txt", FailureReason::kNone},
                                                         {f, u"tail.", FailureReason::kNone}}))
            << regex;
    }
    // Only matching names are reported.
    EXPECT_EQ(LeftOutOf(Here(f, u"*.txt")),
              (std::vector<LeftOut>{{f, u"com1.txt", FailureReason::kNone}, {f, u"nul.txt", FailureReason::kNone}}));
}

// The system takes paths of up to 259 units without the "\\?\" form, and a folder
// must leave room for its listing's "\*". At each limit and one past it: the paths
// that fit are collected, the others reported as too long; a folder too long to list
// is not entered. Units count, not bytes: the first name holds 한 and 😀.
TEST(FolderScan, PathsLongerThanTheSystemTakesAreLeftOutAsTooLong) {
    const VerbatimFolder folder;
    const std::u16string f = folder.PathU();
    ASSERT_LT(f.size(), 40u) << "the names below must stay under 255 bytes";
    const auto NameOf = [](std::size_t parentUnits, std::size_t pathUnits, std::u16string start, char16_t fill) {
        start.resize(pathUnits - parentUnits - 1, fill);
        return start;
    };
    const std::u16string fits = NameOf(f.size(), korvane::kMaxPathUnits, u"\ud55c\U0001F600", u'a');
    const std::u16string tooLong = NameOf(f.size(), korvane::kMaxPathUnits + 1, u"", u'b');
    const std::u16string listable = NameOf(f.size(), korvane::kMaxPathUnits - 2, u"", u'c');
    const std::u16string unlistable = NameOf(f.size(), korvane::kMaxPathUnits - 1, u"", u'd');
    const std::u16string inner = folder / listable;
    ASSERT_EQ((folder / fits).size(), 259u);
    for (const auto& name : {fits, tooLong}) ASSERT_TRUE(MakeVerbatimFile(folder / name));
    for (const auto& name : {listable, unlistable}) ASSERT_TRUE(MakeVerbatimFolder(folder / name));
    for (const char16_t* name : {u"x", u"xy"}) ASSERT_TRUE(MakeVerbatimFile(inner + u"\\" + name));
    ASSERT_TRUE(MakeVerbatimFile(folder / unlistable + u"\\z"));

    const MatchList here = Here(f, u"*");
    EXPECT_EQ(here.paths, Paths{folder / fits});
    EXPECT_EQ(LeftOutOf(here), (std::vector<LeftOut>{{f, tooLong, FailureReason::kPathTooLong}}));

    const MatchList tree = Tree(f, u"*", true);
    EXPECT_EQ(Sorted(tree.paths), Sorted({folder / fits, inner + u"\\x"}));
    EXPECT_EQ(LeftOutOf(tree), (std::vector<LeftOut>{{f, tooLong, FailureReason::kPathTooLong},
                                                     {f, unlistable + u"\\", FailureReason::kPathTooLong},
                                                     {inner, u"xy", FailureReason::kPathTooLong}}));
}
