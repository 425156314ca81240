// The main dialog: the user states pattern, action, destination and options.
#pragma once
#include <windows.h>

#include <string>

#include "settings/main_choices.h"
#include "settings/settings_store.h"
#include "common/types.h"

namespace korvane {

// What the main dialog starts from.
struct MainDialogInputs {
    InvocationMode mode = kExtensionMode;
    std::u16string currentFolder;
    std::u16string extensionPattern;
    ModeSettings settings;  // reloaded by the dialog when its settings dialog ends with OK
    // Explorer's list view the command will work on (null when there is none): the
    // match count reads its items before Windows 7 in extension mode.
    HWND view = nullptr;
};

// Runs dialog 101 modally; its procedure gets a state of its own (the inputs, a
// copy of their settings, the choices) through the dialog parameter. IDOK with
// choices filled in, or IDCANCEL with choices untouched.
INT_PTR RunMainDialog(HWND owner, const MainDialogInputs& inputs, MainChoices& choices);

// The ActionKind of the checked radio button: 1002, 1001, 1006, 1007 in that order,
// select only (4) when 1005 or none is checked.
ActionKind ReadActionButtons(HWND dialog);

}  // namespace korvane
