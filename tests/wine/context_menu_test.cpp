// The menu item and its help text, by Windows version and the regular-expression option.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "modal_run.h"
#include "resources/resource.h"
#include "shellext/shell_extension.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "test_support.h"

using korvane::LoadResourceString;
using korvane::ShellExtension;
using namespace commandtest;
using namespace testsupport;

namespace {

using Object = ExtensionRef;

std::u16string MenuText(HMENU menu, UINT position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return reinterpret_cast<const char16_t*>(text);
}

// The wildcard help text as the string table holds it, written out here so that a
// loader that spoils it cannot agree with itself.
const char16_t kWildcardHelp[] = u"ワイルドカードでファイルを一括選択・コピーします。";

// The same text in code page 932: every character is two bytes.
std::string WildcardHelpInCodePage() { return A(kWildcardHelp); }

UINT ExpectedMenuText(bool regex) {
    if (korvane::IsWindows7OrLater()) return regex ? IDS_MENU_REGEX_7 : IDS_MENU_WILDCARD_7;
    return regex ? IDS_MENU_REGEX : IDS_MENU_WILDCARD;
}

}  // namespace

TEST(ContextMenu, DefaultOnlyAddsNothingEveryOtherRequestOneItem) {
    ClearSettingsKey();
    const struct { UINT flags; UINT added; } cases[] = {
        {CMF_DEFAULTONLY, 0}, {CMF_DEFAULTONLY | CMF_EXPLORE, 0}, {CMF_NORMAL, 1},
        {CMF_VERBSONLY, 1},   {CMF_EXPLORE, 1},                   {CMF_EXTENDEDVERBS | CMF_CANRENAME, 1},
    };
    for (const auto& c : cases) {
        Object object;
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "first");
        AppendMenuA(menu, MF_STRING, 2, "second");
        const HRESULT hr = object->QueryContextMenu(menu, 1, 40, 45, c.flags);
        EXPECT_TRUE(SUCCEEDED(hr)) << c.flags;
        EXPECT_EQ(HRESULT_CODE(hr), static_cast<int>(c.added)) << c.flags;
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(2 + c.added)) << c.flags;
        if (c.added) {
            EXPECT_EQ(GetMenuItemID(menu, 1), 40u) << "the item sits at indexMenu with idCmdFirst";
            EXPECT_EQ(MenuText(menu, 1), LoadResourceString(ExpectedMenuText(false)));
            EXPECT_EQ(MenuText(menu, 2), u"second");
        }
        DestroyMenu(menu);
    }
}

TEST(ContextMenu, TextsFollowTheRegexOptionAtEveryMenu) {
    ClearSettingsKey();
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "a.txt"));
    auto data = ShellDataObject({folder / "a.txt"});
    ASSERT_TRUE(data);
    Object object;
    ASSERT_EQ(object->Initialize(nullptr, data.Get(), nullptr), S_OK);

    for (DWORD regex : {0u, 1u, 0u}) {
        WriteSettingNumber("regexp", regex);
        HMENU menu = CreatePopupMenu();
        object->QueryContextMenu(menu, 0, 1, 10, CMF_NORMAL);
        EXPECT_EQ(MenuText(menu, 0), LoadResourceString(ExpectedMenuText(regex != 0))) << regex;
        DestroyMenu(menu);

        char help[260] = {};
        object->GetCommandString(0, GCS_HELPTEXTA, nullptr, help, sizeof help);
        EXPECT_EQ(std::string(help), A(LoadResourceString(regex ? IDS_HELP_REGEX : IDS_HELP_WILDCARD))) << regex;
    }
    // The four menu texts differ, so the checks above tell them apart.
    EXPECT_NE(LoadResourceString(IDS_MENU_REGEX), LoadResourceString(IDS_MENU_WILDCARD));
    EXPECT_NE(LoadResourceString(IDS_MENU_WILDCARD_7), LoadResourceString(IDS_MENU_WILDCARD));
    ClearSettingsKey();
}

TEST(ContextMenu, HelpTextIsUtf16OnlyWhenAskedForOnNt) {
    Object object;  // a new object shows the wildcard texts
    ASSERT_EQ(LoadResourceString(IDS_HELP_WILDCARD), kWildcardHelp);
    const std::string ansi = WildcardHelpInCodePage();
    ASSERT_EQ(ansi.size(), 2 * std::char_traits<char16_t>::length(kWildcardHelp));

    for (UINT type : {GCS_HELPTEXTW, GCS_VERBW}) {
        wchar_t wide[260];
        std::memset(wide, 0, sizeof wide);
        EXPECT_EQ(object->GetCommandString(0, type, nullptr, reinterpret_cast<char*>(wide), 260), S_OK);
        if (IsNtPlatform())
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(wide)), kWildcardHelp) << type;
        else  // the 9x family gets ANSI whatever it asks for
            EXPECT_EQ(std::string(reinterpret_cast<char*>(wide)), ansi) << type;
    }
    for (UINT type : {GCS_HELPTEXTA, GCS_VERBA}) {
        char text[260] = {};
        EXPECT_EQ(object->GetCommandString(0, type, nullptr, text, sizeof text), S_OK);
        EXPECT_EQ(std::string(text), ansi) << type;
    }
}

TEST(ContextMenu, HelpTextNeverWritesPastTheBuffer) {
    Object object;  // a new object shows the wildcard texts
    const std::string ansi = WildcardHelpInCodePage();  // double-byte characters only
    const std::u16string wide = kWildcardHelp;
    constexpr char kCanary = 0x7E;

    // Another command, no buffer, or no room: nothing is written.
    char untouched[16];
    std::memset(untouched, kCanary, sizeof untouched);
    EXPECT_EQ(object->GetCommandString(1, GCS_HELPTEXTA, nullptr, untouched, sizeof untouched), S_OK);
    EXPECT_EQ(object->GetCommandString(0, GCS_HELPTEXTW, nullptr, untouched, 0), S_OK);
    EXPECT_EQ(object->GetCommandString(0, GCS_VALIDATEW, nullptr, nullptr, 260), S_OK);
    EXPECT_EQ(object->GetCommandString(0, GCS_HELPTEXTA, nullptr, nullptr, 260), S_OK);
    for (char c : untouched) EXPECT_EQ(c, kCanary);

    // An ANSI request on NT with a 10-byte buffer: UTF-16 text would need 20.
    char bytes[32];
    std::memset(bytes, kCanary, sizeof bytes);
    object->GetCommandString(0, GCS_HELPTEXTA, nullptr, bytes, 10);
    EXPECT_EQ(std::string(bytes), ansi.substr(0, 8));
    for (int i = 9; i < 32; ++i) EXPECT_EQ(bytes[i], kCanary) << i;

    // Cut inside cchMax bytes and terminated, never inside a double-byte character:
    // an odd room leaves its last byte unused.
    for (UINT cchMax : {1u, 2u, 3u, 6u, 7u, 8u}) {
        std::memset(bytes, kCanary, sizeof bytes);
        object->GetCommandString(0, GCS_HELPTEXTA, nullptr, bytes, cchMax);
        const size_t kept = (cchMax - 1) / 2 * 2;
        EXPECT_EQ(std::string(bytes), ansi.substr(0, kept)) << cchMax;
        for (size_t i = kept + 1; i < sizeof bytes; ++i) ASSERT_EQ(bytes[i], kCanary) << cchMax << " at " << i;
    }

    // cchMax counts UTF-16 units for a wide request: the text, cut, and its NUL.
    if (IsNtPlatform()) {
        for (UINT cchMax : {1u, 5u}) {
            wchar_t units[16];
            for (wchar_t& u : units) u = 0x7E7E;
            object->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(units), cchMax);
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(units)), wide.substr(0, cchMax - 1)) << cchMax;
            for (UINT i = cchMax; i < 16; ++i) EXPECT_EQ(units[i], 0x7E7E) << cchMax << " at " << i;
        }
    }
}

TEST(ContextMenu, VerbStringsAndOtherOffsetsDoNothing) {
    ClearSettingsKey();
    Object object;
    const LPCSTR verbs[] = {"open", MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(7)};
    for (LPCSTR verb : verbs) {
        ModalRun run([&] {
            CMINVOKECOMMANDINFO info = {};
            info.cbSize = sizeof info;
            info.lpVerb = verb;
            info.nShow = SW_SHOWNORMAL;
            return static_cast<INT_PTR>(object->InvokeCommand(&info));
        });
        EXPECT_TRUE(run.Finish(5000));
        EXPECT_EQ(run.Dialog(0), nullptr) << "nothing is shown";
        EXPECT_EQ(run.Result(), S_OK);
    }
}
