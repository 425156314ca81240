// The installer round trip: a silent install into the test prefix, the extension
// created through its registration and showing its menu item, Retrakt removing it,
// and the class no longer to be created.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "common/com_ptr.h"
#include "retrakt_driver.h"
#include "common/module.h"
#include "test_support.h"

using namespace retrakttest;
using namespace testsupport;

namespace {

std::string ReadString(HKEY root, const std::string& key, const char* name) {
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (SHGetValueA(root, key.c_str(), name, &type, value, &size) != ERROR_SUCCESS || type != REG_SZ) return "<missing>";
    return value;
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

const std::string kClassKey = std::string("CLSID\\") + korvane::kClassIdText;
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";

}  // namespace

TEST(Installer, InstallCreateUninstallRoundTrip) {
    const std::string setup = ProgramFolder() + "\\Korvane-setup-x64.exe";
    ASSERT_TRUE(FileExists(setup));
    ClearRegistration();
    ClearSettingsKey();
    PendingRenames pending;
    TempFolder temp("in");
    // The folder name holds a blank and a 0x5C trail byte, as user-chosen folders may.
    const std::string folder = temp / ("Korvane " + std::string(kHyo));

    // Silent install; /D= comes last and unquoted.
    ChildRun install = RunAndAnswer(U(setup), U("/S /D=" + folder), {}, 60000);
    ASSERT_TRUE(install.started) << "CreateProcessW failed with error " << install.startError;
    ASSERT_TRUE(install.exited);
    EXPECT_EQ(install.exitCode, 0u);
    EXPECT_TRUE(install.boxes.empty());
    for (const char* name : {"Korvane.dll", "Retrakt.exe", "Korvane.chm"})
        EXPECT_TRUE(FileExists(folder + "\\" + name)) << name;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", nullptr), folder + "\\Korvane.dll");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Korvane", nullptr), korvane::kClassIdText);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Korvane", nullptr),
              korvane::kClassIdText);
    const std::string uninstall = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    EXPECT_EQ(uninstall, "\"" + folder + "\\Retrakt.exe\" uninstall");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Korvane");

    // The class as Explorer creates it: through the registration.
    {
        TempFolder files("im");
        ASSERT_TRUE(WriteTextFile(files / "report.txt"));
        ComPtr<IShellExtInit> init;
        ASSERT_EQ(CoCreateInstance(korvane::CLSID_Korvane, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                   init.PutVoid()),
                  S_OK);
        EXPECT_NE(GetModuleHandleA((folder + "\\Korvane.dll").c_str()), nullptr) << "the installed library serves it";
        auto data = ShellDataObject({files / "report.txt"});
        ASSERT_TRUE(data);
        ASSERT_EQ(init->Initialize(nullptr, data.Get(), nullptr), S_OK);
        ComPtr<IContextMenu> menu;
        ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menu.PutVoid()), S_OK);
        HMENU popup = CreatePopupMenu();
        EXPECT_EQ(menu->QueryContextMenu(popup, 0, 100, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
        ASSERT_EQ(GetMenuItemCount(popup), 1);
        EXPECT_EQ(MenuText(popup, 0), Wide(u8"ワイルドカードで一括コピー(&W)"));
        DestroyMenu(popup);
    }
    CoFreeUnusedLibrariesEx(0, 0);

    // The uninstaller as the system's list of programs starts it.
    const std::string retrakt = folder + "\\Retrakt.exe";
    ChildRun run = RunAndAnswer(U(retrakt), u"uninstall", {IDYES, IDOK});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.boxes[1].text, Wide(u8"アンインストール終了しました。"));

    ComPtr<IUnknown> gone;
    EXPECT_EQ(CoCreateInstance(korvane::CLSID_Korvane, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, gone.PutVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Korvane"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Korvane"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(FileExists(folder + "\\Korvane.dll")) << "unloaded, so deleted at once";
    EXPECT_FALSE(FileExists(folder + "\\Korvane.chm"));
    using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;
    EXPECT_EQ(pending.Added(), (Pairs{{U(retrakt), u""}, {U(folder), u""}}));
}
