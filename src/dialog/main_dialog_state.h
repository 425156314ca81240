// What the main dialog keeps while it runs: the inputs it was started with, the
// settings it shows (reloaded when its settings dialog ends with OK), and where OK
// writes the choices. The summary and the match count read it too.
#pragma once
#include "settings/main_choices.h"
#include "dialog/main_dialog.h"
#include "settings/settings_store.h"

namespace korvane {

struct MainDialogState {
    MainDialogState(const MainDialogInputs& in, MainChoices& out) : inputs(in), settings(in.settings), choices(out) {}
    const MainDialogInputs& inputs;
    ModeSettings settings;
    MainChoices& choices;  // written at OK only
};

}  // namespace korvane
