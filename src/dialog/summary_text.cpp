#include "dialog/summary_text.h"

#include "match/path_text.h"

namespace korvane {

namespace {
// A space and the particle に ("to") in code page 932; not in the string table.
const char kToParticle[] = " \x82\xC9";
}  // namespace

std::string ComposeSummary(const SummaryInputs& in, const SummaryStrings& s) {
    std::string text = s.folder + in.folder + " ";
    if (in.subfolders) text += s.andSubfolders;
    text += s.located;
    text += in.useRegex ? s.regex : s.wildcard;
    text += " " + in.pattern + s.matching;

    switch (in.action) {
    case kCopyToFolder:
    case kMoveToFolder: {
        const std::string& verb = in.action == kCopyToFolder ? s.copy : s.move;
        // The destination as OK will use it, except that a drive root (no last
        // component) leaves the typed text alone instead of adding a lone backslash.
        const std::string name = in.append ? LastPathComponent(in.folder) : std::string();
        if (!name.empty())
            text += " " + StripTrailingBackslash(in.destination) + "\\" + name;
        else
            text += " " + in.destination;
        text += kToParticle + verb + s.doEnding;
        if (in.mode == kFolderMode)
            text += "\n" + s.notSelected;
        else if (in.subfolders)
            text += "\n" + s.subfoldersNotSelected;
        text += "\n" + verb + s.foldersCreated;
        break;
    }
    case kCopyToClipboard:
    case kCutToClipboard:
        text += s.toClipboard + (in.action == kCopyToClipboard ? s.clipboardCopy : s.clipboardCut) + s.ending;
        break;
    default:  // select only, also when no action button is checked
        text += s.select;
        break;
    }
    return text;
}

}  // namespace korvane
