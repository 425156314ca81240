// The words of the main dialog's summary, composed from plain values so that the
// sentences can be checked without a dialog or a string table.
#pragma once
#include <string>

#include "common/types.h"

namespace korvane {

// The string-table pieces the sentences are made of, in the running code page.
struct SummaryStrings {
    std::string folder;                  // "フォルダ " (with its trailing space)
    std::string andSubfolders;           // "およびサブフォルダ"
    std::string located;                 // "にある、名前が"
    std::string wildcard;                // "ワイルドカード"
    std::string regex;                   // "正規表現"
    std::string matching;                // " に一致するファイルを" (with its leading space)
    std::string copy;                    // "コピー"
    std::string move;                    // "移動"
    std::string doEnding;                // "します。"
    std::string notSelected;             // the middle line of folder mode
    std::string subfoldersNotSelected;   // the middle line when subfolders are included
    std::string foldersCreated;          // "先に存在しないフォルダは作成されます。"
    std::string toClipboard;             // "クリップボードに"
    std::string clipboardCopy;           // "コピーし"
    std::string clipboardCut;            // "切り取り"
    std::string ending;                  // "ます。"
    std::string select;                  // "選択状態にします。"
};

// What the dialog's controls and the command's inputs say at the moment.
struct SummaryInputs {
    std::string folder;       // display form of the current folder (a bare drive with its backslash)
    bool subfolders = false;  // the subfolder check box, enabled and checked
    bool append = false;      // the append-folder-name check box, enabled and checked
    ActionKind action = kSelectOnly;
    InvocationMode mode = kExtensionMode;
    bool useRegex = false;
    std::string pattern;
    std::string destination;  // resolved against the current folder; only the folder actions show it
};

// One to three lines separated by a bare line feed.
std::string ComposeSummary(const SummaryInputs& in, const SummaryStrings& s);

}  // namespace korvane
