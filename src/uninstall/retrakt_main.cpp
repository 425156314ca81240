// Retrakt.exe: removes the extension's registration, settings and files. It has no
// window of its own; it talks through message boxes and always exits with 0.
#include <windows.h>

#include <string>

#include "match/system_code_page.h"
#include "retrakt_resource.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_text.h"

namespace korvane {

namespace {

std::string LoadText(HINSTANCE instance, UINT id) {
    char buffer[512] = {};
    int length = LoadStringA(instance, id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

bool IsNt() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The program's own path; empty when it does not fit into MAX_PATH, since a cut
// path would name another folder's files.
std::string OwnPath() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(buffer, length);
}

void Uninstall(HINSTANCE instance) {
    const std::string caption = LoadText(instance, IDS_RETRAKT_CAPTION);
    if (MessageBoxA(nullptr, LoadText(instance, IDS_RETRAKT_CONFIRM).c_str(), caption.c_str(), MB_YESNO) != IDYES)
        return;

    const std::string programPath = OwnPath();
    const bool nt = IsNt();
    // Which files are the product's is known from the registration only: read it
    // before it goes.
    const std::string registered = RegisteredLibrary();
    if (RemoveRegistration() == RegistrationRemoval::RightsMissing) {
        MessageBoxA(GetDesktopWindow(), LoadText(instance, IDS_RETRAKT_NO_RIGHTS).c_str(), "Error", MB_OK);
        return;
    }
    if (!programPath.empty()) {
        const bool sameFolder =
            !registered.empty() && SameFolder(ProgramFolder(programPath), ProgramFolder(registered));
        const ProductFiles files = PlanRemoval(programPath, registered, sameFolder);
        if (nt)
            RemoveFilesNt(files);
        else
            QueueFilesInWinInit(files);
    }
    MessageBoxA(GetDesktopWindow(), LoadText(instance, IDS_RETRAKT_DONE).c_str(), caption.c_str(), MB_OK);
}

}  // namespace

}  // namespace korvane

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        korvane::UseSystemLeadBytes();
        // Only the exact, case-sensitive argument acts; anything else ends quietly.
        if (lstrcmpA(korvane::ArgumentText(GetCommandLineA()).c_str(), "uninstall") == 0) korvane::Uninstall(instance);
    } catch (...) {
    }
    return 0;
}
