#include "dialog/summary_text.h"

#include "common/path_text.h"

namespace korvane {

namespace {
// A space and the particle に ("to"); not in the string table.
constexpr char16_t kToParticle[] = u" \u306B";
}  // namespace

std::u16string ComposeSummary(const SummaryInputs& in, const SummaryStrings& s) {
    std::u16string text = s.folder + in.folder + u" ";
    if (in.subfolders) text += s.andSubfolders;
    text += s.located;
    text += in.useRegex ? s.regex : s.wildcard;
    text += u" " + in.pattern + s.matching;

    switch (in.action) {
    case kCopyToFolder:
    case kMoveToFolder: {
        const std::u16string& verb = in.action == kCopyToFolder ? s.copy : s.move;
        // The destination as OK will use it, except that a drive root (no last
        // component) leaves the typed text alone instead of adding a lone backslash.
        const std::u16string name = in.append ? LastPathComponent(in.folder) : std::u16string();
        if (!name.empty())
            text += u" " + StripTrailingBackslash(in.destination) + u"\\" + name;
        else
            text += u" " + in.destination;
        text += kToParticle + verb + s.doEnding;
        if (in.mode == kFolderMode)
            text += u"\n" + s.notSelected;
        else if (in.subfolders)
            text += u"\n" + s.subfoldersNotSelected;
        text += u"\n" + verb + s.foldersCreated;
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
