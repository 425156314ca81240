// The options and histories in HKEY_CURRENT_USER\Software\Wendlock\Korvane.
// The per-invocation face (LoadSettings, SaveChoices) is a member of ShellExtension;
// the whole-form face below serves the settings dialog.
#pragma once
#include <cstdint>

namespace korvane {

inline constexpr char kSettingsKey[] = "Software\\Wendlock\\Korvane";

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
