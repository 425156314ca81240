// The settings store against the real registry of the test prefix. Every test
// starts from a cleared key. Run once per Windows version: the defaults and the
// mapping of select only differ from Windows 7 on.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/unique_handle.h"
#include "settings/settings_store.h"
#include "test_support.h"

using namespace korvane;
using testsupport::ClearSettingsKey;
using testsupport::U;
using List = std::vector<std::u16string>;
using AnsiList = std::vector<std::string>;

namespace {

// The version this run was started for (the runner's default is win7).
bool ExpectWindows7() {
    const char* version = std::getenv("KORVANE_WINE_VERSION");
    const std::string v = version ? version : "win7";
    return v == "win7" || v == "win8" || v == "win81" || v == "win10";
}

// --- the registry as the test sees it, through calls of its own ---

UniqueKey OpenKey(REGSAM access) {
    UniqueKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, access, nullptr, key.Put(), nullptr);
    return key;
}

void SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    UniqueKey key = OpenKey(KEY_SET_VALUE);
    ASSERT_TRUE(key);
    ASSERT_EQ(RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << name;
}

void SetNumber(const std::string& name, DWORD value) {
    SetRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

// Through RegSetValueExA, as texts were stored before they were kept in UTF-16: the
// system converts them from the code page.
void SetText(const std::string& name, const std::string& text) {  // with its NUL
    SetRaw(name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

// The UTF-16 bytes of a text with its NUL, as RegSetValueExW takes and RegQueryValueExW gives them.
std::string WideBytes(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(char16_t));
}

void SetWideText(const std::string& name, const std::u16string& text) {
    UniqueKey key = OpenKey(KEY_SET_VALUE);
    ASSERT_TRUE(key);
    const std::string bytes = WideBytes(text);
    ASSERT_EQ(RegSetValueExW(key.Get(), testsupport::Widen(name).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << name;
}

struct Value {
    DWORD type;
    std::string bytes;
    bool operator==(const Value& o) const { return type == o.type && bytes == o.bytes; }
};
using Snapshot = std::map<std::string, Value>;

bool KeyExists() {
    UniqueKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// Every value of the key, texts in the UTF-16 the system keeps; empty when there is no key.
Snapshot Values() {
    Snapshot all;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return all;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameSize = 256;
        BYTE data[2048];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key.Get(), i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        all[testsupport::A(std::u16string(reinterpret_cast<const char16_t*>(name), nameSize))] =
            Value{type, std::string(reinterpret_cast<char*>(data), dataSize)};
    }
    return all;
}

Value Number(DWORD value) { return Value{REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)}; }
Value Text(const std::u16string& text) { return Value{REG_SZ, WideBytes(text)}; }

void SetNumbers(const std::vector<std::pair<const char*, DWORD>>& values) {
    for (const auto& [name, value] : values) SetNumber(name, value);
}

// The loaded options: regexp, select, action, under, add, same.
using Six = std::array<std::uint32_t, 6>;
Six Loaded(const ModeSettings& s) {
    return {s.useRegex, s.initialPatternSource, s.initialAction, s.initialIncludeSubfolders,
            s.initialAppendFolderName, s.initialSameFileAction};
}

// What a command used, as the main dialog returns it.
MainChoices Used(const std::u16string& pattern, const std::u16string& destination, ActionKind action,
                 SameFileAction same = kAskBeforeOverwrite) {
    MainChoices c;
    c.pattern = pattern;
    c.typedDestination = destination;
    c.action = action;
    c.sameFileAction = same;
    return c;
}

// The form's values in the order of their names.
const char* const kFormNames[10] = {"regexp",   "mode_ext",    "select",       "under_ext",  "add_ext",
                                    "same_ext", "mode_folder", "under_folder", "add_folder", "same_folder"};
using Ten = std::array<std::uint32_t, 10>;
Ten FormValues(std::uint32_t useRegex, const SettingsForm& f) {
    return {useRegex, f.extensionAction, f.patternSource, f.extensionSubfolders, f.extensionAppend,
            f.extensionSameFile, f.folderAction, f.folderSubfolders, f.folderAppend, f.folderSameFile};
}

// Writes a history as the store would, from position 0.
void SetHistory(char prefix, int m, const List& entries) {
    for (size_t i = 0; i < entries.size(); ++i)
        SetWideText(std::string(1, prefix) + std::to_string(m) + "_" + std::to_string(i), entries[i]);
}

class SettingsStore : public testing::Test {
protected:
    void SetUp() override { ClearSettingsKey(); }
    void TearDown() override { ClearSettingsKey(); }
};

}  // namespace

// ---------------------------------------------------------------- loading

TEST_F(SettingsStore, NoKeyGivesTheDefaultsAndKeepsTheHistories) {
    const ActionKind extensionDefault = ExpectWindows7() ? kCopyToFolder : kSelectOnly;
    for (InvocationMode m : {kExtensionMode, kFolderMode}) {
        const Six defaults{0, 0, m == kExtensionMode ? extensionDefault : kCopyToFolder, 0, 0, 0};
        EXPECT_EQ(Loaded(LoadModeSettings(m)), defaults);
        // A reload over what a command loaded before
        ModeSettings s;
        s.useRegex = s.initialPatternSource = 1;
        s.initialAction = s.initialSameFileAction = 2;
        s.initialIncludeSubfolders = s.initialAppendFolderName = 1;
        s.patternHistory = {u"*.txt"};
        s.destinationHistory = {u"C:\\dest"};
        ReloadModeSettings(m, s);
        EXPECT_EQ(Loaded(s), defaults);
        EXPECT_EQ(s.patternHistory, List{u"*.txt"});
        EXPECT_EQ(s.destinationHistory, List{u"C:\\dest"});
    }
    EXPECT_FALSE(KeyExists()) << "a load creates nothing";
}

TEST_F(SettingsStore, OptionsLoadAsStoredForTheirOwnMode) {
    // distinct values per name, so that a name read for another shows
    SetNumbers({{"regexp", 1}, {"select", 3}, {"mode_ext", 2}, {"mode_folder", 1}, {"under_ext", 1},
                {"under_folder", 7}, {"add_ext", 9}, {"add_folder", 1}, {"same_ext", 2}, {"same_folder", 1},
                {"flag_ext", 3}, {"flag_folder", 3}});

    const Six ext{1, 3, 2, 1, 9, 2}, folder{1, 3, 1, 7, 1, 1};
    ModeSettings s = LoadModeSettings(kExtensionMode);
    EXPECT_EQ(Loaded(s), ext);
    ReloadModeSettings(kFolderMode, s);
    EXPECT_EQ(Loaded(s), folder) << "nothing of the other mode stays";
    EXPECT_EQ(Loaded(LoadModeSettings(kFolderMode)), folder);
    ReloadModeSettings(kExtensionMode, s);
    EXPECT_EQ(Loaded(s), ext);
}

TEST_F(SettingsStore, PreviousChoiceResolution) {
    const ActionKind selectOnly = ExpectWindows7() ? kCopyToFolder : kSelectOnly;
    enum { kAction = 2, kSame = 5 };  // positions in Six
    const struct { InvocationMode m; std::vector<std::pair<const char*, DWORD>> stored; int field; DWORD want; } cases[] = {
        {0, {{"mode_ext", 5}, {"flag_ext", 2}}, kAction, kCopyToClipboard},
        {0, {{"mode_ext", 5}}, kAction, kPreviousAction},  // nothing to resolve: stays 5
        {0, {{"mode_ext", 5}, {"flag_ext", 4}}, kAction, selectOnly},
        {0, {{"mode_ext", 4}}, kAction, selectOnly},
        {0, {{"mode_ext", 5}, {"flag_folder", 2}}, kAction, kPreviousAction},  // the other mode's choice
        {0, {{"mode_ext", 99}, {"flag_ext", 2}}, kAction, 99},                  // out of range, kept
        {1, {{"mode_folder", 5}, {"flag_folder", 1}}, kAction, kMoveToFolder},
        {1, {{"mode_folder", 5}, {"flag_ext", 1}}, kAction, kPreviousAction},
        {1, {{"mode_folder", 4}}, kAction, selectOnly},
        {1, {{"mode_folder", 3}, {"flag_folder", 1}}, kAction, kCutToClipboard},
        {1, {{"same_folder", 3}, {"same_flag_folder", 1}}, kSame, kOverwriteIfNewer},
        {1, {{"same_folder", 3}}, kSame, kPreviousSameFileAction},
        {1, {{"same_folder", 3}, {"same_flag_ext", 2}}, kSame, kPreviousSameFileAction},
        {0, {{"same_ext", 3}, {"same_flag_ext", 2}}, kSame, kOverwriteAlways},
        {0, {{"same_ext", 2}, {"same_flag_ext", 1}}, kSame, kOverwriteAlways},  // no resolution asked
        {0, {{"same_ext", 7}, {"same_flag_ext", 1}}, kSame, 7},                 // out of range, kept
    };
    for (const auto& c : cases) {
        ClearSettingsKey();
        SetNumbers(c.stored);
        EXPECT_EQ(Loaded(LoadModeSettings(c.m))[c.field], c.want) << c.stored[0].first << "=" << c.stored[0].second << " + "
                                                       << (c.stored.size() > 1 ? c.stored[1].first : "-");
    }
}

TEST_F(SettingsStore, NumbersOfOtherTypesAndSizes) {
    const ActionKind fallback = ExpectWindows7() ? kCopyToFolder : kSelectOnly;
    const struct { DWORD type; std::string bytes; ActionKind want; } cases[] = {
        {REG_DWORD, std::string("\x02\x00\x00\x00", 4), 2},
        {REG_BINARY, std::string("\x03\x00\x00\x00", 4), 3},  // the type does not matter
        {REG_SZ, std::string("1\0", 2), 0x31},                 // the bytes of the text
        {REG_BINARY, std::string("\x01\x01", 2), 0x101},        // shorter data: the low bytes
        {REG_BINARY, std::string(), 0},
        {REG_BINARY, std::string("\x01\x00\x00\x00\x00", 5), fallback},  // 5 bytes: the read fails
        {REG_SZ, std::string("copy\0", 5), fallback},
        {REG_QWORD, std::string("\x02\x00\x00\x00\x00\x00\x00\x00", 8), fallback},
    };
    for (const auto& c : cases) {
        ClearSettingsKey();
        SetRaw("mode_ext", c.type, c.bytes);
        SetRaw("regexp", c.type, c.bytes);
        ModeSettings s;
        s.useRegex = 77;
        ReloadModeSettings(kExtensionMode, s);
        EXPECT_EQ(s.initialAction, c.want) << "type " << c.type << ", " << c.bytes.size() << " bytes";
        EXPECT_EQ(s.useRegex, c.bytes.size() > 4 ? 0u : c.want) << "regexp";
    }
}

TEST_F(SettingsStore, HistoriesLoadUpToTheFirstMissingOrOversizedEntry) {
    const std::string longest(259, 'x');  // with its NUL it just fills the buffer
    const std::string jis = std::string("C:\\") + testsupport::kHyo + "\\" + testsupport::kSo;
    // Written through the A function, as before: the system keeps them in UTF-16.
    const struct { const char* what; std::vector<std::pair<int, std::string>> stored; AnsiList want; } cases[] = {
        {"pattern, empty, pattern", {{0, "*.txt"}, {1, ""}, {2, "*.doc"}}, {"*.txt", "*.doc"}},
        {"position 0 missing", {{1, "*.txt"}, {2, "*.doc"}}, {}},  // and the old list is gone
        {"gap at 2", {{0, "a"}, {1, "b"}, {3, "d"}}, {"a", "b"}},
        {"all ten", {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}, {8, "8"},
                     {9, "9"}, {10, "10"}},
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"259 units", {{0, longest}, {1, "b"}}, {longest, "b"}},
        {"260 units end the list", {{0, "a"}, {1, longest + "y"}, {2, "c"}}, {"a"}},
        {"Shift-JIS", {{0, jis}}, {jis}},
    };
    for (const auto& c : cases) {
        ClearSettingsKey();
        for (const auto& [position, text] : c.stored) {
            SetText("h0_" + std::to_string(position), text);
            SetText("f0_" + std::to_string(position), text);
        }
        ModeSettings s;
        s.patternHistory = {u"old"};
        s.destinationHistory = {u"C:\\old"};
        ReloadModeSettings(kExtensionMode, s);
        EXPECT_EQ(s.patternHistory, U(c.want)) << c.what;
        EXPECT_EQ(s.destinationHistory, U(c.want)) << c.what;
    }
}

TEST_F(SettingsStore, HistoryTextIsTakenOnlyUpToTheLengthStored) {
    const struct { const char* what; DWORD type; std::string bytes; List want; } cases[] = {
        {"no NUL", REG_SZ, "abc", {u"abc"}},
        {"no NUL, 259 units", REG_SZ, std::string(259, 'n'), {std::u16string(259, u'n')}},
        {"no NUL, 260 units", REG_SZ, std::string(260, 'n'), {}},
        {"inner NUL", REG_SZ, std::string("ab\0cd\0", 6), {u"ab"}},
        // The system converts no binary data: the bytes are taken as UTF-16 units.
        {"binary without NUL", REG_BINARY, std::string("x\0y\0z\0", 6), {u"xyz"}},
        {"expandable", REG_EXPAND_SZ, std::string("%TEMP%\0", 7), {u"%TEMP%"}},
    };
    for (const auto& c : cases) {
        ClearSettingsKey();
        SetRaw("h0_0", c.type, c.bytes);
        SetText("h0_1", "next");
        List want = c.want;
        if (!want.empty()) want.push_back(u"next");
        EXPECT_EQ(LoadModeSettings(kExtensionMode).patternHistory, want) << c.what;
    }
}

TEST_F(SettingsStore, LoadOfEachModeReadsItsOwnHistoriesAndWritesNothing) {
    SetHistory('h', 0, {u"*.txt", u"*.doc"});
    SetHistory('f', 0, {u"C:\\ext"});
    SetHistory('h', 1, {u"*.jpg"});
    SetHistory('f', 1, {u"C:\\folder", u"D:"});
    SetNumber("mode_ext", 5);
    SetRaw("same_folder", REG_BINARY, std::string("\x03\x00\x00\x00\x00", 5));
    const Snapshot before = Values();

    const ModeSettings folder = LoadModeSettings(kFolderMode);
    EXPECT_EQ(folder.patternHistory, List{u"*.jpg"});
    EXPECT_EQ(folder.destinationHistory, (List{u"C:\\folder", u"D:"}));
    EXPECT_EQ(folder.initialSameFileAction, kAskBeforeOverwrite) << "5 bytes do not read";

    ModeSettings ext = folder;  // a reload for the other mode replaces both lists
    ReloadModeSettings(kExtensionMode, ext);
    EXPECT_EQ(ext.patternHistory, (List{u"*.txt", u"*.doc"}));
    EXPECT_EQ(ext.destinationHistory, List{u"C:\\ext"});
    EXPECT_EQ(ext.initialAction, kPreviousAction);
    EXPECT_EQ(LoadModeSettings(kFolderMode).patternHistory, List{u"*.jpg"});

    EXPECT_EQ(Values(), before);
}

// ---------------------------------------------------------------- saving

TEST_F(SettingsStore, FirstSaveCreatesTheKey) {
    SaveChoices(kExtensionMode, Used(u"*.txt", u"C:\\dest", kMoveToFolder, kOverwriteIfNewer), ModeSettings());
    const Snapshot want = {
        {"flag_ext", Number(1)}, {"same_flag_ext", Number(1)}, {"h0_0", Text(u"*.txt")}, {"f0_0", Text(u"C:\\dest")},
    };
    EXPECT_EQ(Values(), want);
}

TEST_F(SettingsStore, SaveWritesTheMergedHistories) {
    const struct { const char* what; List stored; std::u16string used; List want; } cases[] = {
        {"second of three", {u"a", u"b", u"c"}, u"b", {u"b", u"a", u"c"}},
        {"new over ten", {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"}, u"n",
         {u"n", u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8"}},
        // Names the code page cannot tell apart are different entries.
        {"best fits", {u"D:\\cafe", u"D:\\\u00A5"}, u"D:\\caf\u00E9", {u"D:\\caf\u00E9", u"D:\\cafe", u"D:\\\u00A5"}},
    };
    for (const auto& c : cases) {
        ClearSettingsKey();
        SetHistory('h', 0, c.stored);
        SetHistory('f', 0, c.stored);
        SaveChoices(kExtensionMode, Used(c.used, c.used, kCopyToFolder), LoadModeSettings(kExtensionMode));

        const Snapshot after = Values();
        for (size_t i = 0; i < c.want.size(); ++i) {
            const std::string position = std::to_string(i);
            EXPECT_EQ(after.at("h0_" + position), Text(c.want[i])) << c.what << " h0_" << i;
            EXPECT_EQ(after.at("f0_" + position), Text(c.want[i])) << c.what << " f0_" << i;
        }
        EXPECT_EQ(after.count("h0_10"), 0u) << c.what;

        EXPECT_EQ(LoadModeSettings(kExtensionMode).patternHistory, c.want) << c.what;
    }
}

TEST_F(SettingsStore, OnlyFolderActionsRecordTheDestination) {
    for (ActionKind action : {kCopyToFolder, kMoveToFolder, kCopyToClipboard, kCutToClipboard, kSelectOnly}) {
        ClearSettingsKey();
        SetHistory('h', 0, {u"old"});
        SetHistory('f', 0, {u"C:\\old"});
        SaveChoices(kExtensionMode, Used(u"*.new", u"C:\\new", action, kOverwriteAlways),
                    LoadModeSettings(kExtensionMode));

        const Snapshot after = Values();
        const bool toFolder = action == kCopyToFolder || action == kMoveToFolder;
        EXPECT_EQ(after.at("flag_ext"), Number(action));
        EXPECT_EQ(after.at("same_flag_ext"), Number(kOverwriteAlways));
        EXPECT_EQ(after.at("h0_0"), Text(u"*.new"));
        EXPECT_EQ(after.at("h0_1"), Text(u"old"));
        EXPECT_EQ(after.at("f0_0"), Text(toFolder ? u"C:\\new" : u"C:\\old")) << action;
        EXPECT_EQ(after.count("f0_1"), toFolder ? 1u : 0u) << action;
    }
}

TEST_F(SettingsStore, EachModeSavesOnlyItsOwnValues) {
    SetHistory('h', 0, {u"ext-pattern"});
    SetHistory('f', 0, {u"C:\\ext"});
    SetNumber("flag_ext", 2);
    SetNumber("same_flag_ext", 1);
    SetNumber("mode_folder", 5);
    SetNumber("same_folder", 3);
    const Snapshot before = Values();

    SaveChoices(kFolderMode, Used(u"*.jpg", u"D:\\photos", kMoveToFolder, kOverwriteAlways),
                LoadModeSettings(kFolderMode));

    Snapshot want = before;
    want["flag_folder"] = Number(kMoveToFolder);
    want["same_flag_folder"] = Number(kOverwriteAlways);
    want["h1_0"] = Text(u"*.jpg");
    want["f1_0"] = Text(u"D:\\photos");
    EXPECT_EQ(Values(), want);

    // and the choices come back as the previous choice in the next folder-mode load
    const ModeSettings next = LoadModeSettings(kFolderMode);
    EXPECT_EQ(next.initialAction, kMoveToFolder);
    EXPECT_EQ(next.initialSameFileAction, kOverwriteAlways);
}

// ---------------------------------------------------------------- texts outside and inside the code page

// Each text holds what code page 932 lacks or spells another way: é (its best fit
// is e), ¥ (its best fit is 0x5C, a separator), Hangul and an emoji (a surrogate
// pair). They are stored as REG_SZ in UTF-16 and read back unit for unit.
TEST_F(SettingsStore, TextsOutsideTheCodePageAreStoredAndLoadedExactly) {
    const struct { std::u16string pattern, destination; } cases[] = {
        {u"*caf\u00E9.txt", u"D:\\Beyonc\u00E9"},
        {u"\u00A5*.txt", u"D:\\\u00A5500"},
        {u"*.\uD55C\uAE00", u"D:\\\uC790\uB8CC"},
        {u"a\U0001F600?.txt", u"D:\\x\U0001F600"},
    };
    for (const auto& c : cases) {
        const std::string what = testsupport::A(c.destination);
        ClearSettingsKey();
        SetHistory('f', 1, {u"D:\\old"});
        SaveChoices(kFolderMode, Used(c.pattern, c.destination, kCopyToFolder), LoadModeSettings(kFolderMode));
        const Snapshot after = Values();
        EXPECT_EQ(after.at("h1_0"), Text(c.pattern)) << what;
        EXPECT_EQ(after.at("f1_0"), Text(c.destination)) << what;
        EXPECT_EQ(after.at("f1_1"), Text(u"D:\\old")) << what;
        const ModeSettings loaded = LoadModeSettings(kFolderMode);
        EXPECT_EQ(loaded.patternHistory, List{c.pattern}) << what;
        EXPECT_EQ(loaded.destinationHistory, (List{c.destination, u"D:\\old"})) << what;
    }
}

// Histories stored before texts were kept in UTF-16 went through RegSetValueExA in
// the code page; the system converted them then, so they load as they were meant.
TEST_F(SettingsStore, HistoriesWrittenInTheCodePageLoadUnchanged) {
    if (GetACP() != 932) GTEST_SKIP() << "made for code page 932";
    const std::string pattern = std::string("*") + testsupport::kHyo + testsupport::kSo + ".txt";  // *表ソ.txt
    const std::string destination = "D:\\\x8E\x91\x97\xBF\\\x83\x5C\x83\x74\x83\x67";  // D:\資料\ソフト
    SetText("h0_0", pattern);
    SetText("f0_0", destination);
    const std::u16string wantPattern = u"*\u8868\u30BD.txt", wantDestination = u"D:\\\u8CC7\u6599\\\u30BD\u30D5\u30C8";
    ASSERT_EQ(U(pattern), wantPattern);
    ASSERT_EQ(U(destination), wantDestination);

    const ModeSettings loaded = LoadModeSettings(kExtensionMode);
    EXPECT_EQ(loaded.patternHistory, List{wantPattern});
    EXPECT_EQ(loaded.destinationHistory, List{wantDestination});

    // A later command keeps them, exactly, behind its own entries.
    SaveChoices(kExtensionMode, Used(u"*.new", u"E:\\new", kCopyToFolder), loaded);
    const Snapshot after = Values();
    EXPECT_EQ(after.at("h0_1"), Text(wantPattern));
    EXPECT_EQ(after.at("f0_1"), Text(wantDestination));
}

// ---------------------------------------------------------------- the settings form

TEST_F(SettingsStore, FormPresetsWithoutKey) {
    std::uint32_t useRegex = 9;
    SettingsForm form;
    form.extensionAction = 1;
    form.folderSameFile = 2;
    ReadSettingsForm(useRegex, form);
    EXPECT_EQ(FormValues(useRegex, form), (Ten{0, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsStore, FormReadsEachNameUnresolved) {
    for (DWORD i = 0; i < 10; ++i) SetNumber(kFormNames[i], 10 + i);
    // the previous choices are shown as such
    SetNumbers({{"mode_ext", 5}, {"flag_ext", 2}, {"same_folder", 3}, {"same_flag_folder", 1}});
    SetRaw("under_folder", REG_BINARY, std::string("\x01\x00\x00\x00\x00", 5));  // too long: preset stays
    const Snapshot before = Values();

    std::uint32_t useRegex = 0;
    SettingsForm form;
    ReadSettingsForm(useRegex, form);
    EXPECT_EQ(FormValues(useRegex, form), (Ten{10, 5, 12, 13, 14, 15, 16, 0, 18, 3}));
    EXPECT_EQ(Values(), before);

    // select only stays select only on every version: the dialog adapts it
    ClearSettingsKey();
    SetNumber("mode_ext", 4);
    ReadSettingsForm(useRegex, form);
    EXPECT_EQ(form.extensionAction, 4u);
}

TEST_F(SettingsStore, FormWritesTheTenOptionsOnly) {
    SetHistory('h', 0, {u"p"});
    SetHistory('f', 1, {u"C:\\d"});
    SetNumbers({{"flag_ext", 2}, {"flag_folder", 1}, {"same_flag_ext", 1}, {"same_flag_folder", 2}, {"regexp", 0}});
    Snapshot want = Values();

    SettingsForm form;
    form.extensionAction = 5;
    form.patternSource = 1;
    form.extensionSubfolders = 1;
    form.extensionSameFile = 3;
    form.folderAction = 1;
    form.folderAppend = 1;
    form.folderSameFile = 2;
    WriteSettingsForm(1, form);

    const Ten written = FormValues(1, form);
    for (size_t i = 0; i < 10; ++i) want[kFormNames[i]] = Number(written[i]);
    EXPECT_EQ(Values(), want);

    std::uint32_t useRegex = 0;
    SettingsForm back;
    ReadSettingsForm(useRegex, back);
    EXPECT_EQ(FormValues(useRegex, back), written);

    // from an empty registry the form creates the key
    ClearSettingsKey();
    WriteSettingsForm(0, SettingsForm());
    EXPECT_EQ(Values().size(), 10u);
}
