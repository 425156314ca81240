#include "retrakt_driver.h"

#include <shlwapi.h>

#include <cstring>
#include <set>

#include "common/module.h"
#include "common/unique_handle.h"
#include "test_support.h"

namespace retrakttest {

namespace {

constexpr char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingValue[] = L"PendingFileRenameOperations";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";

std::string ClassKey() { return std::string("CLSID\\") + korvane::kClassIdText; }

struct BoxSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<BoxSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (pid == search->processId && !std::strcmp(cls, "#32770") && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &ignored);
    return buffer;
}

SeenBox Describe(HWND box) {
    SeenBox seen;
    seen.caption = TextOf(box);
    // The message text is the box's static control 0xFFFF.
    if (HWND text = GetDlgItem(box, 0xFFFF)) seen.text = TextOf(text);
    seen.yes = GetDlgItem(box, IDYES) != nullptr;
    seen.no = GetDlgItem(box, IDNO) != nullptr;
    seen.ok = GetDlgItem(box, IDOK) != nullptr;
    return seen;
}

void SetString(HKEY root, const std::string& key, const char* name, const std::string& value) {
    SHSetValueA(root, key.c_str(), name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetWideString(HKEY root, const std::string& key, const std::u16string& value) {
    SHSetValueW(root, testsupport::W(testsupport::U(key)), nullptr, REG_SZ, value.c_str(),
                static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

}  // namespace

std::wstring Wide(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

ChildRun RunAndAnswer(const std::u16string& program, const std::u16string& arguments, const std::vector<int>& answers,
                      DWORD timeoutMs) {
    ChildRun run;
    std::u16string commandLine = u"\"" + program + u"\"";
    if (!arguments.empty()) commandLine += u" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    for (int attempt = 0; attempt < 3 && !run.started; ++attempt) {
        if (attempt > 0) Sleep(500);
        run.started = CreateProcessW(testsupport::W(program), reinterpret_cast<wchar_t*>(&commandLine[0]), nullptr,
                                     nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) != FALSE;
        if (!run.started) run.startError = GetLastError();
    }
    if (!run.started) return run;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);

    std::set<HWND> answered;
    const DWORD start = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(process.Get(), 30) == WAIT_OBJECT_0) {
            run.exited = true;
            break;
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(process.Get(), 99);
            WaitForSingleObject(process.Get(), 5000);
            break;
        }
        BoxSearch search = {info.dwProcessId, {}};
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.found) {
            if (answered.count(box)) continue;
            // Give the box time to finish WM_INITDIALOG before its texts are read.
            Sleep(100);
            SeenBox seen = Describe(box);
            int answer = run.boxes.size() < answers.size() ? answers[run.boxes.size()] : (seen.no ? IDNO : IDOK);
            run.boxes.push_back(seen);
            answered.insert(box);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
        }
        for (auto it = answered.begin(); it != answered.end();) it = IsWindow(*it) ? std::next(it) : answered.erase(it);
    }
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}

bool KeyExists(HKEY root, const std::string& path) {
    UniqueKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS;
}

void WriteRegistration(const std::u16string& dllPath) {
    const std::string inproc = ClassKey() + "\\InprocServer32";
    SetWideString(HKEY_CLASSES_ROOT, inproc, dllPath);
    SetString(HKEY_CLASSES_ROOT, inproc, "ThreadingModel", "Apartment");
    SetString(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Korvane", nullptr, korvane::kClassIdText);
    SetString(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Korvane", nullptr, korvane::kClassIdText);
    SetString(HKEY_CURRENT_USER, "Software\\Wendlock\\Korvane", "regexp", "1");
    SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Korvane");
    // Neighbours that belong to someone else.
    SetString(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\KorvaneNeighbour", nullptr, "x");
    SetString(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\KorvaneNeighbour", nullptr, "x");
    SetString(HKEY_CURRENT_USER, "Software\\Wendlock\\Neighbour", "v", "x");
}

void ClearRegistration() {
    SHDeleteKeyA(HKEY_CLASSES_ROOT, ClassKey().c_str());
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Korvane");
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Korvane");
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\KorvaneNeighbour");
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\KorvaneNeighbour");
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wendlock\\Korvane");
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wendlock\\Neighbour");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

RegistrationState ReadRegistration() {
    RegistrationState s;
    s.inprocServer = KeyExists(HKEY_CLASSES_ROOT, ClassKey() + "\\InprocServer32");
    s.classKey = KeyExists(HKEY_CLASSES_ROOT, ClassKey());
    s.fileHandler = KeyExists(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Korvane");
    s.folderHandler = KeyExists(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Korvane");
    s.settings = KeyExists(HKEY_CURRENT_USER, "Software\\Wendlock\\Korvane");
    s.uninstallEntry = KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
    s.siblingsIntact = KeyExists(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\KorvaneNeighbour") &&
                       KeyExists(HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\KorvaneNeighbour") &&
                       KeyExists(HKEY_CURRENT_USER, "Software\\Wendlock\\Neighbour") &&
                       KeyExists(HKEY_CLASSES_ROOT, "CLSID") &&
                       KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    return s;
}

namespace {

std::vector<BYTE> ReadPending(bool* present) {
    std::vector<BYTE> data;
    *present = false;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return data;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), kPendingValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return data;
    data.resize(size + 4);
    if (RegQueryValueExW(key.Get(), kPendingValue, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return {};
    data.resize(size);
    *present = true;
    return data;
}

// "source NUL target NUL ... NUL": a delete has an empty target, an empty source ends the list.
std::vector<std::pair<std::u16string, std::u16string>> ParsePairs(const std::vector<BYTE>& data) {
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * sizeof(char16_t));
    size_t i = 0;
    auto next = [&]() {
        size_t end = text.find(u'\0', i);
        if (end == std::u16string::npos) end = text.size();
        std::u16string item = text.substr(i, end - i);
        i = end + 1;
        if (item.compare(0, 4, u"\\??\\") == 0) item.erase(0, 4);
        return item;
    };
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    while (i < text.size()) {
        std::u16string source = next();
        if (source.empty()) break;
        std::u16string target = i < text.size() ? next() : std::u16string();
        pairs.emplace_back(source, target);
    }
    return pairs;
}

}  // namespace

PendingRenames::PendingRenames() { original_ = ReadPending(&hadValue_); }

PendingRenames::~PendingRenames() {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) return;
    if (hadValue_)
        RegSetValueExW(key.Get(), kPendingValue, 0, REG_MULTI_SZ, original_.data(), static_cast<DWORD>(original_.size()));
    else
        RegDeleteValueW(key.Get(), kPendingValue);
}

std::vector<std::pair<std::u16string, std::u16string>> PendingRenames::Added() const {
    bool present = false;
    auto before = ParsePairs(original_);
    auto now = ParsePairs(ReadPending(&present));
    if (now.size() < before.size()) return {};
    return std::vector<std::pair<std::u16string, std::u16string>>(now.begin() + before.size(), now.end());
}

}  // namespace retrakttest
