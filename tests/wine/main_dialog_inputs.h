// The main dialog as its suites run it: inputs with the settings' defaults (copy to
// a folder, nothing checked, ask) and given histories, run on a thread of its own.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "dialog/main_dialog.h"
#include "modal_run.h"
#include "test_support.h"

namespace commandtest {

using List = std::vector<std::string>;

inline korvane::MainDialogInputs DialogInputs(korvane::InvocationMode mode, const std::string& folder,
                                              List patterns, List destinations) {
    korvane::MainDialogInputs inputs;
    inputs.mode = mode;
    inputs.currentFolder = testsupport::U(folder);
    inputs.extensionPattern = u"*.txt";
    inputs.settings.patternHistory = testsupport::U(patterns);
    inputs.settings.destinationHistory = testsupport::U(destinations);
    return inputs;
}

struct DialogValues {
    korvane::MainDialogInputs inputs;
    korvane::MainChoices choices;
};

// The dialog for the inputs; choices start as sentinels that OK overwrites and
// Cancel must leave. The values are built before the thread starts (base order).
class MainDialogRun : public DialogValues, public ModalRun {
public:
    explicit MainDialogRun(korvane::MainDialogInputs in)
        : DialogValues{std::move(in), Sentinels()},
          ModalRun([this] { return korvane::RunMainDialog(nullptr, inputs, choices); }) {}

private:
    static korvane::MainChoices Sentinels() {
        korvane::MainChoices c;
        c.action = korvane::kCutToClipboard;
        c.pattern = c.typedDestination = c.destinationFolder = u"unchanged";
        return c;
    }
};

}  // namespace commandtest
