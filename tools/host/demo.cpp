// The scripted run: from a second thread, right-click an item through the window,
// choose the extension's item in the real popup menu, fill in the main dialog by
// control id, confirm, and screenshot every dialog the command shows.
#include "host.h"

#include <shellapi.h>

#include <cstdio>
#include <set>

#include "common/unique_handle.h"
#include "resources/resource.h"

namespace host {

namespace {

struct Step {
    std::string title;
    std::string item;         // the item right-clicked
    std::string pattern;
    int action;               // the action button's control id
    std::string destination;  // typed when not empty
    bool subfolders;
    bool confirm;             // OK, or Cancel
    std::string listFolder;   // listed after the command when not empty
};

struct Run {
    HostState* state = nullptr;
    std::string out;
    std::vector<Step> steps;
    HANDLE thread = nullptr;
    DWORD uiThread = 0;
    DemoResult result;
    int shots = 0;
} run;

struct Search {
    const char* className;
    const std::set<HWND>* skip;
    HWND found;
};

BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (!lstrcmpA(name, search->className) && IsWindowVisible(window) &&
        (!search->skip || !search->skip->count(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(const char* className, const std::set<HWND>* skip, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Search search = {className, skip, nullptr};
        EnumThreadWindows(run.uiThread, FindWindowOfClass, reinterpret_cast<LPARAM>(&search));
        // Popup menus belong to the desktop's class list; look among the top-level windows too.
        if (!search.found) EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start > timeoutMs) return search.found;
        Sleep(20);
    }
}

// delayMs lets the window paint first; a transient window is taken at once.
bool Shot(const RECT& area, const std::string& name, DWORD delayMs = 300) {
    Sleep(delayMs);
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d-", run.shots + 1);
    const std::string path = run.out + "\\" + prefix + name + ".png";
    if (!SaveScreenPng(area, path)) {
        Print("screenshot FAILED: " + path);
        return false;
    }
    ++run.shots;
    Print("screenshot: " + path);
    return true;
}

void Shot(HWND window, const std::string& name, DWORD delayMs = 300) {
    RECT r = {};
    GetWindowRect(window, &r);
    Shot(r, name, delayMs);
}

void Type(HWND dialog, int id, const std::string& text) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The dialog's match count once it has its final figure ("一致 N 件", not the running
// "一致 N 件…"), so that the screenshot shows it.
void ReportMatchCount(HWND dialog) {
    const std::string final = Ansi(u8"件");
    std::string shown;
    for (int i = 0; i < 250; ++i) {
        char text[128] = {};
        GetDlgItemTextA(dialog, IDC_MAIN_MATCH_COUNT, text, sizeof text);
        shown = text;
        if (shown.size() > final.size() && shown.compare(shown.size() - final.size(), final.size(), final) == 0) break;
        Sleep(20);
    }
    Print("  match count: " + (shown.empty() ? std::string("(none)") : shown));
}

void ListFolder(const std::string& folder, const std::string& prefix, int& count) {
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFolder(folder + "\\" + name, prefix + name + "\\", count);
        } else {
            Print("    " + prefix + name);
            ++count;
        }
    } while (FindNextFileA(find.Get(), &found));
}

void ReportClipboard() {
    if (!OpenClipboard(nullptr)) return;
    if (HANDLE drop = GetClipboardData(CF_HDROP)) {
        const UINT count = DragQueryFileA(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0);
        std::string effect = "?";
        if (HANDLE e = GetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"))) {
            GlobalLockGuard lock(e);
            if (const auto* value = static_cast<const DWORD*>(lock.Data()))
                effect = *value == DROPEFFECT_MOVE ? "cut" : *value == DROPEFFECT_COPY ? "copy" : "other";
        }
        Print("  clipboard (" + effect + "): " + std::to_string(count) + " file(s)");
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH] = {};
            DragQueryFileA(static_cast<HDROP>(drop), i, path, MAX_PATH);
            Print(std::string("    ") + path);
        }
    } else {
        Print("  clipboard: no file list");
    }
    CloseClipboard();
}

void Report(const Step& step) {
    const std::vector<std::string> selected = SelectedNames(*run.state);
    Print("  selected in the list view: " + std::to_string(selected.size()));
    for (const std::string& name : selected) Print("    " + name);
    ReportClipboard();
    if (!step.listFolder.empty()) {
        int count = 0;
        Print("  files in " + step.listFolder + ":");
        ListFolder(step.listFolder, "", count);
        if (!count) Print("    (none)");
    }
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// The popup menu: screenshot it with the window, then choose its first item
// (the extension's) with the keyboard, as a user would.
void ChooseMenuItem() {
    HWND popup = WaitForWindow("#32768", nullptr, 5000);
    if (!popup) return;
    RECT frame = {}, menu = {}, both = {};
    GetWindowRect(run.state->frame, &frame);
    GetWindowRect(popup, &menu);
    UnionRect(&both, &frame, &menu);
    PostMessageA(run.state->frame, WM_KEYDOWN, VK_DOWN, 0);  // highlights the item: the status bar shows its help
    Shot(both, "context-menu");
    PostMessageA(run.state->frame, WM_KEYDOWN, VK_RETURN, 0);
    for (int i = 0; i < 150 && IsWindowVisible(popup); ++i) Sleep(20);
    if (IsWindowVisible(popup)) PostMessageA(popup, WM_CANCELMODE, 0, 0);
}

bool RunStep(const Step& step) {
    Print("== " + step.title);
    const int index = FindItem(*run.state, step.item);
    if (index < 0) {
        Print("  no item " + step.item);
        return false;
    }
    EmptyTheClipboard();
    ResetEvent(run.state->commandDone);
    PostMessageA(run.state->frame, kOpenMenuMessage, static_cast<WPARAM>(index), 0);
    ChooseMenuItem();

    std::set<HWND> seen;
    HWND dialog = WaitForWindow("#32770", nullptr, 10000);
    if (!dialog || !GetDlgItem(dialog, IDC_MAIN_PATTERN)) {
        Print("  the main dialog did not appear");
        WaitForSingleObject(run.state->commandDone, 10000);
        return false;
    }
    seen.insert(dialog);
    Shot(dialog, "main-dialog");
    if (!step.pattern.empty()) Type(dialog, IDC_MAIN_PATTERN, step.pattern);
    SendMessageA(GetDlgItem(dialog, step.action), BM_CLICK, 0, 0);
    if (!step.destination.empty()) Type(dialog, IDC_MAIN_DESTINATION, step.destination);
    if (step.subfolders && IsDlgButtonChecked(dialog, IDC_MAIN_SUBFOLDERS) != BST_CHECKED)
        SendMessageA(GetDlgItem(dialog, IDC_MAIN_SUBFOLDERS), BM_CLICK, 0, 0);
    ReportMatchCount(dialog);
    Shot(dialog, "main-dialog-filled");
    PostMessageA(dialog, WM_COMMAND, step.confirm ? IDOK : IDCANCEL, 0);

    // Whatever the action shows: screenshot once, answer the questions, close the results.
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(run.state->commandDone, 50) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > 60000) {
            Print("  the command did not end within a minute");
            return false;
        }
        HWND shown = WaitForWindow("#32770", &seen, 0);
        if (!shown) continue;
        seen.insert(shown);
        const bool results = GetDlgItem(shown, IDC_RESULTS_LIST) != nullptr;
        const bool question = GetDlgItem(shown, IDC_OVERWRITE_YES_TO_ALL) != nullptr;
        const bool progress = GetDlgItem(shown, IDC_PROGRESS_BAR) != nullptr;
        Shot(shown, results ? "results" : question ? "overwrite-question" : progress ? "progress" : "dialog",
             progress ? 0 : 300);
        if (results) PostMessageA(shown, WM_COMMAND, IDOK, 0);
        if (question) PostMessageA(shown, WM_COMMAND, IDC_OVERWRITE_YES_TO_ALL, 0);
        if (!results && !question && !progress) PostMessageA(shown, WM_COMMAND, IDOK, 0);  // a message box
    }
    Report(step);
    Shot(run.state->frame, "host-after");
    return true;
}

DWORD WINAPI Drive(LPVOID) {
    Sleep(500);  // the window's first paint
    Shot(run.state->frame, "host");
    for (const Step& step : run.steps) {
        if (RunStep(step))
            ++run.result.passed;
        else
            ++run.result.failed;
    }
    PostMessageA(run.state->frame, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

void StartDemo(HostState& state, const std::string& outDir) {
    run.state = &state;
    run.out = outDir;
    run.uiThread = GetCurrentThreadId();
    const std::string documents = Ansi(u8"資料");
    run.steps = {
        {"extension mode: *.txt copied to the clipboard", "memo.txt", "*.txt", IDC_MAIN_COPY_TO_CLIPBOARD, "", false,
         true, ""},
        {"extension mode: *.txt copied to a folder, subfolders included", "memo.txt", "*.txt", IDC_MAIN_COPY_TO_FOLDER,
         outDir + "\\copied", true, true, outDir + "\\copied"},
        {"folder mode: *.doc of a subfolder moved to a folder", documents, "*.doc", IDC_MAIN_MOVE_TO_FOLDER,
         outDir + "\\moved", false, true, outDir + "\\moved"},
    };
    run.thread = CreateThread(nullptr, 0, Drive, nullptr, 0, nullptr);
}

DemoResult FinishDemo() {
    if (run.thread) {
        WaitForSingleObject(run.thread, 30000);
        CloseHandle(run.thread);
        run.thread = nullptr;
    }
    return run.result;
}

}  // namespace host
