// Retrakt.exe: removes the extension's registration, settings and files. It has no
// window of its own; it talks through message boxes and always exits with 0.
#include <windows.h>

#include <string>

#include "os/files.h"
#include "os/message_box.h"
#include "os/platform.h"
#include "retrakt_resource.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_text.h"

namespace korvane {

namespace {

constexpr std::size_t kTextUnits = 512;

std::u16string LoadText(HINSTANCE instance, UINT id) { return LoadModuleString(instance, id, kTextUnits); }

void Uninstall(HINSTANCE instance) {
    const std::u16string caption = LoadText(instance, IDS_RETRAKT_CAPTION);
    if (ShowMessageBox(nullptr, LoadText(instance, IDS_RETRAKT_CONFIRM), caption, MB_YESNO) != IDYES) return;

    // Empty when it does not fit MAX_PATH: a cut path would name another folder's files.
    const std::u16string programPath = ModuleFileName(nullptr);
    // Which files are the product's is known from the registration only: read it
    // before it goes.
    const std::u16string registered = RegisteredLibrary();
    if (RemoveRegistration() == RegistrationRemoval::RightsMissing) {
        ShowMessageBox(GetDesktopWindow(), LoadText(instance, IDS_RETRAKT_NO_RIGHTS), u"Error", MB_OK);
        return;
    }
    if (!programPath.empty()) {
        const bool sameFolder =
            !registered.empty() && SameFolder(ProgramFolder(programPath), ProgramFolder(registered));
        const ProductFiles files = PlanRemoval(programPath, registered, sameFolder);
        if (IsNt())
            RemoveFilesNt(files);
        else
            QueueFilesInWinInit(files);
    }
    ShowMessageBox(GetDesktopWindow(), LoadText(instance, IDS_RETRAKT_DONE), caption, MB_OK);
}

}  // namespace

}  // namespace korvane

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        // Only the exact, case-sensitive argument acts; anything else ends quietly.
        if (korvane::ArgumentText(korvane::CommandLineText()) == u"uninstall") korvane::Uninstall(instance);
    } catch (...) {
    }
    return 0;
}
