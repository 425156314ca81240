#include "modal_run.h"

#include <vector>

#include "common/unique_handle.h"
#include "test_support.h"

namespace commandtest {

namespace {
constexpr char kKey[] = "Software\\Wendlock\\Korvane";
}

ModalRun::ModalRun(std::function<INT_PTR()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
}

DWORD WINAPI ModalRun::Run(LPVOID self) {
    auto* run = static_cast<ModalRun*>(self);
    run->result_ = run->body_();
    return 0;
}

HWND ModalRun::Dialog(DWORD timeoutMs, HWND other) const {
    return testsupport::WaitForDialog(threadId_, timeoutMs, other);
}

bool ModalRun::Finish(DWORD timeoutMs) {
    return !thread_ || WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

ModalRun::~ModalRun() {
    if (!thread_) return;
    // A failed assertion may leave dialogs open: close them, innermost first.
    for (int round = 0; round < 50 && WaitForSingleObject(thread_, 0) != WAIT_OBJECT_0; ++round) {
        if (HWND open = testsupport::WaitForDialog(threadId_, 100)) {
            PostMessageA(open, WM_COMMAND, round % 2 ? IDOK : IDCANCEL, 0);
        }
        WaitForSingleObject(thread_, 100);
    }
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
}

void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

void TypeInto(HWND dialog, int id, const std::u16string& text) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(testsupport::W(text)));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::u16string WindowTextU(HWND window) {
    wchar_t text[1024] = {};
    const int length = GetWindowTextW(window, text, 1024);
    return std::u16string(reinterpret_cast<const char16_t*>(text), length > 0 ? static_cast<size_t>(length) : 0);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

namespace {
BOOL CALLBACK CollectStatic(HWND window, LPARAM texts) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (!lstrcmpiA(className, "Static")) reinterpret_cast<std::vector<HWND>*>(texts)->push_back(window);
    return TRUE;
}
std::vector<HWND> StaticsOf(HWND window) {
    std::vector<HWND> statics;
    EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&statics));
    return statics;
}
}  // namespace

bool HasStaticText(HWND window, const std::string& text) {
    for (HWND s : StaticsOf(window))
        if (WindowText(s) == text) return true;
    return false;
}

bool HasStaticText(HWND window, const std::u16string& text) {
    for (HWND s : StaticsOf(window))
        if (WindowTextU(s) == text) return true;
    return false;
}

bool ReadSettingString(const char* name, std::string& value) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return false;
    value = data;
    return type == REG_SZ;
}

bool ReadSettingText(const char* name, std::u16string& value) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key.Get(), testsupport::Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS)
        return false;
    value = reinterpret_cast<const char16_t*>(data);
    return type == REG_SZ;
}

bool ReadSettingNumber(const char* name, DWORD& value) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    DWORD size = sizeof value, type = 0;
    return RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
}

void WriteSettingNumber(const char* name, DWORD value) {
    UniqueKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace commandtest
