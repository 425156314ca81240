#include "test_support.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/unique_handle.h"

namespace testsupport {

namespace {

HGLOBAL MakeDropList(const std::vector<std::string>& paths) {
    size_t total = sizeof(DROPFILES) + 1;
    for (const auto& p : paths) total += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    if (!block) return nullptr;
    auto* bytes = static_cast<char*>(GlobalLock(block));
    auto* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = sizeof(DROPFILES);
    char* at = bytes + sizeof(DROPFILES);
    for (const auto& p : paths) {
        std::memcpy(at, p.c_str(), p.size() + 1);
        at += p.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

// A global block holding exactly these bytes.
HGLOBAL BlockOf(const std::string& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
    if (!block) return nullptr;
    if (!bytes.empty()) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

class FakeDataObject final : public IDataObject {
public:
    FakeDataObject(std::vector<std::string> paths, bool fail) : paths_(std::move(paths)), fail_(fail) {}
    // Answers exactly these bytes, in the given medium.
    FakeDataObject(std::string raw, DWORD tymed) : fail_(false), raw_(std::move(raw)), rawTymed_(tymed), isRaw_(true) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDataObject)) return E_NOINTERFACE;
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (fail_) return DV_E_FORMATETC;
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        if (isRaw_) return GiveRaw(medium);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = MakeDropList(paths_);
        medium->pUnkForRelease = nullptr;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        return !fail_ && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~FakeDataObject() = default;
    // A stream or a file name where global memory was asked for, or a block of the
    // given bytes however malformed.
    HRESULT GiveRaw(STGMEDIUM* medium) {
        *medium = STGMEDIUM();
        medium->tymed = rawTymed_;
        if (rawTymed_ == TYMED_ISTREAM) {
            HGLOBAL block = BlockOf(raw_);
            return CreateStreamOnHGlobal(block, TRUE, &medium->pstm);
        }
        if (rawTymed_ == TYMED_FILE) {
            medium->lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof(L"C:\\x.txt")));
            std::memcpy(medium->lpszFileName, L"C:\\x.txt", sizeof(L"C:\\x.txt"));
            return S_OK;
        }
        medium->hGlobal = BlockOf(raw_);
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    std::vector<std::string> paths_;
    bool fail_;
    std::string raw_;
    DWORD rawTymed_ = TYMED_HGLOBAL;
    bool isRaw_ = false;
    ULONG refs_ = 1;
};

}  // namespace

std::wstring Widen(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

std::u16string U(const std::string& ansi) {
    const std::wstring wide = Widen(ansi);
    return std::u16string(wide.begin(), wide.end());
}

std::vector<std::u16string> U(const std::vector<std::string>& ansi) {
    std::vector<std::u16string> texts;
    for (const auto& a : ansi) texts.push_back(U(a));
    return texts;
}

std::string A(const std::u16string& text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &ansi[0], n, nullptr, nullptr);
    ansi.resize(n > 0 ? n - 1 : 0);
    return ansi;
}

std::vector<std::string> A(const std::vector<std::u16string>& texts) {
    std::vector<std::string> ansi;
    for (const auto& t : texts) ansi.push_back(A(t));
    return ansi;
}

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

namespace {

std::string StripFinalBackslash(std::string path) {
    if (path.size() > 1 && path.back() == '\\') path.pop_back();
    return path;
}

std::u16string ParentOf(const std::u16string& path) {
    const std::size_t at = path.rfind(u'\\');
    return at == std::u16string::npos ? std::u16string() : path.substr(0, at);
}

bool MakeFolderU(const std::u16string& path) {
    for (std::size_t p = path.find(u'\\', 3); p != std::u16string::npos; p = path.find(u'\\', p + 1))
        CreateDirectoryW(W(path.substr(0, p)), nullptr);
    CreateDirectoryW(W(path), nullptr);
    const DWORD attributes = GetFileAttributesW(W(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool WriteFileU(const std::u16string& path, const std::string& content) {
    const std::u16string parent = ParentOf(path);
    if (!parent.empty()) MakeFolderU(parent);
    return WriteWideFile(W(path), content);
}

std::string ReadFileU(const std::u16string& path) {
    UniqueFile file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

bool FileExistsU(const std::u16string& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::u16string> NamesIn(const std::u16string& folder) {
    std::vector<std::u16string> names;
    for (const std::wstring& name : WideNamesIn(W(folder))) names.emplace_back(name.begin(), name.end());
    return names;
}

TempFolder::TempFolder(const std::string& nameHint) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string base = StripFinalBackslash(temp);
    static unsigned counter = 0;
    for (;;) {
        char name[64];
        std::snprintf(name, sizeof name, "\\%s%lu_%u", nameHint.c_str(), GetCurrentProcessId(), counter++);
        path_ = base + name;
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

bool MakeFolder(const std::string& path) { return MakeFolderU(U(path)); }

bool WriteTextFile(const std::string& path, const std::string& content) {
    const std::u16string parent = ParentOf(U(path));
    if (!parent.empty()) MakeFolderU(parent);
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

std::string ReadTextFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

// In UTF-16 throughout: names the ANSI code page cannot hold are removed too.
bool RemoveTreeW(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != 0;
    // A link to a folder is removed as a link, never followed.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW found;
        UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &found));
        if (find) {
            do {
                if (!std::wcscmp(found.cFileName, L".") || !std::wcscmp(found.cFileName, L"..")) continue;
                RemoveTreeW(path + L"\\" + found.cFileName);
            } while (FindNextFileW(find.Get(), &found));
        }
    }
    return RemoveDirectoryW(path.c_str()) != 0;
}

}  // namespace

bool RemoveTree(const std::string& path) { return RemoveTreeW(Widen(path)); }

bool WriteWideFile(const std::wstring& path, const std::string& content) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

std::vector<std::wstring> WideNamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find) return names;
    do {
        if (std::wcscmp(found.cFileName, L".") && std::wcscmp(found.cFileName, L"..")) names.push_back(found.cFileName);
    } while (FindNextFileW(find.Get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const std::size_t at = folder.rfind('\\');
    return at == std::string::npos ? folder : folder.substr(0, at);
}

ComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& paths) {
    std::vector<std::wstring> wide;
    for (const auto& p : paths) wide.push_back(Widen(p));
    return ShellDataObject(wide);
}

ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths) {
    ComPtr<IDataObject> result;
    std::vector<PIDLIST_ABSOLUTE> absolute;
    for (const auto& p : paths) {
        PIDLIST_ABSOLUTE pidl = nullptr;
        if (FAILED(SHParseDisplayName(p.c_str(), nullptr, &pidl, 0, nullptr)) || !pidl) break;
        absolute.push_back(pidl);
    }
    if (absolute.size() == paths.size() && !absolute.empty()) {
        ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD first = nullptr;
        if (SUCCEEDED(SHBindToParent(absolute[0], IID_IShellFolder, parent.PutVoid(), &first))) {
            std::vector<PCUITEMID_CHILD> children;
            for (auto pidl : absolute) children.push_back(ILFindLastID(pidl));
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                  nullptr, result.PutVoid());
        }
    }
    for (auto pidl : absolute) CoTaskMemFree(pidl);
    return result;
}

ComPtr<IDataObject> FakeDropDataObject(const std::vector<std::string>& paths, bool failGetData) {
    auto* object = new FakeDataObject(paths, failGetData);
    return ComPtr<IDataObject>::Attach(object);
}

ComPtr<IDataObject> RawDropDataObject(const std::string& bytes, DWORD tymed) {
    return ComPtr<IDataObject>::Attach(new FakeDataObject(bytes, tymed));
}

LoadedDll::LoadedDll() {
    module_ = LoadLibraryA((ProgramFolder() + "\\Korvane.dll").c_str());
    if (module_) {
        getClassObject_ = reinterpret_cast<GetClassObjectFn>(GetProcAddress(module_, "DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(GetProcAddress(module_, "DllCanUnloadNow"));
    }
}

LoadedDll::~LoadedDll() {
    if (module_) FreeLibrary(module_);
}

HRESULT LoadedDll::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const {
    return getClassObject_ ? getClassObject_(clsid, iid, ppv) : E_FAIL;
}

HRESULT LoadedDll::CanUnloadNow() const { return canUnloadNow_ ? canUnloadNow_() : E_FAIL; }

namespace {
struct DialogSearch {
    HWND found;
    HWND other;
};
BOOL CALLBACK FindDialog(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<DialogSearch*>(lp);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (window != search->other && !std::strcmp(cls, "#32770") && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND WaitForDialog(DWORD threadId, DWORD timeoutMs, HWND other) {
    const DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search = {nullptr, other};
        EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(20);
    }
}

namespace {

BOOL CALLBACK AppendStaticText(HWND child, LPARAM texts) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[1024] = {};
        GetWindowTextA(child, text, sizeof text);
        *reinterpret_cast<std::string*>(texts) += text;
    }
    return TRUE;
}

}  // namespace

std::string RunAndCloseMessageBox(const std::function<void()>& action, DWORD timeoutMs) {
    const DWORD threadId = GetCurrentThreadId();
    std::string texts = "(none)";
    BackgroundThread closer([&] {
        const HWND box = WaitForDialog(threadId, timeoutMs);
        if (!box) return;
        std::string read;
        EnumChildWindows(box, AppendStaticText, reinterpret_cast<LPARAM>(&read));
        texts = read;
        char hold[16] = {};  // KORVANE_SHOT_HOLD_MS=n keeps the box up for screenshots
        if (GetEnvironmentVariableA("KORVANE_SHOT_HOLD_MS", hold, sizeof hold)) Sleep(std::atoi(hold));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    action();
    closer.Join(timeoutMs + 5000);
    return texts;
}

BackgroundThread::BackgroundThread(std::function<void()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BackgroundThread::~BackgroundThread() {
    Join();
    if (thread_) CloseHandle(thread_);
}

bool BackgroundThread::Join(DWORD timeoutMs) {
    return !thread_ || WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI BackgroundThread::Run(LPVOID self) {
    static_cast<BackgroundThread*>(self)->body_();
    return 0;
}

void ClearSettingsKey() { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wendlock\\Korvane"); }

bool IsNtPlatform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace testsupport
