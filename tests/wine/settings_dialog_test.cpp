// The settings dialog, driven from a second thread while this one runs it modally:
// what it shows for stored values, what OK writes back, and what it leaves alone.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "resource.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "test_support.h"

using namespace testsupport;

namespace {

using Values = std::map<std::string, std::pair<DWORD, std::string>>;  // name -> type, data

void Set(const char* name, DWORD type, const void* data, DWORD size) {
    UniqueKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, korvane::kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
}
void SetNumber(const char* name, DWORD value) { Set(name, REG_DWORD, &value, sizeof value); }
void SetText(const char* name, const std::string& text) {
    Set(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// A text value through the W function: what the system keeps, whatever the code page.
void SetWideText(const char* name, const std::u16string& text) {
    UniqueKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, korvane::kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    RegSetValueExW(key.Get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

// Every value of the key, texts as the UTF-16 the system keeps; empty when there is no key.
Values Snapshot() {
    Values values;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, korvane::kSettingsKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return values;
    wchar_t name[256];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, size = sizeof data, type = 0;
        if (RegEnumValueW(key.Get(), i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        values[A(std::u16string(reinterpret_cast<const char16_t*>(name), nameLength))] = {
            type, std::string(reinterpret_cast<char*>(data), size)};
    }
    return values;
}

// -1 when the value is missing or not a DWORD.
long long Number(const Values& values, const char* name) {
    auto it = values.find(name);
    if (it == values.end() || it->second.first != REG_DWORD || it->second.second.size() != 4) return -1;
    DWORD value;
    std::memcpy(&value, it->second.second.data(), 4);
    return value;
}

const char* const kOptionNames[] = {"regexp",   "mode_ext",    "select",       "under_ext",  "add_ext",
                                    "same_ext", "mode_folder", "under_folder", "add_folder", "same_folder"};
const int kLists[] = {IDC_SETTINGS_EXT_ACTION, IDC_SETTINGS_PATTERN_SOURCE, IDC_SETTINGS_FOLDER_ACTION,
                      IDC_SETTINGS_EXT_SAME_FILE, IDC_SETTINGS_FOLDER_SAME_FILE};
const int kChecks[] = {IDC_SETTINGS_REGEX, IDC_SETTINGS_EXT_SUBFOLDERS, IDC_SETTINGS_EXT_APPEND,
                       IDC_SETTINGS_FOLDER_SUBFOLDERS, IDC_SETTINGS_FOLDER_APPEND};

// What the open dialog showed: selected index (-1 none) or check state by control.
struct Shown {
    bool opened = false;
    std::map<int, int> state;
    std::map<int, std::vector<std::u16string>> items;  // as the W message reads them
};

// Runs the dialog here while a second thread records what it shows, lets `change`
// act on it and ends it with the button endId.
INT_PTR RunDialog(int endId, Shown& shown, const std::function<void(HWND)>& change = {}) {
    const DWORD thread = GetCurrentThreadId();
    BackgroundThread driver([&] {
        HWND dialog = WaitForDialog(thread);
        if (!dialog) return;
        shown.opened = true;
        for (int id : kLists) {
            HWND list = GetDlgItem(dialog, id);
            shown.state[id] = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
            const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                wchar_t text[512] = {};
                SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                shown.items[id].push_back(reinterpret_cast<const char16_t*>(text));
            }
        }
        for (int id : kChecks) shown.state[id] = IsDlgButtonChecked(dialog, id);
        if (change) change(dialog);
        SendMessageA(GetDlgItem(dialog, endId), BM_CLICK, 0, 0);
        for (int i = 0; i < 250 && IsWindow(dialog); ++i) Sleep(20);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // never hang the test
    });
    const INT_PTR result = korvane::RunSettingsDialog(nullptr);
    driver.Join();
    return result;
}

std::vector<std::u16string> Strings(std::initializer_list<UINT> ids) {
    std::vector<std::u16string> texts;
    for (UINT id : ids) texts.push_back(korvane::LoadResourceString(id));
    return texts;
}

class SettingsDialog : public testing::Test {
protected:
    void SetUp() override { ClearSettingsKey(); }
    void TearDown() override { ClearSettingsKey(); }
    const bool windows7 = korvane::IsWindows7OrLater();
};

}  // namespace

TEST_F(SettingsDialog, OpensWithThePresetsAndOkWritesAllTenValues) {
    Shown shown;
    ASSERT_EQ(RunDialog(IDOK, shown), IDOK);
    ASSERT_TRUE(shown.opened);

    EXPECT_EQ(shown.items[IDC_SETTINGS_EXT_ACTION],
              windows7 ? Strings({IDS_ACTION_COPY_TO_FOLDER, IDS_ACTION_MOVE_TO_FOLDER, IDS_ACTION_COPY_TO_CLIPBOARD,
                                  IDS_ACTION_CUT_TO_CLIPBOARD, IDS_ACTION_PREVIOUS})
                       : Strings({IDS_ACTION_COPY_TO_FOLDER, IDS_ACTION_MOVE_TO_FOLDER, IDS_ACTION_COPY_TO_CLIPBOARD,
                                  IDS_ACTION_CUT_TO_CLIPBOARD, IDS_ACTION_SELECT_ONLY, IDS_ACTION_PREVIOUS}));
    EXPECT_EQ(shown.items[IDC_SETTINGS_FOLDER_ACTION],
              Strings({IDS_ACTION_COPY_TO_FOLDER, IDS_ACTION_MOVE_TO_FOLDER, IDS_ACTION_PREVIOUS}));
    EXPECT_EQ(shown.items[IDC_SETTINGS_PATTERN_SOURCE], Strings({IDS_PATTERN_FROM_EXTENSION, IDS_PATTERN_FROM_HISTORY}));
    const auto same = Strings({IDS_SAME_ASK, IDS_SAME_IF_NEWER, IDS_SAME_ALWAYS, IDS_SAME_PREVIOUS});
    EXPECT_EQ(shown.items[IDC_SETTINGS_EXT_SAME_FILE], same);
    EXPECT_EQ(shown.items[IDC_SETTINGS_FOLDER_SAME_FILE], same);
    EXPECT_FALSE(same[0].empty()) << "the string table is linked in";

    // Preset 4: select only before Windows 7, the previous choice (fifth item) from Windows 7 on.
    for (const auto& [id, state] : shown.state) EXPECT_EQ(state, id == IDC_SETTINGS_EXT_ACTION ? 4 : 0) << id;

    const Values after = Snapshot();
    EXPECT_EQ(after.size(), 10u) << "the ten options and nothing else";
    for (const char* name : kOptionNames)
        EXPECT_EQ(Number(after, name), std::strcmp(name, "mode_ext") ? 0 : windows7 ? 5 : 4) << name;
}

TEST_F(SettingsDialog, StoredValuesAreShownAndWrittenBack) {
    const struct {
        const char* name;
        DWORD stored;
        int control;
        int shownBefore7, shown7;  // selected index (-1 none) or check state
        long long writtenBefore7, written7;
    } cases[] = {
        {"mode_ext", 3, IDC_SETTINGS_EXT_ACTION, 3, 3, 3, 3},
        {"mode_ext", 4, IDC_SETTINGS_EXT_ACTION, 4, 4, 4, 5},
        {"mode_ext", 5, IDC_SETTINGS_EXT_ACTION, 5, 4, 5, 5},
        // Outside a list: no selection, and OK writes the store's preset.
        {"mode_ext", 6, IDC_SETTINGS_EXT_ACTION, -1, -1, 4, 4},
        {"mode_ext", 0xFFFFFFFF, IDC_SETTINGS_EXT_ACTION, -1, -1, 4, 4},
        {"mode_folder", 1, IDC_SETTINGS_FOLDER_ACTION, 1, 1, 1, 1},
        {"mode_folder", 2, IDC_SETTINGS_FOLDER_ACTION, 2, 2, 5, 5},
        {"mode_folder", 3, IDC_SETTINGS_FOLDER_ACTION, 2, 2, 5, 5},
        {"mode_folder", 4, IDC_SETTINGS_FOLDER_ACTION, 2, 2, 5, 5},
        {"mode_folder", 5, IDC_SETTINGS_FOLDER_ACTION, 2, 2, 5, 5},
        {"mode_folder", 0xFFFFFFFF, IDC_SETTINGS_FOLDER_ACTION, -1, -1, 0, 0},
        {"select", 1, IDC_SETTINGS_PATTERN_SOURCE, 1, 1, 1, 1},
        {"select", 2, IDC_SETTINGS_PATTERN_SOURCE, -1, -1, 0, 0},
        {"same_ext", 3, IDC_SETTINGS_EXT_SAME_FILE, 3, 3, 3, 3},
        {"same_ext", 4, IDC_SETTINGS_EXT_SAME_FILE, -1, -1, 0, 0},
        {"same_folder", 2, IDC_SETTINGS_FOLDER_SAME_FILE, 2, 2, 2, 2},
        {"same_folder", 9, IDC_SETTINGS_FOLDER_SAME_FILE, -1, -1, 0, 0},
        {"regexp", 2, IDC_SETTINGS_REGEX, 1, 1, 1, 1},  // any nonzero value means regular expressions
        {"under_ext", 1, IDC_SETTINGS_EXT_SUBFOLDERS, 1, 1, 1, 1},
        {"add_ext", 1, IDC_SETTINGS_EXT_APPEND, 1, 1, 1, 1},
        {"under_folder", 1, IDC_SETTINGS_FOLDER_SUBFOLDERS, 1, 1, 1, 1},
        {"add_folder", 1, IDC_SETTINGS_FOLDER_APPEND, 1, 1, 1, 1},
    };
    for (const auto& c : cases) {
        ClearSettingsKey();
        SetNumber(c.name, c.stored);
        Shown shown;
        ASSERT_EQ(RunDialog(IDOK, shown), IDOK) << c.name << " " << c.stored;
        EXPECT_EQ(shown.state[c.control], windows7 ? c.shown7 : c.shownBefore7) << c.name << " " << c.stored;
        EXPECT_EQ(Number(Snapshot(), c.name), windows7 ? c.written7 : c.writtenBefore7) << c.name << " " << c.stored;
    }
}

TEST_F(SettingsDialog, OkWritesTheUsersChoices) {
    SetNumber("under_ext", 1);
    Shown shown;
    auto change = [](HWND dialog) {
        const std::pair<int, int> picks[] = {{IDC_SETTINGS_EXT_ACTION, 4}, {IDC_SETTINGS_PATTERN_SOURCE, 1},
                                             {IDC_SETTINGS_FOLDER_ACTION, 1}, {IDC_SETTINGS_EXT_SAME_FILE, 3},
                                             {IDC_SETTINGS_FOLDER_SAME_FILE, 2}};
        for (const auto& [id, index] : picks) SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
        for (int id : {IDC_SETTINGS_REGEX, IDC_SETTINGS_EXT_SUBFOLDERS, IDC_SETTINGS_FOLDER_APPEND})
            SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    };
    ASSERT_EQ(RunDialog(IDOK, shown, change), IDOK);
    const Values after = Snapshot();
    const std::pair<const char*, long long> want[] = {
        {"regexp", 1},   {"mode_ext", windows7 ? 5 : 4}, {"select", 1},       {"under_ext", 0},    {"add_ext", 0},
        {"same_ext", 3}, {"mode_folder", 1},              {"under_folder", 0}, {"add_folder", 1}, {"same_folder", 2}};
    for (const auto& [name, value] : want) EXPECT_EQ(Number(after, name), value) << name;
}

TEST_F(SettingsDialog, CancelWritesNothing) {
    Shown shown;
    auto change = [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_SETTINGS_EXT_ACTION, CB_SETCURSEL, 1, 0);
        SendMessageA(GetDlgItem(dialog, IDC_SETTINGS_REGEX), BM_CLICK, 0, 0);
    };
    ASSERT_EQ(RunDialog(IDCANCEL, shown, change), IDCANCEL);
    EXPECT_TRUE(Snapshot().empty()) << "no key is created";

    SetNumber("mode_ext", 2);
    const Values before = Snapshot();
    ASSERT_EQ(RunDialog(IDCANCEL, shown, change), IDCANCEL);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SettingsDialog, LastChoicesAndHistoriesSurvive) {
    SetNumber("flag_ext", 2);
    SetNumber("flag_folder", 1);
    SetNumber("same_flag_ext", 1);
    SetNumber("same_flag_folder", 2);
    SetText("h0_0", "*.txt");
    SetText("h0_1", std::string("*") + kHyo + ".doc");
    SetText("h1_0", "^report");
    SetText("f0_0", "D:\\backup");
    SetText("f1_3", std::string("E:\\") + kSo);
    SetWideText("f0_1", u"D:\\자료\\café😀");  // outside the code page: an ANSI rewrite would spoil it
    const Values before = Snapshot();

    Shown shown;
    ASSERT_EQ(RunDialog(IDOK, shown), IDOK);
    Values after = Snapshot();
    for (const char* name : kOptionNames) after.erase(name);
    EXPECT_EQ(after, before);
}
