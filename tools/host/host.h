// korvane_host: a small stand-in for Explorer that runs the extension. A window
// with a report-style "SysListView32" of one folder's files; a right-click builds a
// real context menu through the extension's QueryContextMenu with the shell's own
// data object of the selected items, and the chosen item runs InvokeCommand.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace host {

// Text of the host's own: UTF-8 literals in, the ANSI code page out (and back).
std::string Ansi(const char* utf8);
std::string Utf8(const std::string& ansi);
// One line on standard output, ANSI text printed as UTF-8.
void Print(const std::string& ansi);

// Asks the window to open the context menu for one item, as a right-click does.
inline constexpr UINT kOpenMenuMessage = WM_APP + 1;  // wParam: item index
// Posted by the window when a command has returned.
inline constexpr UINT kCommandDoneMessage = WM_APP + 2;

struct HostState {
    std::string folder;               // the folder listed, without a trailing backslash
    std::string dllPath;              // the extension loaded directly from here
    HWND frame = nullptr;
    HWND view = nullptr;
    HWND status = nullptr;
    bool demo = false;                // a missed menu still runs the command
    HANDLE commandDone = nullptr;     // set when a command (or a menu without one) has ended
    IContextMenu* activeMenu = nullptr;  // the extension's menu while it is shown
    UINT firstId = 0, added = 0;
};

// The window and its list view.
HWND CreateHostWindow(HostState& state);
void FillView(HostState& state);
std::vector<std::string> SelectedNames(const HostState& state);
int FindItem(const HostState& state, const std::string& name);

// The extension's menu for the named items of the folder, shown at a screen point.
void RunExtensionMenu(HostState& state, const std::vector<std::string>& names, POINT at);

// Full paths of the shell's data object for items of one folder.
IDataObject* ShellDataObject(const std::string& folder, const std::vector<std::string>& names);

// Screenshots: the window's screen area as a PNG file.
bool SaveWindowPng(HWND window, const std::string& path);
bool SaveScreenPng(const RECT& area, const std::string& path);

// The scripted run: a second thread drives one whole command per step through the
// window's menu and the extension's dialogs, saves screenshots into outDir, prints
// what was matched and done, and closes the window at the end.
struct DemoResult {
    int passed = 0;
    int failed = 0;
};
void StartDemo(HostState& state, const std::string& outDir);
DemoResult FinishDemo();  // waits for the driving thread

}  // namespace host
