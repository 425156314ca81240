// Copy and move of names as the file system holds them: names the ANSI code page
// cannot hold, destinations named so, names that are no plain names, paths too
// long for the system, and a real folder of this machine taken whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "common/unique_handle.h"
#include "os/files.h"
#include "test_support.h"
#include "transfer_driver.h"

using namespace testsupport;
using namespace transferdriver;
using Row = ResultRow;
using Paths = std::vector<std::u16string>;

namespace {

Paths Sorted(Paths names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<Row> SortedRows(std::vector<Row> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The "\\?\" form reaches names the plain form cannot: a device name, a final dot,
// paths beyond MAX_PATH.
std::u16string Raw(const std::u16string& path) { return u"\\\\?\\" + path; }

bool WriteRaw(const std::u16string& path, const std::string& content) {
    UniqueFile file(CreateFileW(W(Raw(path)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

std::string ReadRaw(const std::u16string& path) { return ReadFileU(Raw(path)); }

// Every level of a folder, in the "\\?\" form.
bool MakeRawFolder(const std::u16string& path) {
    for (std::size_t at = path.find(u'\\', 3); at != std::u16string::npos; at = path.find(u'\\', at + 1))
        CreateDirectoryW(W(Raw(path.substr(0, at))), nullptr);
    CreateDirectoryW(W(Raw(path)), nullptr);
    const DWORD attributes = GetFileAttributesW(W(Raw(path)));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Removes what the plain paths of TempFolder's cleanup cannot reach.
void RemoveRawTree(const std::u16string& path) {
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(W(Raw(path + u"\\*")), &found));
    if (find) {
        do {
            const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
            if (name == u"." || name == u"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveRawTree(path + u"\\" + name);
            else
                DeleteFileW(W(Raw(path + u"\\" + name)));
        } while (FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    RemoveDirectoryW(W(Raw(path)));
}

// base + "\" + levels of ten-unit names until the path is exactly `length` units long.
std::u16string PathOfLength(const std::u16string& base, std::size_t length) {
    std::u16string path = base;
    while (path.size() + 13 < length) path += u"\\level_0009";
    path += u'\\';
    path.append(length - path.size(), u'e');
    return path;
}

bool IsFolder(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(W(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// The folder top\sub holds names code page 932 cannot hold, each a plain name in
// UTF-16: through the ANSI functions café.txt would be cafe.txt (another file of the
// folder), a😀.txt a??.txt, and a¥..¥..¥notes.txt would read as a\..\..\notes.txt,
// which is top\notes.txt, outside the current folder. Every one is transferred to
// exactly its own name, with the subfolder 한 kept in its place, and nothing outside
// sub and the destination changes.
TEST(TransferNames, NamesOutsideTheCodePageAreTransferredExactly) {
    const Paths names = {u"한국어.txt", u"a😀.txt", u"café.txt", u"cafe.txt", u"snow☃.txt", u"a¥..¥..¥notes.txt"};
    const struct { korvane::ActionKind action; bool subfolders; } cases[] = {
        {korvane::kCopyToFolder, false}, {korvane::kCopyToFolder, true},
        {korvane::kMoveToFolder, false}, {korvane::kMoveToFolder, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << c.action << " subfolders " << c.subfolders);
        TempFolder root;
        const std::u16string sub = root / u"top\\sub", destination = root / u"out\\a\\b";
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_TRUE(WriteFileU(sub + u"\\" + names[i], "file " + std::to_string(i)));
        ASSERT_TRUE(WriteFileU(sub + u"\\한\\y.txt", "inner"));
        ASSERT_TRUE(WriteFileU(root / u"top\\notes.txt", "outside"));
        ASSERT_TRUE(MakeFolder(A(destination)));

        Transfer t(sub, {}, destination, c.action);
        t.Scan(u"*.txt", c.subfolders);
        EXPECT_TRUE(t.job.matches.leftOut.empty());
        t.Run();

        std::vector<Row> want;
        for (const auto& name : names) want.push_back(CopyRow(sub, destination, name, true));
        if (c.subfolders) want.push_back(CopyRow(sub + u"\\한", destination + u"\\한", u"y.txt", true));
        EXPECT_EQ(SortedRows(t.Rows()), SortedRows(want));
        EXPECT_EQ(t.Returned(), t.Rows());
        EXPECT_EQ(t.driver.results.caption, c.action == korvane::kCopyToFolder ? u"コピー結果" : u"移動結果")
            << "nothing left out";

        Paths arrived = names;
        if (c.subfolders) arrived.push_back(u"한");
        EXPECT_EQ(NamesIn(destination), Sorted(arrived));
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(ReadFileU(destination + u"\\" + names[i]), "file " + std::to_string(i)) << A(names[i]);
        if (c.subfolders) {
            EXPECT_EQ(NamesIn(destination + u"\\한"), Paths{u"y.txt"});
            EXPECT_EQ(ReadFileU(destination + u"\\한\\y.txt"), "inner");
        }

        const bool moved = c.action == korvane::kMoveToFolder;
        Paths left = moved ? Paths{} : names;
        left.push_back(u"한");
        EXPECT_EQ(NamesIn(sub), Sorted(left));
        EXPECT_EQ(NamesIn(sub + u"\\한").size(), moved && c.subfolders ? 0u : 1u);
        for (std::size_t i = 0; !moved && i < names.size(); ++i)
            EXPECT_EQ(ReadFileU(sub + u"\\" + names[i]), "file " + std::to_string(i)) << A(names[i]);

        EXPECT_EQ(NamesIn(root.PathU()), (Paths{u"out", u"top"}));
        EXPECT_EQ(NamesIn(root / u"top"), (Paths{u"notes.txt", u"sub"}));
        EXPECT_EQ(ReadFileU(root / u"top\\notes.txt"), "outside");
        EXPECT_EQ(NamesIn(root / u"out"), Paths{u"a"});
        EXPECT_EQ(NamesIn(root / u"out\\a"), Paths{u"b"});
    }
}

// A destination named with é, ¥, Hangul and an emoji, there already or made by the
// run: the files land in exactly that folder. Through the code page it would be
// Beyonce (best fit), or Beyoncé\서울... split at the ¥ that 932 writes as 0x5C.
TEST(TransferNames, DestinationNamedOutsideTheCodePageIsTakenExactly) {
    const std::u16string folderName = u"Beyoncé¥서울😀";
    const struct { const char* name; std::u16string below; bool exists; } cases[] = {
        {"existing", folderName, true},
        {"made by the run", u"new\\" + folderName, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder src, dst;
        ASSERT_TRUE(WriteFileU(src / u"a.txt", "a"));
        ASSERT_TRUE(WriteFileU(src / u"sub\\b.txt", "b"));
        const std::u16string destination = dst / c.below;
        if (c.exists) {
            ASSERT_TRUE(WriteFileU(destination + u"\\keep.txt", "kept"));
        }
        Transfer t(src.PathU(), {}, destination);
        t.Scan(u"*.txt", true);
        t.Run();

        EXPECT_EQ(NamesIn(dst.PathU()), Paths{c.exists ? folderName : u"new"});
        EXPECT_EQ(NamesIn(destination), c.exists ? (Paths{u"a.txt", u"keep.txt", u"sub"}) : (Paths{u"a.txt", u"sub"}));
        EXPECT_EQ(ReadFileU(destination + u"\\a.txt"), "a");
        EXPECT_EQ(ReadFileU(destination + u"\\sub\\b.txt"), "b");
        EXPECT_EQ(t.Rows(), (std::vector<Row>{CopyRow(src.PathU(), destination, u"a.txt", true),
                                              CopyRow(src / u"sub", destination + u"\\sub", u"b.txt", true)}));
        ASSERT_FALSE(t.driver.progress.steps.empty());
        EXPECT_EQ(t.driver.progress.steps.front().text, u"a.txt を " + destination + u" にコピー中");
    }
}

// nul.txt names the device NUL wherever it stands, and a final dot is dropped by
// the system ("end." would open "end"); both exist here only through "\\?\". They
// are failed rows, counted in the caption, and never opened: nul.txt arrives nowhere
// (a copy through the device would have "succeeded"), and each keeps its content.
TEST(TransferNames, DeviceNamesAndFinalDotsAreFailedRowsAndNeverOpened) {
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        SCOPED_TRACE(testing::Message() << "action " << action);
        TempFolder src, dst;
        ASSERT_TRUE(WriteFileU(src / u"ok.txt", "ok"));
        ASSERT_TRUE(WriteFileU(src / u"end", "plain"));
        ASSERT_TRUE(WriteRaw(src / u"nul.txt", "not the device"));
        ASSERT_TRUE(WriteRaw(src / u"end.", "odd"));
        ASSERT_EQ(NamesIn(src.PathU()), (Paths{u"end", u"end.", u"nul.txt", u"ok.txt"})) << "made as named";

        Transfer t(src.PathU(), {}, dst.PathU(), action);
        t.Scan(u"*");
        FileCallLog log;
        t.Run();
        ASSERT_TRUE(FileCallLog::Available());
        EXPECT_TRUE(log.Named(u"\\ok.txt")) << "the log sees the engine's calls";
        EXPECT_FALSE(log.Named(u"\\nul.txt"));
        EXPECT_FALSE(log.Named(u"\\end."));

        const std::vector<Row> rows = t.Rows();
        ASSERT_EQ(rows.size(), 4u);
        // The transferred files first, then the names left out.
        EXPECT_EQ(SortedRows({rows[0], rows[1]}), (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"end", true),
                                                                    CopyRow(src.PathU(), dst.PathU(), u"ok.txt", true)}));
        EXPECT_EQ(SortedRows({rows[2], rows[3]}),
                  (std::vector<Row>{CopyRow(src.PathU(), dst.PathU(), u"end.", false),
                                    CopyRow(src.PathU(), dst.PathU(), u"nul.txt", false)}));
        const std::u16string caption = action == korvane::kCopyToFolder ? u"コピー結果" : u"移動結果";
        EXPECT_EQ(t.driver.results.caption, caption + u" (名前を扱えず処理できなかったファイル: 2 個)");

        EXPECT_EQ(NamesIn(dst.PathU()), (Paths{u"end", u"ok.txt"}));
        EXPECT_EQ(ReadFileU(dst / u"end"), "plain");
        EXPECT_EQ(ReadRaw(src / u"nul.txt"), "not the device");
        EXPECT_EQ(ReadRaw(src / u"end."), "odd");
        EXPECT_EQ(NamesIn(src.PathU()), action == korvane::kCopyToFolder ? (Paths{u"end", u"end.", u"nul.txt", u"ok.txt"})
                                                                           : (Paths{u"end.", u"nul.txt"}));
        DeleteFileW(W(Raw(src / u"nul.txt")));
        DeleteFileW(W(Raw(src / u"end.")));
    }
}

// Paths beyond what the system's functions take without "\\?\": a destination
// folder that leaves no room for a short name, a destination file path past
// MAX_PATH, and a source the scan finds past it. Each is a failed row that says
// why; none gets a question, though a file of that name waits at the destination.
TEST(TransferNames, PathsTooLongAreFailedRowsThatSaySo) {
    const struct { const char* name; std::size_t sourceFolderLength, destinationFolderLength, nameLength; } cases[] = {
        {"destination folder", 0, korvane::kMaxFolderUnits + 1, 5},
        {"destination file", 0, korvane::kMaxFolderUnits - 10, 30},
        {"source file", korvane::kMaxFolderUnits - 10, 0, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder top;
        const std::u16string current = c.sourceFolderLength ? PathOfLength(top / u"src", c.sourceFolderLength)
                                                            : top / u"src";
        const std::u16string destination =
            c.destinationFolderLength ? PathOfLength(top / u"dst", c.destinationFolderLength) : top / u"dst";
        const std::u16string name = std::u16string(c.nameLength - 4, u'n') + u".txt";
        ASSERT_TRUE(MakeRawFolder(current));
        ASSERT_TRUE(MakeRawFolder(destination));
        ASSERT_TRUE(WriteRaw(current + u"\\" + name, "new"));
        ASSERT_TRUE(WriteRaw(destination + u"\\" + name, "waiting"));
        ASSERT_TRUE(WriteRaw(current + u"\\short.txt", "short"));

        for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
            Transfer t(current, {}, destination, action, korvane::kAskBeforeOverwrite);
            t.Scan(u"*.txt");
            FileCallLog log;
            t.Run();
            EXPECT_TRUE(t.driver.questions.empty()) << action;
            EXPECT_FALSE(log.Named(u"\\" + name)) << action << ": nothing tried";
            // short.txt fits wherever the destination folder leaves room for a name.
            const bool folderTooLong = c.destinationFolderLength > korvane::kMaxFolderUnits;
            Row tooLong = CopyRow(current, destination, name, false);
            Row fits = CopyRow(current, destination, u"short.txt", !folderTooLong);
            tooLong[3] = kFailedTooLong;
            if (folderTooLong) fits[3] = kFailedTooLong;
            EXPECT_EQ(SortedRows(t.Rows()), SortedRows({tooLong, fits})) << action;
            EXPECT_EQ(SortedRows(t.Returned()), SortedRows({tooLong, fits})) << action;
            EXPECT_EQ(ReadRaw(current + u"\\" + name), "new") << action;
            EXPECT_EQ(ReadRaw(destination + u"\\" + name), "waiting") << action;
            if (FileExistsU(destination + u"\\short.txt")) {
                DeleteFileW(W(destination + u"\\short.txt"));
                if (!FileExistsU(current + u"\\short.txt")) {
                    ASSERT_TRUE(WriteRaw(current + u"\\short.txt", "short"));
                }
            }
        }
        RemoveRawTree(top / u"src");
        RemoveRawTree(top / u"dst");
    }
}

// Wine's Z: shows this machine's own folders: man3 holds about 2,400 files, two that
// differ only in letter case (NAN.3.gz and nan.3.gz), and 64 names with "::". Wine
// 8.0 lists those with the colon itself (U+003A), which no Windows name holds, so
// they are left out as failed rows; a Wine that shows them as private-use
// characters (U+F03A) makes them plain names, copied like any other. Taken whole
// with "*" as a folder command would, every other file arrives byte for byte; of
// two names alike but for case, the one listed second is refused and never written
// over the first.
TEST(TransferTree, ARealFolderIsCopiedWholeByteForByte) {
    const std::u16string man3 = u"Z:\\usr\\share\\man\\man3";
    if (!IsFolder(man3)) GTEST_SKIP() << "no /usr/share/man/man3 on this machine";
    TempFolder dst;
    const std::u16string destination = dst / u"man3";
    Transfer t(man3, {}, destination);
    t.Scan(u"*");
    const Paths sources = t.job.matches.paths;
    const std::vector<korvane::LeftOutName> leftOut = t.job.matches.leftOut;
    ASSERT_GT(sources.size(), 100u);
    Paths listed;
    for (const auto& source : sources) listed.push_back(korvane::LastPathComponent(source));
    for (const auto& name : leftOut) listed.push_back(name.name);
    EXPECT_EQ(Sorted(listed), NamesIn(man3)) << "every file is either transferred or reported";
    const DWORD start = GetTickCount();
    t.Run();
    std::printf("man3: %u files, %u left out, copied in %lu ms\n", static_cast<unsigned>(sources.size()),
                static_cast<unsigned>(leftOut.size()), static_cast<unsigned long>(GetTickCount() - start));

    const std::vector<Row>& rows = t.Rows();
    ASSERT_EQ(rows.size(), sources.size() + leftOut.size());
    std::map<std::u16string, std::u16string> firstOfCase;  // folded name -> the name that arrived
    std::size_t privateUse = 0, refused = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::u16string name = listed[i];
        if (name.find(u'\uF03A') != std::u16string::npos) ++privateUse;
        ASSERT_EQ(rows[i][2], name);
        const auto first = firstOfCase.emplace(korvane::FoldPathCase(name), name);
        if (first.second) {
            EXPECT_EQ(rows[i][3], kSucceeded) << A(name);
            EXPECT_EQ(ReadFileU(destination + u"\\" + name), ReadFileU(sources[i])) << A(name);
        } else {
            ++refused;
            EXPECT_EQ(rows[i][3], kFailed) << A(name) << " after " << A(first.first->second);
            EXPECT_EQ(ReadFileU(destination + u"\\" + first.first->second), ReadFileU(man3 + u"\\" + first.first->second))
                << A(name) << " never replaces " << A(first.first->second);
        }
    }
    for (std::size_t i = 0; i < leftOut.size(); ++i) {
        const Row& row = rows[sources.size() + i];
        EXPECT_EQ(row, CopyRow(man3, destination, leftOut[i].name, false));
        EXPECT_NE(leftOut[i].name.find(u':'), std::u16string::npos) << A(leftOut[i].name) << " is a plain name";
        EXPECT_FALSE(FileExistsU(destination + u"\\" + leftOut[i].name)) << A(leftOut[i].name);
    }
    std::printf("man3: %u names with private-use characters, %u refused for case\n",
                static_cast<unsigned>(privateUse), static_cast<unsigned>(refused));
    EXPECT_EQ(NamesIn(destination).size(), firstOfCase.size());
    std::u16string caption = u"コピー結果";
    if (!leftOut.empty())
        caption += u" (名前を扱えず処理できなかったファイル: " + U(std::to_string(leftOut.size())) + u" 個)";
    EXPECT_EQ(t.driver.results.caption, caption);
}
