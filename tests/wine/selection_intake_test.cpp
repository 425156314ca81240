// Initialize with real shell data objects for real paths, and with a data object of
// the test's own for the failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"
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
    EXPECT_EQ(object->CurrentSelection().currentFolder, folder.PathU());
    EXPECT_EQ(object->CurrentSelection().extensionPattern, u"*.txt");
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
    EXPECT_EQ(object->CurrentSelection().currentFolder, folder / u"sub.d");
    EXPECT_EQ(object->CurrentSelection().extensionPattern, u"*.kept") << "folder mode leaves the pattern alone";
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
    EXPECT_EQ(object->CurrentSelection().extensionPattern, u"*.doc");
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
    EXPECT_EQ(object->CurrentSelection().currentFolder, U(inner));
    EXPECT_EQ(object->CurrentSelection().extensionPattern, u"*.txt");

    // A folder whose own name ends in ソ is found as a folder.
    const std::string soFolder = folder / kSo;
    ASSERT_TRUE(MakeFolder(soFolder));
    auto folderData = ShellDataObject({soFolder});
    ASSERT_TRUE(folderData);
    Object second;
    ASSERT_EQ(second->Initialize(nullptr, folderData.Get(), nullptr), S_OK);
    EXPECT_EQ(second->CurrentSelection().mode, kFolderMode);
    EXPECT_EQ(second->CurrentSelection().currentFolder, U(soFolder));
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
        EXPECT_EQ(object->CurrentSelection().currentFolder, U(c.folder)) << c.path;
        EXPECT_EQ(object->CurrentSelection().extensionPattern, U(c.pattern)) << c.path;
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

    EXPECT_EQ(object->CurrentSelection().currentFolder, u"C:\\w");
    EXPECT_EQ(object->CurrentSelection().extensionPattern, u"*.txt");
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

namespace {

// A file-drop block: the 20-byte header (pFiles, pt.x, pt.y, fNC, fWide), then whatever follows.
std::string Header(std::uint32_t pFiles, bool wide) {
    std::string header(20, '\0');
    for (int i = 0; i < 4; ++i) header[i] = static_cast<char>(pFiles >> (8 * i) & 0xFF);
    header[16] = wide ? 1 : 0;
    return header;
}

// The bytes of a literal, NULs inside it included (not the one that closes it).
template <size_t N>
std::string Bytes(const char (&text)[N]) { return std::string(text, N - 1); }

// UTF-16 units as little-endian bytes, without a NUL after them.
std::string WideBytes(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

const std::string kWideNul = Bytes("\0\0");

// Drives the main dialog InvokeCommand brings up on this thread: reads its folder and
// pattern fields exactly, then cancels it.
struct DialogFields {
    bool shown = false;
    std::u16string folder, pattern;
};
DialogFields RunCommandAndRead(ShellExtension& object) {
    DialogFields fields;
    const DWORD thread = GetCurrentThreadId();
    BackgroundThread driver([&] {
        HWND dialog = WaitForDialog(thread);
        if (!dialog) return;
        auto text = [dialog](int id) {
            wchar_t buffer[600] = {};
            GetWindowTextW(GetDlgItem(dialog, id), buffer, 600);
            return std::u16string(reinterpret_cast<const char16_t*>(buffer));
        };
        fields.shown = GetDlgItem(dialog, IDC_MAIN_FOLDER) != nullptr;
        fields.folder = text(IDC_MAIN_FOLDER);
        fields.pattern = text(IDC_MAIN_PATTERN);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    object.InvokeCommand(&info);
    driver.Join();
    return fields;
}

}  // namespace

// Folders and files whose names the ANSI code page cannot hold (ë and é are not in
// code page 932) are taken exactly in both modes, and the main dialog shows the
// exact folder; from Windows 7 on no Explorer list is needed to see it.
TEST(SelectionIntake, NamesOutsideTheCodePageInFolderAndExtensionMode) {
    TempFolder folder;
    ASSERT_TRUE(WriteFileU(folder / u"Zoë\\Café\\menu.crème"));
    ASSERT_TRUE(WriteFileU(folder / u"자료\\보고서.한글"));
    const struct {
        std::u16string selected;
        korvane::InvocationMode mode;
        std::u16string currentFolder, pattern;
    } cases[] = {
        {folder / u"Zoë\\Café", kFolderMode, folder / u"Zoë\\Café", u""},
        {folder / u"Zoë\\Café\\menu.crème", kExtensionMode, folder / u"Zoë\\Café", u"*.crème"},
        {folder / u"자료", kFolderMode, folder / u"자료", u""},
        {folder / u"자료\\보고서.한글", kExtensionMode, folder / u"자료", u"*.한글"},
    };
    for (const auto& c : cases) {
        const std::string what = A(c.selected);
        ClearSettingsKey();
        auto data = ShellDataObject(std::vector<std::wstring>{W(c.selected)});
        ASSERT_TRUE(data) << what;
        Object object;
        ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK) << what;
        const korvane::Selection& selection = object->CurrentSelection();
        EXPECT_FALSE(selection.unusable) << what;
        EXPECT_EQ(selection.mode, c.mode) << what;
        EXPECT_EQ(selection.currentFolder, c.currentFolder) << what;
        EXPECT_EQ(selection.extensionPattern, c.pattern) << what;

        if (!korvane::IsWindows7OrLater()) continue;
        const DialogFields fields = RunCommandAndRead(*object.p);
        ASSERT_TRUE(fields.shown) << what;
        EXPECT_EQ(fields.folder, u" " + c.currentFolder) << what;
        EXPECT_EQ(fields.pattern, c.pattern) << what << ": folder mode starts from the (empty) history";
    }
    ClearSettingsKey();
}

// These names used to be refused, because their ANSI form named another file (café.txt
// as cafe.txt) or read ¥ as a separator; in UTF-16 they are plain names. What is still
// refused is a path the system cannot take (longer than its limit) and an ANSI drop
// list whose path the code page does not spell exactly: the menu item stays, and the
// command only says why it does nothing.
TEST(SelectionIntake, NamesTheCodePageLacksAreUsableLongPathsAreNot) {
    TempFolder folder;
    ASSERT_TRUE(WriteFileU(folder / u"cafe.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"caf\u00e9.txt"));
    ASSERT_TRUE(WriteFileU(folder / u"a\u00a5..\u00a5b\\in.txt"));
    const struct { std::u16string path; korvane::InvocationMode mode; std::u16string currentFolder; } usable[] = {
        {folder / u"caf\u00e9.txt", kExtensionMode, folder.PathU()},
        {folder / u"a\u00a5..\u00a5b", kFolderMode, folder / u"a\u00a5..\u00a5b"},
        {folder / u"a\u00a5..\u00a5b\\in.txt", kExtensionMode, folder / u"a\u00a5..\u00a5b"},
        {folder / u"cafe.txt", kExtensionMode, folder.PathU()},
    };
    for (const auto& c : usable) {
        auto data = ShellDataObject(std::vector<std::wstring>{W(c.path)});
        ASSERT_TRUE(data) << A(c.path);
        Object object;
        ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK) << A(c.path);
        EXPECT_FALSE(object->CurrentSelection().unusable) << A(c.path);
        EXPECT_EQ(object->CurrentSelection().mode, c.mode) << A(c.path);
        EXPECT_EQ(object->CurrentSelection().currentFolder, c.currentFolder) << A(c.path);
    }

    // 260 units with the drive: one more than the system's functions take.
    const std::u16string tooLong = u"C:\\" + std::u16string(253, u'\uD55C') + u".txt";
    ASSERT_EQ(tooLong.size(), 260u);
    const std::string unusable[] = {
        Header(20, true) + WideBytes(tooLong) + kWideNul + kWideNul,
        Header(20, false) + Bytes("C:\\w\\a\x81\0\0"),  // a lead byte with nothing after it
    };
    for (const std::string& block : unusable) {
        Object object;
        auto earlier = FakeDropDataObject({"C:\\before\\a.txt"});
        ASSERT_EQ(object->Initialize(nullptr, earlier.Get(), nullptr), S_OK);
        auto data = RawDropDataObject(block);
        ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);
        EXPECT_TRUE(object->CurrentSelection().unusable);
        EXPECT_EQ(object->CurrentSelection().currentFolder, u"C:\\before");
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        HRESULT result = E_FAIL;
        const std::string shown = RunAndCloseMessageBox([&] { result = object->InvokeCommand(&info); });
        EXPECT_EQ(shown, A(korvane::LoadResourceString(IDS_SELECTION_NAME_UNUSABLE))) << "a message, no main dialog";
        EXPECT_EQ(result, S_OK);
    }
    // One unit less fits.
    Object object;
    auto fits = RawDropDataObject(Header(20, true) + WideBytes(tooLong.substr(0, 255) + u".txt") + kWideNul + kWideNul);
    ASSERT_EQ(object->Initialize(nullptr, fits.Get(), nullptr), S_OK);
    EXPECT_FALSE(object->CurrentSelection().unusable);
    EXPECT_EQ(object->CurrentSelection().currentFolder, u"C:");
}

// The drop block comes from another program: only global memory is read, and only
// within the block's own size. Anything malformed refuses the selection and leaves
// the earlier one as it was.
TEST(SelectionIntake, HostileDropBlocksAreRefusedWellFormedOnesRead) {
    const std::string wideList = WideBytes(u"C:\\Zoë\\자료\\a.tärt") + kWideNul + WideBytes(u"C:\\b.txt") + kWideNul + kWideNul;
    const std::string ansiPath = std::string("C:\\") + kHyo + "\\" + kSo + ".doc";  // 表 and ソ end in 0x5C
    const struct {
        const char* what;
        std::string bytes;
        DWORD tymed;
        HRESULT want;
        std::u16string currentFolder, pattern;  // of a block that is read
    } cases[] = {
        {"a stream", Header(20, true) + wideList, TYMED_ISTREAM, E_INVALIDARG, u"", u""},
        {"a file where global memory was asked for", Header(20, true) + wideList, TYMED_FILE, E_INVALIDARG, u"", u""},
        {"no bytes", "", TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"shorter than the header", Header(20, false).substr(0, 19), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"the header alone", Header(20, false), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"pFiles inside the header", Header(8, false) + Bytes("C:\\a.txt\0\0"), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"pFiles past the end", Header(200, false) + Bytes("C:\\a.txt\0\0"), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"pFiles near 4 GiB", Header(0xFFFFFFF0u, true) + wideList, TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"a first path without its NUL", Header(20, false) + "C:\\a.txt", TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"a list without its second NUL", Header(20, false) + Bytes("C:\\a.txt\0"), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"a wide path without its NUL", Header(20, true) + WideBytes(u"C:\\a.txt"), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"a wide list without its second NUL", Header(20, true) + WideBytes(u"C:\\a.txt") + kWideNul, TYMED_HGLOBAL,
         E_INVALIDARG, u"", u""},
        {"a wide list ending in half a NUL", Header(20, true) + WideBytes(u"C:\\a.txt") + kWideNul + Bytes("\0"),
         TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"a wide list at an odd offset", Header(21, true) + Bytes("\0") + wideList, TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"an empty ANSI list", Header(20, false) + Bytes("\0\0"), TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"an empty wide list", Header(20, true) + kWideNul + kWideNul, TYMED_HGLOBAL, E_INVALIDARG, u"", u""},
        {"a wide list", Header(20, true) + wideList, TYMED_HGLOBAL, S_OK, u"C:\\Zoë\\자료", u"*.tärt"},
        {"a wide list after a gap", Header(24, true) + Bytes("\1\2\3\4") + wideList, TYMED_HGLOBAL, S_OK,
         u"C:\\Zoë\\자료", u"*.tärt"},
        {"an ANSI list", Header(20, false) + ansiPath + Bytes("\0\0"), TYMED_HGLOBAL, S_OK, U(std::string("C:\\") + kHyo),
         u"*.doc"},
    };
    for (const auto& c : cases) {
        Object object;
        auto earlier = FakeDropDataObject({"C:\\before\\a.txt"});
        ASSERT_EQ(object->Initialize(nullptr, earlier.Get(), nullptr), S_OK);
        auto data = RawDropDataObject(c.bytes, c.tymed);
        EXPECT_EQ(object->Initialize(nullptr, data.Get(), nullptr), c.want) << c.what;
        EXPECT_FALSE(object->CurrentSelection().unusable) << c.what;
        EXPECT_EQ(object->CurrentSelection().mode, kExtensionMode) << c.what;
        EXPECT_EQ(object->CurrentSelection().currentFolder, c.want == S_OK ? c.currentFolder : u"C:\\before") << c.what;
        EXPECT_EQ(object->CurrentSelection().extensionPattern, c.want == S_OK ? c.pattern : u"*.txt") << c.what;
    }
}
