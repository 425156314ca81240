// The words of the main dialog's summary, composed from plain values so that the
// sentences can be checked without a dialog or a string table.
#pragma once
#include <string>

#include "common/types.h"

namespace korvane {

// The string-table pieces the sentences are made of.
struct SummaryStrings {
    std::u16string folder;                 // "フォルダ " (with its trailing space)
    std::u16string andSubfolders;          // "およびサブフォルダ"
    std::u16string located;                // "にある、名前が"
    std::u16string wildcard;               // "ワイルドカード"
    std::u16string regex;                  // "正規表現"
    std::u16string matching;               // " に一致するファイルを" (with its leading space)
    std::u16string copy;                   // "コピー"
    std::u16string move;                   // "移動"
    std::u16string doEnding;               // "します。"
    std::u16string notSelected;            // the middle line of folder mode
    std::u16string subfoldersNotSelected;  // the middle line when subfolders are included
    std::u16string foldersCreated;         // "先に存在しないフォルダは作成されます。"
    std::u16string toClipboard;            // "クリップボードに"
    std::u16string clipboardCopy;          // "コピーし"
    std::u16string clipboardCut;           // "切り取り"
    std::u16string ending;                 // "ます。"
    std::u16string select;                 // "選択状態にします。"
};

// What the dialog's controls and the command's inputs say at the moment.
struct SummaryInputs {
    std::u16string folder;       // display form of the current folder (a bare drive with its backslash)
    bool subfolders = false;     // the subfolder check box, enabled and checked
    bool append = false;         // the append-folder-name check box, enabled and checked
    ActionKind action = kSelectOnly;
    InvocationMode mode = kExtensionMode;
    bool useRegex = false;
    std::u16string pattern;
    std::u16string destination;  // resolved against the current folder; only the folder actions show it
};

// One to three lines separated by a bare line feed.
std::u16string ComposeSummary(const SummaryInputs& in, const SummaryStrings& s);

}  // namespace korvane
