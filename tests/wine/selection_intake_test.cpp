// Initialize with real shell data objects for real paths, and with a data object of
// the test's own for the failures.
#include <gtest/gtest.h>

#include "shellext/shell_extension.h"
#include "test_support.h"

using korvane::kExtensionMode;
using korvane::kFolderMode;
using korvane::ShellExtension;
using namespace testsupport;

namespace {

using Object = ExtensionRef;

ULONG RefCount(IUnknown* unknown) {
    unknown->AddRef();
    return unknown->Release();
}

}  // namespace

TEST(SelectionIntake, FileGivesExtensionModeItsFolderAndPattern) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "report.txt"));
    auto data = ShellDataObject({folder / "report.txt"});
    ASSERT_TRUE(data);

    Object object;
    ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);
    EXPECT_EQ(object->CurrentSelection().mode, kExtensionMode);
    EXPECT_EQ(object->CurrentSelection().currentFolder, folder.Path());
    EXPECT_EQ(object->CurrentSelection().extensionPattern, "*.txt");
    EXPECT_EQ(object->HeldDataObject(), data.Get());
}

TEST(SelectionIntake, FolderGivesFolderModeAndWorksInsideIt) {
    TempFolder folder;
    ASSERT_TRUE(MakeFolder(folder / "sub.d"));
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    // A folder first in a mixed selection decides; the file after it is not read.
    auto data = ShellDataObject({folder / "sub.d", folder / "a.txt"});
    ASSERT_TRUE(data);

    Object object;
    auto earlier = FakeDropDataObject({"C:\\w\\kept.kept"});
    ASSERT_EQ(object->Initialize(nullptr, earlier.Get(), nullptr), S_OK);
    ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);
    EXPECT_EQ(object->CurrentSelection().mode, kFolderMode);
    EXPECT_EQ(object->CurrentSelection().currentFolder, folder / "sub.d");
    EXPECT_EQ(object->CurrentSelection().extensionPattern, "*.kept") << "folder mode leaves the pattern alone";
}

TEST(SelectionIntake, OnlyTheFirstOfSeveralFilesCounts) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "b.doc"));
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    ASSERT_TRUE(MakeFolder(folder / "z"));
    auto data = ShellDataObject({folder / "b.doc", folder / "a.txt", folder / "z"});
    ASSERT_TRUE(data);
    Object object;
    ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);
    EXPECT_EQ(object->CurrentSelection().mode, kExtensionMode);
    EXPECT_EQ(object->CurrentSelection().extensionPattern, "*.doc");
}

TEST(SelectionIntake, ShiftJisFolderNamesAreNotCutInsideACharacter) {
    // 表 and ソ end in the byte 0x5C.
    TempFolder folder;
    const std::string inner = folder / (std::string("a") + kHyo + kSo);
    const std::string file = inner + "\\" + kSo + ".txt";
    ASSERT_TRUE(WriteTextFile(file));
    ASSERT_TRUE(FileExists(file));

    auto fileData = ShellDataObject({file});
    ASSERT_TRUE(fileData);
    Object object;
    ASSERT_EQ(object->Initialize(nullptr, fileData.Get(), nullptr), S_OK);
    EXPECT_EQ(object->CurrentSelection().mode, kExtensionMode);
    EXPECT_EQ(object->CurrentSelection().currentFolder, inner);
    EXPECT_EQ(object->CurrentSelection().extensionPattern, "*.txt");

    // A folder whose own name ends in ソ is found as a folder.
    const std::string soFolder = folder / kSo;
    ASSERT_TRUE(MakeFolder(soFolder));
    auto folderData = ShellDataObject({soFolder});
    ASSERT_TRUE(folderData);
    Object second;
    ASSERT_EQ(second->Initialize(nullptr, folderData.Get(), nullptr), S_OK);
    EXPECT_EQ(second->CurrentSelection().mode, kFolderMode);
    EXPECT_EQ(second->CurrentSelection().currentFolder, soFolder);
}

TEST(SelectionIntake, PathsTheFileSystemDoesNotKnow) {
    const struct {
        const char* path;
        const char* folder;
        const char* pattern;
    } cases[] = {
        {"C:\\", "C:", ""},                                    // a drive root: extension mode, no pattern
        {"C:\\korvane-missing.txt", "C:", "*.txt"},            // a file in a drive root
        {"C:\\no such\\item", "C:\\no such", ""},              // no dot at all
        {"C:\\a.b\\file", "C:\\a.b", "*.b\\file"},             // the last dot of the whole path
    };
    for (const auto& c : cases) {
        Object object;
        auto data = FakeDropDataObject({c.path});
        ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK) << c.path;
        EXPECT_EQ(object->CurrentSelection().mode, kExtensionMode) << c.path;
        EXPECT_EQ(object->CurrentSelection().currentFolder, c.folder) << c.path;
        EXPECT_EQ(object->CurrentSelection().extensionPattern, c.pattern) << c.path;
    }
}

TEST(SelectionIntake, FailuresReturnInvalidArgAndKeepEarlierState) {
    Object object;
    auto good = FakeDropDataObject({"C:\\w\\a.txt"});
    ASSERT_EQ(object->Initialize(nullptr, good.Get(), nullptr), S_OK);

    EXPECT_EQ(object->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(object->HeldDataObject(), nullptr);

    auto failing = FakeDropDataObject({"C:\\x\\b.doc"}, /*failGetData=*/true);
    EXPECT_EQ(object->Initialize(nullptr, failing.Get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(object->HeldDataObject(), failing.Get()) << "the new data object is held even when unusable";

    auto empty = FakeDropDataObject({});
    EXPECT_EQ(object->Initialize(nullptr, empty.Get(), nullptr), E_INVALIDARG);

    EXPECT_EQ(object->CurrentSelection().currentFolder, "C:\\w");
    EXPECT_EQ(object->CurrentSelection().extensionPattern, "*.txt");
    EXPECT_EQ(object->CurrentSelection().mode, kExtensionMode);
}

TEST(SelectionIntake, HoldsOneDataObjectAtATime) {
    auto first = FakeDropDataObject({"C:\\w\\a.txt"});
    auto second = FakeDropDataObject({"C:\\w\\b.txt"});
    const ULONG firstBase = RefCount(first.Get());
    const ULONG secondBase = RefCount(second.Get());
    {
        Object object;
        ASSERT_EQ(object->Initialize(nullptr, first.Get(), nullptr), S_OK);
        EXPECT_EQ(RefCount(first.Get()), firstBase + 1);
        ASSERT_EQ(object->Initialize(nullptr, second.Get(), nullptr), S_OK);
        EXPECT_EQ(RefCount(first.Get()), firstBase) << "the earlier object is released";
        EXPECT_EQ(RefCount(second.Get()), secondBase + 1);
    }
    EXPECT_EQ(RefCount(second.Get()), secondBase) << "destruction releases the held object";
}

// A selected item whose path code page 932 cannot hold: its ANSI form would name
// cafe.txt, or read ¥ as a separator. The menu item stays; the command says so in a
// message and does nothing else. An item the code page holds goes on as usual.
TEST(SelectionIntake, AnItemWhosePathTheCodePageCannotHoldIsRefused) {
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    TempFolder folder;
    const std::wstring wide = Widen(folder.Path());
    ASSERT_TRUE(WriteTextFile(folder / "cafe.txt"));
    ASSERT_TRUE(WriteWideFile(wide + L"\\caf\u00e9.txt"));
    ASSERT_TRUE(CreateDirectoryW((wide + L"\\a\u00a5..\u00a5b").c_str(), nullptr));
    ASSERT_TRUE(WriteWideFile(wide + L"\\a\u00a5..\u00a5b\\in.txt"));
    const struct { std::wstring path; bool usable; } cases[] = {
        {wide + L"\\caf\u00e9.txt", false},
        {wide + L"\\a\u00a5..\u00a5b", false},
        {wide + L"\\a\u00a5..\u00a5b\\in.txt", false},
        {wide + L"\\cafe.txt", true},
    };
    for (const auto& c : cases) {
        auto data = ShellDataObject(std::vector<std::wstring>{c.path});
        ASSERT_TRUE(data);
        Object object;
        auto earlier = FakeDropDataObject({"C:\\before\\a.txt"});
        ASSERT_EQ(object->Initialize(nullptr, earlier.Get(), nullptr), S_OK);
        ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);
        EXPECT_EQ(object->CurrentSelection().unusable, !c.usable);
        EXPECT_EQ(object->CurrentSelection().currentFolder, c.usable ? folder.Path() : "C:\\before");
        if (c.usable) continue;
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        HRESULT result = E_FAIL;
        const std::string shown = RunAndCloseMessageBox([&] { result = object->InvokeCommand(&info); });
        EXPECT_EQ(shown.compare(0, 4, "\x91\x49\x91\xF0"), 0) << shown;  // 選択: a message, no main dialog
        EXPECT_EQ(result, S_OK);
    }
}
