// Runs Retrakt.exe (or the installer) as a child process and answers its message
// boxes the way a user would; plus the registry and restart-list helpers the
// uninstaller's tests share.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace retrakttest {

struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool yes = false, no = false, ok = false;  // which buttons it offered
};

struct ChildRun {
    bool started = false;
    DWORD startError = 0;  // GetLastError of the last failed start
    bool exited = false;  // false: it was still running at the time limit and was ended
    DWORD exitCode = 0;
    std::vector<SeenBox> boxes;
};

// Starts "<program>" <arguments> and answers each message box of that process in
// turn with the next of `answers` (IDYES, IDNO, IDOK); a box beyond them is
// recorded and answered with No or OK, so that the run always ends. The command
// line goes to the child in UTF-16 (CreateProcessW, which Wine offers whatever
// version it reports): a name the code page cannot hold reaches it intact. A start
// that fails is tried twice more: Wine now and then fails to start a process on a
// loaded machine, and that is not the program's doing.
ChildRun RunAndAnswer(const std::u16string& program, const std::u16string& arguments, const std::vector<int>& answers,
                      DWORD timeoutMs = 30000);

// The registration an installer writes for the library at dllPath: class key with
// InprocServer32, both handler keys, a settings value and the Uninstall entry, each
// with a sibling that must survive the removal. The path is written in UTF-16.
void WriteRegistration(const std::u16string& dllPath);
// Removes all of that again, siblings included.
void ClearRegistration();

struct RegistrationState {
    bool inprocServer, classKey, fileHandler, folderHandler, settings, uninstallEntry;
    bool siblingsIntact;  // the neighbours of every deleted key, and Software\Wendlock itself
};
RegistrationState ReadRegistration();

bool KeyExists(HKEY root, const std::string& path);

// The NT list of files to delete or rename at the next restart, as UTF-16 paths
// without the "\??\" prefix; a delete has an empty target. Restores the list it
// found when destroyed, so that the tests leave no work for the next start.
class PendingRenames {
public:
    PendingRenames();
    ~PendingRenames();
    PendingRenames(const PendingRenames&) = delete;
    PendingRenames& operator=(const PendingRenames&) = delete;
    // Pairs (source, target) added since construction.
    std::vector<std::pair<std::u16string, std::u16string>> Added() const;

private:
    std::vector<BYTE> original_;
    bool hadValue_ = false;
};

// UTF-8 source text as the UTF-16 a message box shows.
std::wstring Wide(const char* utf8);

}  // namespace retrakttest
