// Helpers shared by the Windows tests: temporary folders on disk, shell data
// objects for real paths, a data object of our own for the failure cases, the
// built DLL, waiting for dialogs, and the settings key.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "shellext/shell_extension.h"

namespace testsupport {

// A new ShellExtension held for the scope of a test.
struct ExtensionRef {
    korvane::ShellExtension* p = korvane::ShellExtension::New();
    ExtensionRef() = default;
    ExtensionRef(const ExtensionRef&) = delete;
    ExtensionRef& operator=(const ExtensionRef&) = delete;
    ~ExtensionRef() {
        if (p) p->Release();
    }
    korvane::ShellExtension* operator->() const { return p; }
    korvane::ShellExtension& operator*() const { return *p; }
};

// The product's text is UTF-16; the tests name their ANSI paths in the code page.
std::u16string U(const std::string& ansi);               // from the ANSI code page
std::vector<std::u16string> U(const std::vector<std::string>& ansi);
std::string A(const std::u16string& text);               // to it, '?' for what it lacks
std::vector<std::string> A(const std::vector<std::u16string>& texts);
const wchar_t* W(const std::u16string& text);            // for the tests' own W calls

// A fresh folder under %TEMP%, removed with everything in it when destroyed.
class TempFolder {
public:
    explicit TempFolder(const std::string& nameHint = "kv");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::u16string PathU() const { return U(path_); }
    // Path + "\" + relative.
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }
    std::u16string operator/(const std::u16string& relative) const { return PathU() + u"\\" + relative; }
    std::u16string operator/(const char16_t* relative) const { return *this / std::u16string(relative); }

private:
    std::string path_;
};

// Creates a file (and the folders above it) holding the given bytes.
bool WriteTextFile(const std::string& path, const std::string& content = "x");
bool MakeFolder(const std::string& path);  // with every missing level
bool RemoveTree(const std::string& path);
bool FileExists(const std::string& path);
std::string ReadTextFile(const std::string& path);

// Names the ANSI code page cannot hold (café.txt in code page 932, snow☃.txt
// anywhere) can only be made, read and listed in UTF-16.
std::wstring Widen(const std::string& text);  // from the ANSI code page
bool WriteWideFile(const std::wstring& path, const std::string& content = "x");
std::vector<std::wstring> WideNamesIn(const std::wstring& folder);  // sorted, without . and ..

// The same file helpers for UTF-16 paths.
bool WriteFileU(const std::u16string& path, const std::string& content = "x");  // folders above made too
std::string ReadFileU(const std::u16string& path);
bool FileExistsU(const std::u16string& path);
std::vector<std::u16string> NamesIn(const std::u16string& folder);  // sorted, without . and ..

// Folder of the running test program (where the built DLL and programs lie).
std::string ProgramFolder();

// The shell's own data object for items that all lie in one folder (or for one
// drive root), as Explorer hands it to a context-menu handler.
ComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& paths);
ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths);

// A data object of the test's own: GetData answers CF_HDROP with an ANSI drop list of
// the given paths, or fails when failGetData is set.
ComPtr<IDataObject> FakeDropDataObject(const std::vector<std::string>& paths, bool failGetData = false);
// One that answers exactly these bytes, in this medium (a hostile or broken one).
ComPtr<IDataObject> RawDropDataObject(const std::string& bytes, DWORD tymed = TYMED_HGLOBAL);

// The built Korvane.dll, loaded through LoadLibraryA.
class LoadedDll {
public:
    LoadedDll();
    ~LoadedDll();
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;
    HMODULE Module() const { return module_; }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const;
    HRESULT CanUnloadNow() const;

private:
    HMODULE module_ = nullptr;
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

// A top-level dialog (class #32770) owned by the given thread, waited for up to timeoutMs.
HWND WaitForDialog(DWORD threadId, DWORD timeoutMs = 10000, HWND other = nullptr);
// Runs body on a second thread while the calling thread runs modal; the thread is
// joined (with a time limit) before returning.
class BackgroundThread {
public:
    explicit BackgroundThread(std::function<void()> body);
    ~BackgroundThread();
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;
    bool Join(DWORD timeoutMs = 30000);

private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<void()> body_;
    HANDLE thread_ = nullptr;
};

// Runs action on the calling thread while a second thread waits up to timeoutMs
// for a dialog of this thread (a message box), reads its static texts and closes it
// with OK. Answers those texts, or "(none)" when no dialog showed.
std::string RunAndCloseMessageBox(const std::function<void()>& action, DWORD timeoutMs = 10000);

// Deletes HKCU\Software\Wendlock\Korvane with everything below it.
void ClearSettingsKey();

// The Windows version as the running process sees it.
bool IsNtPlatform();

// Shift-JIS bytes of some names used across the tests.
inline const char kHyo[] = "\x95\x5C";  // 表: second byte 0x5C
inline const char kSo[] = "\x83\x5C";   // ソ: second byte 0x5C
inline const char kRu[] = "\x83\x8B";   // ル: second byte in the lead-byte range

}  // namespace testsupport
