// The registry store of the options and histories. Every failure is silent: a load
// falls back to the defaults, a save that cannot open the key saves nothing.
#include "settings/settings_store.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/unique_handle.h"
#include "os/platform.h"
#include "os/registry.h"
#include "settings/history.h"

namespace korvane {

namespace {

// The per-mode values, each pair indexed by the invocation mode.
constexpr const char* kFlagName[2] = {"flag_ext", "flag_folder"};
constexpr const char* kModeName[2] = {"mode_ext", "mode_folder"};
constexpr const char* kUnderName[2] = {"under_ext", "under_folder"};
constexpr const char* kAddName[2] = {"add_ext", "add_folder"};
constexpr const char* kSameName[2] = {"same_ext", "same_folder"};
constexpr const char* kSameFlagName[2] = {"same_flag_ext", "same_flag_folder"};

// History entries must fit a MAX_PATH buffer with their NUL.
constexpr std::size_t kEntryCapacity = 260;

// "h%d_%d" / "f%d_%d" with the mode and the position.
std::string HistoryValueName(char prefix, InvocationMode m, std::size_t position) {
    char name[32];
    std::snprintf(name, sizeof name, "%c%u_%u", prefix, static_cast<unsigned>(m), static_cast<unsigned>(position));
    return name;
}

// Positions 0 to 9 until the first that cannot be read (missing, or too long for its
// buffer, however it was stored); empty entries are skipped.
std::vector<std::u16string> ReadHistory(HKEY key, char prefix, InvocationMode m) {
    std::vector<std::u16string> history;
    for (std::size_t i = 0; i < kHistoryLimit; ++i) {
        std::u16string entry;
        if (!ReadText(key, HistoryValueName(prefix, m, i).c_str(), kEntryCapacity, entry)) break;
        if (!entry.empty()) history.push_back(std::move(entry));
    }
    return history;
}

// The merged list written from position 0; positions beyond it keep what they hold.
void WriteHistory(HKEY key, char prefix, InvocationMode m, const std::vector<std::u16string>& previous,
                  const std::u16string& used) {
    const std::vector<std::u16string> merged = MergeHistory(previous, used);
    for (std::size_t i = 0; i < merged.size(); ++i) WriteText(key, HistoryValueName(prefix, m, i).c_str(), merged[i]);
}

bool OpenForReading(UniqueKey& key) { return OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_QUERY_VALUE, key); }

bool OpenForWriting(UniqueKey& key) { return CreateKey(HKEY_CURRENT_USER, kSettingsKey, KEY_SET_VALUE, key); }

// Select only is the extension mode's default before Windows 7; from Windows 7 on
// there is no select only, and folder mode never had it.
ActionKind DefaultAction(InvocationMode m) {
    return m == kExtensionMode && !IsWindows7OrLater() ? kSelectOnly : kCopyToFolder;
}

// Modes other than the two are read as extension mode.
InvocationMode Normalized(InvocationMode mode) { return mode == kFolderMode ? kFolderMode : kExtensionMode; }

}  // namespace

void ReloadModeSettings(InvocationMode mode, ModeSettings& settings) {
    const InvocationMode m = Normalized(mode);
    ModeSettings& s = settings;

    UniqueKey key;
    if (!OpenForReading(key)) {
        s.useRegex = 0;
        s.initialAction = DefaultAction(m);
        s.initialPatternSource = 0;
        s.initialIncludeSubfolders = 0;
        s.initialAppendFolderName = 0;
        s.initialSameFileAction = kAskBeforeOverwrite;
        return;  // the histories stay as they are
    }

    if (!ReadNumber(key.Get(), "regexp", s.useRegex)) s.useRegex = 0;

    if (!ReadNumber(key.Get(), kModeName[m], s.initialAction)) {
        s.initialAction = DefaultAction(m);
    } else {
        // A failed read of the last choice leaves 5, which the main dialog shows as no choice.
        if (s.initialAction == kPreviousAction) ReadNumber(key.Get(), kFlagName[m], s.initialAction);
        if (s.initialAction == kSelectOnly && IsWindows7OrLater()) s.initialAction = kCopyToFolder;
    }

    if (!ReadNumber(key.Get(), "select", s.initialPatternSource)) s.initialPatternSource = 0;

    s.patternHistory = ReadHistory(key.Get(), 'h', m);
    s.destinationHistory = ReadHistory(key.Get(), 'f', m);

    if (!ReadNumber(key.Get(), kUnderName[m], s.initialIncludeSubfolders)) s.initialIncludeSubfolders = 0;
    if (!ReadNumber(key.Get(), kAddName[m], s.initialAppendFolderName)) s.initialAppendFolderName = 0;

    if (!ReadNumber(key.Get(), kSameName[m], s.initialSameFileAction)) {
        s.initialSameFileAction = kAskBeforeOverwrite;
    } else if (s.initialSameFileAction == kPreviousSameFileAction) {
        ReadNumber(key.Get(), kSameFlagName[m], s.initialSameFileAction);
    }
}

ModeSettings LoadModeSettings(InvocationMode mode) {
    ModeSettings settings;
    ReloadModeSettings(mode, settings);
    return settings;
}

void SaveChoices(InvocationMode mode, const MainChoices& choices, const ModeSettings& settings) {
    const InvocationMode m = Normalized(mode);

    UniqueKey key;
    if (!OpenForWriting(key)) return;

    WriteNumber(key.Get(), kFlagName[m], choices.action);
    WriteNumber(key.Get(), kSameFlagName[m], choices.sameFileAction);
    WriteHistory(key.Get(), 'h', m, settings.patternHistory, choices.pattern);
    if (choices.action == kCopyToFolder || choices.action == kMoveToFolder)
        WriteHistory(key.Get(), 'f', m, settings.destinationHistory, choices.typedDestination);
}

namespace {

// The nine options of the settings form, in the order they are read and written
// (after "regexp").
struct FormField {
    const char* name;
    std::uint32_t SettingsForm::*field;
};
constexpr FormField kFormFields[] = {
    {"mode_ext", &SettingsForm::extensionAction},    {"select", &SettingsForm::patternSource},
    {"under_ext", &SettingsForm::extensionSubfolders}, {"add_ext", &SettingsForm::extensionAppend},
    {"same_ext", &SettingsForm::extensionSameFile},  {"mode_folder", &SettingsForm::folderAction},
    {"under_folder", &SettingsForm::folderSubfolders}, {"add_folder", &SettingsForm::folderAppend},
    {"same_folder", &SettingsForm::folderSameFile},
};

}  // namespace

void ReadSettingsForm(std::uint32_t& useRegex, SettingsForm& form) {
    useRegex = 0;
    form = SettingsForm();  // select only for extension mode, zero elsewhere

    UniqueKey key;
    if (!OpenForReading(key)) return;

    // Each read on its own; a failed one leaves the preset. The stored choice is
    // shown as it is: no resolution of 5 and 3 and no platform adjustment here.
    ReadNumber(key.Get(), "regexp", useRegex);
    for (const auto& f : kFormFields) ReadNumber(key.Get(), f.name, form.*f.field);
}

void WriteSettingsForm(std::uint32_t useRegex, const SettingsForm& form) {
    UniqueKey key;
    if (!OpenForWriting(key)) return;

    WriteNumber(key.Get(), "regexp", useRegex);
    for (const auto& f : kFormFields) WriteNumber(key.Get(), f.name, form.*f.field);
}

}  // namespace korvane

