// Placeholder until the registry store lands: the defaults of a fresh object stay.
#include "settings/settings_store.h"
#include "shellext/shell_extension.h"

namespace korvane {

void ShellExtension::LoadSettings() {}
void ShellExtension::SaveChoices() {}

}  // namespace korvane

namespace korvane {

void ReadSettingsForm(std::uint32_t& useRegex, SettingsForm& form) {
    useRegex = 0;
    form = SettingsForm();
}
void WriteSettingsForm(std::uint32_t, const SettingsForm&) {}

}  // namespace korvane
