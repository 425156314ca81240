// ScanFolder and ScanTree on real folders: attributes, names without a dot,
// subfolders, Shift-JIS names, a bare drive, and links that lead back up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "match/folder_scan.h"
#include "match/match_name.h"
#include "test_support.h"

using korvane::MatchList;
using namespace testsupport;
using Paths = std::vector<std::string>;

namespace {

MatchList Here(const std::string& folder, const std::string& pattern, std::uint32_t regex = 0) {
    return korvane::ScanFolder(folder, korvane::PreparedPattern(pattern, regex));
}

MatchList Tree(const std::string& folder, const std::string& pattern, bool addHere, std::uint32_t regex = 0,
               const std::string& leaveOut = std::string()) {
    return korvane::ScanTree(folder, korvane::PreparedPattern(pattern, regex), addHere, leaveOut);
}

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::uint32_t BytesOf(const Paths& paths) {
    std::uint32_t total = 0;
    for (const auto& p : paths) total += static_cast<std::uint32_t>(p.size() + 1);
    return total;
}

std::string UnixPath(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* name = unixName ? unixName(wide) : nullptr;
    if (!name) return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Links are made on the Unix side: Wine's CreateSymbolicLinkA reports success and
// makes nothing. Wine starts a Unix program given by its Z: path, but its handle
// cannot be waited on, so the caller says when the work shows.
template <typename Done>
bool RunUnix(const std::string& program, const Paths& args, Done done) {
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
    std::string unixAt, windowsAt;
    bool made = false;
    UnixLink(const std::string& unixLink, const std::string& unixTarget, const std::string& windowsLink)
        : unixAt(unixLink), windowsAt(windowsLink) {
        made = !unixAt.empty() && !unixTarget.empty() &&
               RunUnix("/bin/ln", {"-s", unixTarget, unixAt}, [&] { return FileExists(windowsAt + "\\"); });
    }
    UnixLink(const UnixLink&) = delete;
    ~UnixLink() {
        if (made) RunUnix("/bin/rm", {unixAt}, [&] { return !FileExists(windowsAt + "\\"); });
    }
};

UnixLink LinkInTree(const std::string& link, const std::string& target) {
    return UnixLink(UnixPath(link), UnixPath(target), link);
}

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

    const MatchList here = Here(folder.Path(), "*.txt\treadme.");
    const Paths expected = {folder / "README", folder / "hidden.txt", folder / "readonly.txt", folder / "system.TXT",
                            folder / hyo};  // the folder sub.txt is no file
    EXPECT_EQ(Sorted(here.paths), Sorted(expected));
    EXPECT_EQ(here.pathBytes, BytesOf(expected));

    // Without the folder itself, the tree gives only what lies below it.
    const MatchList below = Tree(folder.Path(), "*.txt\treadme.", false);
    ASSERT_EQ(below.paths.size(), 2u);
    EXPECT_EQ(Sorted(below.paths), Sorted({folder / "sub.txt\\inner.txt", folder / inSo}));
    EXPECT_EQ(below.pathBytes, BytesOf(below.paths));

    const MatchList regex = Here(folder.Path(), "^[a-z]+\\.doc$", 1);
    EXPECT_EQ(regex.paths, Paths{folder / "x.doc"});
    EXPECT_EQ(regex.pathBytes, BytesOf(regex.paths));
    EXPECT_TRUE(Here(folder.Path(), "(", 1).paths.empty());
}

TEST(FolderScan, NothingToCollect) {
    TempFolder folder;
    ASSERT_TRUE(MakeFolder(folder / "only\\folders"));
    for (const std::string& path : {folder.Path(), folder / "only", folder / "missing"}) {
        const MatchList here = Here(path, "*");
        EXPECT_EQ(here.paths, Paths{}) << path;
        EXPECT_EQ(here.pathBytes, 0u) << path;
        EXPECT_EQ(Tree(path, "*", true).paths, Paths{}) << path;
    }
}

TEST(FolderScan, SubfoldersDepthFirstWithTheFolderItselfOnRequest) {
    TempFolder folder;
    for (const char* name : {"top.txt", "a\\1.txt", "a\\b\\2.txt", "a\\b\\c\\3.txt", "a\\4.log", "d\\5.txt"})
        ASSERT_TRUE(WriteTextFile(folder / name));
    const Paths got = Tree(folder.Path(), "*.txt", true).paths;
    EXPECT_EQ(Sorted(got), Sorted({folder / "top.txt", folder / "a\\1.txt", folder / "a\\b\\2.txt",
                                   folder / "a\\b\\c\\3.txt", folder / "d\\5.txt"}));
    // Everything below a comes in one run, whatever order the entries come in.
    std::vector<std::size_t> underA;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i].compare(0, (folder / "a\\").size(), folder / "a\\") == 0) underA.push_back(i);
    ASSERT_EQ(underA.size(), 3u);
    EXPECT_EQ(underA.back() - underA.front(), 2u);
    // A folder left out is named as the scan spells it, in any case.
    EXPECT_EQ(Sorted(Tree(folder.Path(), "*.txt", false, 0, folder / "A\\B").paths),
              Sorted({folder / "a\\1.txt", folder / "d\\5.txt"}));
}

// Each path has its size beside it; paths from elsewhere keep their places, with no
// size, when a subfolder scan's are appended.
TEST(FolderScan, SizesBesideThePaths) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt", "12345"));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\b.txt", std::string(70000, 'b')));
    EXPECT_EQ(Here(folder.Path(), "*.txt").sizes, (std::vector<std::uint64_t>{5}));
    MatchList list;
    list.paths = {folder / "from the view.txt"};
    korvane::AppendMatches(list, Tree(folder.Path(), "*.txt", false));
    EXPECT_EQ(list.paths, (Paths{folder / "from the view.txt", folder / "sub\\b.txt"}));
    EXPECT_EQ(list.sizes, (std::vector<std::uint64_t>{korvane::kSizeUnknown, 70000}));
}

// The root of a drive is passed as "D:" alone; the entries read "D:\name". A free
// letter is mapped to a temporary folder through Wine's dosdevices.
TEST(FolderScan, BareDrive) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "root.txt"));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\below.txt"));
    const std::string devices = UnixPath("C:\\");  // ".../dosdevices/c:/"
    if (devices.size() < 4) GTEST_SKIP() << "not under Wine";
    char letter = 'P';
    while (letter < 'Z' && (GetLogicalDrives() & (1u << (letter - 'A')))) ++letter;
    const std::string drive = {letter, ':'};
    const UnixLink device(devices.substr(0, devices.size() - 3) + static_cast<char>(letter + 32) + ":",
                          UnixPath(folder.Path()), drive);
    ASSERT_TRUE(device.made);

    const MatchList here = Here(drive, "*.txt");
    EXPECT_EQ(here.paths, Paths{drive + "\\root.txt"});
    EXPECT_EQ(here.pathBytes, 12u);
    EXPECT_EQ(Tree(drive, "*.txt", false).paths, (Paths{drive + "\\sub\\below.txt"}));
}

// A link inside the tree back to its top, and one to a sibling: neither is followed,
// so the scan ends and every file appears once, under its real path.
TEST(FolderScan, LinksToFoldersAreNotFollowed) {
    TempFolder folder;
    for (const char* name : {"top.txt", "a\\1.txt", "a\\b\\2.txt", "c\\3.txt"}) ASSERT_TRUE(WriteTextFile(folder / name));
    const UnixLink up = LinkInTree(folder / "a\\b\\up", folder.Path());
    const UnixLink side = LinkInTree(folder / "a\\side", folder / "c");
    if (!up.made || !side.made) GTEST_SKIP() << "not under Wine: no link could be made";
    ASSERT_TRUE(FileExists(folder / "a\\b\\up\\a\\b\\up\\top.txt")) << "the loop is real";

    // Wine shows a Unix link to a folder as a folder with the reparse-point bit.
    WIN32_FIND_DATAA entry;
    FindClose(FindFirstFileA((folder / "a\\b\\up").c_str(), &entry));
    EXPECT_EQ(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

    EXPECT_EQ(Sorted(Tree(folder.Path(), "*", true).paths),
              Sorted({folder / "top.txt", folder / "a\\1.txt", folder / "a\\b\\2.txt", folder / "c\\3.txt"}));
}

// Names code page 932 cannot hold, made in UTF-16: café.txt reads as cafe.txt
// through the ANSI listing, ¥ as a separator, ☃ as '?'. The scans take only names
// that are exactly themselves and report the rest as they read, when they match
// (photo☃.jpg does not); a subfolder that cannot be entered is always reported.
TEST(FolderScan, NamesTheCodePageCannotHoldAreReportedNeverCollected) {
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    TempFolder folder;
    const std::wstring wide = Widen(folder.Path());
    ASSERT_TRUE(WriteTextFile(folder / "cafe.txt"));
    ASSERT_TRUE(WriteTextFile(folder / "plain\\inner.txt"));
    ASSERT_TRUE(CreateDirectoryW((wide + L"\\sub\u2603").c_str(), nullptr));
    for (const wchar_t* name : {L"caf\u00e9.txt", L"a\u00a5..\u00a5..\u00a5notes.txt", L"snow\u2603.txt",
                                L"photo\u2603.jpg", L"sub\u2603\\inner.txt"})
        ASSERT_TRUE(WriteWideFile(wide + L"\\" + name)) << name;
    const std::string f = folder.Path() + "|";
    for (const std::uint32_t regex : {0u, 1u}) {
        const std::string pattern = regex ? "\\.txt$" : "*.txt";
        MatchList list = Here(folder.Path(), pattern, regex);
        korvane::AppendMatches(list, Tree(folder.Path(), pattern, false, regex));
        EXPECT_EQ(list.paths, (Paths{folder / "cafe.txt", folder / "plain\\inner.txt"}));
        Paths left;
        for (const auto& n : list.leftOut) left.push_back(n.folder + "|" + n.name);
        EXPECT_EQ(Sorted(left), Sorted({f + "a?..?..?notes.txt", f + "caf?.txt", f + "snow?.txt", f + "sub?\\"}));
    }
}
