#include "transfer_driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <map>

#include "match/folder_scan.h"
#include "match/match_name.h"
#include "resources/resource.h"
#include "transfer/progress_dialog.h"
#include "transfer/transfer_engine.h"

namespace transferdriver {

namespace {

DialogDriver* current = nullptr;
WNDPROC progressProc = nullptr;
std::map<HWND, int> pendingClicks;  // held dialogs and the button they get

std::u16string FromUnits(const wchar_t* units) {
    return std::u16string(reinterpret_cast<const char16_t*>(units));
}

void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void CALLBACK HeldClick(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    auto it = pendingClicks.find(dialog);
    if (it == pendingClicks.end()) return;
    if (it->second == 0)
        PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    else
        PostClick(dialog, it->second);
    pendingClicks.erase(it);
}

LRESULT CALLBACK AfterSend(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && current) {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (sent->message == WM_INITDIALOG) current->DialogInitialised(sent->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Installed and called through the W functions: the dialog stays a Unicode window.
LRESULT CALLBACK ProgressSubclass(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(progressProc, dialog, message, wParam, lParam);
    if (message == korvane::WM_TRANSFER_PROGRESS && current)
        current->ProgressHandled(dialog, static_cast<int>(wParam));
    return result;
}

// The list holds no texts: each cell is asked of the dialog (LVN_GETDISPINFOW).
std::u16string ListText(HWND list, int item, int subItem) {
    wchar_t buffer[2048] = {};
    LVITEMW cell = {};
    cell.iSubItem = subItem;
    cell.pszText = buffer;
    cell.cchTextMax = sizeof buffer / sizeof buffer[0];
    SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
    return FromUnits(buffer);
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

FileCallLog* activeLog = nullptr;

std::u16string TextOf(LPCWSTR text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

void Record(const char* function, LPCWSTR path, LPCWSTR second, DWORD flags) {
    if (activeLog) activeLog->calls.push_back({function, TextOf(path), TextOf(second), flags});
}

FARPROC(WINAPI* realGetProcAddress)(HMODULE, LPCSTR) = nullptr;
decltype(&CreateFileW) realCreateFile = nullptr;
decltype(&CopyFileW) realCopyFile = nullptr;
decltype(&MoveFileExW) realMoveFile = nullptr;

HANDLE WINAPI RecordCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile) {
    Record("CreateFileW", name, nullptr, disposition);
    return realCreateFile(name, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI RecordCopyFile(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    Record("CopyFileW", from, to, static_cast<DWORD>(failIfExists));
    return realCopyFile(from, to, failIfExists);
}

BOOL WINAPI RecordMoveFile(LPCWSTR from, LPCWSTR to, DWORD flags) {
    Record("MoveFileExW", from, to, flags);
    return realMoveFile(from, to, flags);
}

template <typename Function>
FARPROC Recorder(FARPROC found, Function& real, Function recorder) {
    real = reinterpret_cast<Function>(found);
    return reinterpret_cast<FARPROC>(recorder);
}

FARPROC WINAPI BindRecorders(HMODULE module, LPCSTR name) {
    const FARPROC found = realGetProcAddress(module, name);
    if (!found || IS_INTRESOURCE(name)) return found;
    if (lstrcmpA(name, "CreateFileW") == 0) return Recorder(found, realCreateFile, &RecordCreateFile);
    if (lstrcmpA(name, "CopyFileW") == 0) return Recorder(found, realCopyFile, &RecordCopyFile);
    if (lstrcmpA(name, "MoveFileExW") == 0) return Recorder(found, realMoveFile, &RecordMoveFile);
    return found;
}

void** ImportSlot(const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; d->Name; ++d) {
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (auto* n = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk); n->u1.AddressOfData;
             ++n, ++slot)
            if (!IMAGE_SNAP_BY_ORDINAL(n->u1.Ordinal) &&
                lstrcmpA(reinterpret_cast<char*>(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + n->u1.AddressOfData)->Name),
                         name) == 0)
                return reinterpret_cast<void**>(&slot->u1.Function);
    }
    return nullptr;
}

// Before main, so that no binding is made before it.
const bool recordersBound = [] {
    void** slot = ImportSlot("GetProcAddress");
    if (!slot) return false;
    realGetProcAddress = reinterpret_cast<decltype(realGetProcAddress)>(*slot);
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = reinterpret_cast<void*>(&BindRecorders);
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}();

}  // namespace

FileCallLog::FileCallLog() : previous_(activeLog) { activeLog = this; }
FileCallLog::~FileCallLog() { activeLog = previous_; }
bool FileCallLog::Available() { return recordersBound; }

bool FileCallLog::Named(const std::u16string& ending) const {
    const auto endsWith = [&](const std::u16string& path) {
        return path.size() >= ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0;
    };
    for (const FileCall& call : calls)
        if (endsWith(call.path) || endsWith(call.second)) return true;
    return false;
}

std::u16string WindowText(HWND window) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(window, buffer, sizeof buffer / sizeof buffer[0]);
    return FromUnits(buffer);
}

DialogDriver::DialogDriver() : previous_(current) {
    // One hook serves every driver; the newest one answers.
    current = this;
    if (!previous_) hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterSend, nullptr, GetCurrentThreadId());
    if (const char* hold = std::getenv("KORVANE_SHOT_HOLD_MS")) holdMs_ = static_cast<DWORD>(std::atoi(hold));
}

DialogDriver::~DialogDriver() {
    if (hook_) UnhookWindowsHookEx(hook_);
    current = previous_;
}

void DialogDriver::Respond(HWND dialog, int buttonId) {
    if (holdMs_) {
        pendingClicks[dialog] = buttonId;
        SetTimer(dialog, 0x4B56, holdMs_, HeldClick);
    } else if (buttonId == 0) {
        PressEscape(dialog);
    } else {
        PostClick(dialog, buttonId);
    }
}

void DialogDriver::PressEscape(HWND dialog) { PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }

void DialogDriver::DialogInitialised(HWND dialog) {
    if (GetDlgItem(dialog, IDC_PROGRESS_BAR)) {
        ++progress.shown;
        progress.owner = GetWindow(dialog, GW_OWNER);
        progress.caption = WindowText(dialog);
        progress.rangeLow = static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, TRUE, 0));
        progress.rangeHigh = static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0));
        run_ = reinterpret_cast<const korvane::ProgressRun*>(GetWindowLongPtrW(dialog, DWLP_USER));
        progressProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgressSubclass)));
    } else if (GetDlgItem(dialog, IDC_OVERWRITE_YES_TO_ALL)) {
        questions.push_back(WindowText(GetDlgItem(dialog, IDC_OVERWRITE_MESSAGE)));
        questionOwners.push_back(GetWindow(dialog, GW_OWNER));
        Answer answer = Answer::kNo;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        switch (answer) {
        case Answer::kYes: Respond(dialog, IDOK); break;
        case Answer::kNo: Respond(dialog, IDCANCEL); break;
        case Answer::kYesToAll: Respond(dialog, IDC_OVERWRITE_YES_TO_ALL); break;
        case Answer::kEscape: Respond(dialog, 0); break;
        }
    } else if (GetDlgItem(dialog, IDC_RESULTS_LIST)) {
        ++results.shown;
        if (run_) {
            progress.stopped = run_->cancelRequested;
            progress.lastDestination = run_->currentDestination;
            run_ = nullptr;
        }
        results.owner = GetWindow(dialog, GW_OWNER);
        results.caption = WindowText(dialog);
        const HWND list = GetDlgItem(dialog, IDC_RESULTS_LIST);
        RECT frame = {};
        GetWindowRect(list, &frame);
        results.listWidth = frame.right - frame.left;
        results.headers.clear();
        results.widths.clear();
        for (int i = 0;; ++i) {
            wchar_t title[256] = {};
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = title;
            column.cchTextMax = sizeof title / sizeof title[0];
            if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) break;
            results.headers.push_back(FromUnits(title));
            results.widths.push_back(column.cx);
        }
        results.rows.clear();
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            results.rows.push_back({ListText(list, i, 0), ListText(list, i, 1), ListText(list, i, 2), ListText(list, i, 3)});
        Respond(dialog, IDOK);
    }
}

void DialogDriver::ProgressHandled(HWND dialog, int step) {
    progress.wasVisible = progress.wasVisible || IsWindowVisible(dialog);
    // The range is set again once the run's own search has found the files.
    progress.rangeLow = static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, TRUE, 0));
    progress.rangeHigh = static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0));
    progress.steps.push_back(
        {step, static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)),
         WindowText(GetDlgItem(dialog, IDC_PROGRESS_TEXT))});
    if (holdMs_ && step == 1) PumpFor(holdMs_);
    if (onProgress) onProgress(step, dialog);
}

Transfer::Transfer(const std::u16string& current, const std::vector<std::u16string>& files,
                   const std::u16string& destination, korvane::ActionKind action, korvane::SameFileAction same) {
    job.action = action;
    job.currentFolder = current;
    job.destinationFolder = destination;
    job.sameFileAction = same;
    job.matches.paths = files;
}

void Transfer::Scan(const std::u16string& pattern, bool subfolders) {
    job.pattern = pattern;
    job.matches = korvane::ScanFolder(job.currentFolder, korvane::PreparedPattern(pattern, 0));
    job.includeSubfolders = subfolders;
}

void Transfer::Run(HWND owner) { returned = korvane::RunTransfer(job, owner); }

std::vector<ResultRow> Transfer::Returned() const {
    std::vector<ResultRow> rows;
    for (const auto& r : returned) {
        const std::u16string& result = r.succeeded                                          ? kSucceeded
                                       : r.reason == korvane::FailureReason::kPathTooLong ? kFailedTooLong
                                                                                          : kFailed;
        rows.push_back({r.sourceFolder, r.destinationFolder, r.fileName, result});
    }
    return rows;
}

}  // namespace transferdriver
