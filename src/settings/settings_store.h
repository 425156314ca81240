// The options and histories in HKEY_CURRENT_USER\Software\Wendlock\Korvane: the
// settings of one mode as a command starts with them, the choices it stores at the
// end, and the whole form the settings dialog exchanges.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/main_choices.h"
#include "common/types.h"

namespace korvane {

inline constexpr char kSettingsKey[] = "Software\\Wendlock\\Korvane";

// What a command of one mode starts with: the options resolved (the last choice in
// place of "as last time", no select only from Windows 7 on) and the histories.
struct ModeSettings {
    std::uint32_t useRegex = 0;  // "regexp", shared by both modes
    ActionKind initialAction = kCopyToFolder;
    SameFileAction initialSameFileAction = kAskBeforeOverwrite;
    std::uint32_t initialIncludeSubfolders = 0;
    std::uint32_t initialAppendFolderName = 0;
    std::uint32_t initialPatternSource = 0;  // "select", shared by both modes
    std::vector<std::u16string> patternHistory;
    std::vector<std::u16string> destinationHistory;
};

// Reads the settings of the mode; whatever cannot be read keeps its default.
ModeSettings LoadModeSettings(InvocationMode mode);
// Reads them again into settings, as a command that loaded them before does: when
// the key cannot be opened the options return to their defaults and the histories
// stay as they are.
void ReloadModeSettings(InvocationMode mode, ModeSettings& settings);
// Stores what a command used: the action and the same-name rule as the mode's last
// choices, and the pattern (and, for the folder actions, the typed destination) at
// the head of the mode's histories as settings had them.
void SaveChoices(InvocationMode mode, const MainChoices& choices, const ModeSettings& settings);

// Every option of both modes, in the order the settings dialog exchanges them.
struct SettingsForm {
    std::uint32_t extensionAction = 4;     // "mode_ext"
    std::uint32_t patternSource = 0;       // "select"
    std::uint32_t extensionSubfolders = 0; // "under_ext"
    std::uint32_t extensionAppend = 0;     // "add_ext"
    std::uint32_t extensionSameFile = 0;   // "same_ext"
    std::uint32_t folderAction = 0;        // "mode_folder"
    std::uint32_t folderSubfolders = 0;    // "under_folder"
    std::uint32_t folderAppend = 0;        // "add_folder"
    std::uint32_t folderSameFile = 0;      // "same_folder"
};

// Presets first, then whatever can be read; values are not resolved or adapted here.
void ReadSettingsForm(std::uint32_t& useRegex, SettingsForm& form);
// Writes the ten option values; never the last choices or the histories.
void WriteSettingsForm(std::uint32_t useRegex, const SettingsForm& form);

}  // namespace korvane
