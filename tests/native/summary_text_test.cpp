// The summary sentences, compared unit for unit.
#include <gtest/gtest.h>

#include <string>

#include "dialog/summary_text.h"

using namespace korvane;

namespace {

const SummaryStrings& Strings() {
    static const SummaryStrings s = {
        u"フォルダ ", u"およびサブフォルダ", u"にある、名前が", u"ワイルドカード", u"正規表現",
        u" に一致するファイルを", u"コピー", u"移動", u"します。",
        u"ファイルを選択状態にはしません。", u"サブフォルダのファイルは選択状態にはなりません。",
        u"先に存在しないフォルダは作成されます。", u"クリップボードに", u"コピーし", u"切り取り",
        u"ます。", u"選択状態にします。",
    };
    return s;
}

struct Case {
    const char* what;
    SummaryInputs in;
    const char16_t* want;
};

void Check(const Case& c) { EXPECT_EQ(ComposeSummary(c.in, Strings()), c.want) << c.what; }

}  // namespace

// Inputs: folder, subfolders, append, action, mode, regex, pattern, destination.
TEST(SummaryText, WorkedExamples) {
    const Case cases[] = {
        {"copy, extension mode, wildcard",
         {u"E:\\data", false, false, kCopyToFolder, kExtensionMode, false, u"*.txt", u"D:\\backup"},
         u"フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルを D:\\backup にコピーします。\n"
         u"コピー先に存在しないフォルダは作成されます。"},
        {"move, folder mode, regex, both boxes; the destination's backslash is not doubled",
         {u"E:\\data", true, true, kMoveToFolder, kFolderMode, true, u"^report", u"D:\\archive\\"},
         u"フォルダ E:\\data およびサブフォルダにある、名前が正規表現 ^report に一致するファイルを D:\\archive\\data に移動します。\n"
         u"ファイルを選択状態にはしません。\n"
         u"移動先に存在しないフォルダは作成されます。"},
        {"cut to clipboard",
         {u"E:\\pics", false, false, kCutToClipboard, kExtensionMode, false, u"*.jpg", u""},
         u"フォルダ E:\\pics にある、名前がワイルドカード *.jpg に一致するファイルをクリップボードに切り取ります。"},
        {"select only",
         {u"E:\\pics", false, false, kSelectOnly, kExtensionMode, false, u"*.jpg", u""},
         u"フォルダ E:\\pics にある、名前がワイルドカード *.jpg に一致するファイルを選択状態にします。"},
    };
    for (const auto& c : cases) Check(c);
}

TEST(SummaryText, EdgeCases) {
    const Case cases[] = {
        {"extension mode with subfolders: the middle line says they are not selected",
         {u"E:\\data", true, false, kCopyToFolder, kExtensionMode, false, u"*", u"D:\\b"},
         u"フォルダ E:\\data およびサブフォルダにある、名前がワイルドカード * に一致するファイルを D:\\b にコピーします。\n"
         u"サブフォルダのファイルは選択状態にはなりません。\n"
         u"コピー先に存在しないフォルダは作成されます。"},
        {"folder mode has its middle line without subfolders too",
         {u"E:\\data", false, false, kCopyToFolder, kFolderMode, false, u"*", u"D:\\b"},
         u"フォルダ E:\\data にある、名前がワイルドカード * に一致するファイルを D:\\b にコピーします。\n"
         u"ファイルを選択状態にはしません。\n"
         u"コピー先に存在しないフォルダは作成されます。"},
        {"copy to clipboard: one line",
         {u"E:\\data", false, false, kCopyToClipboard, kExtensionMode, true, u"a+", u"D:\\b"},
         u"フォルダ E:\\data にある、名前が正規表現 a+ に一致するファイルをクリップボードにコピーします。"},
        {"an action out of range reads as select only",
         {u"E:\\data", false, false, kPreviousAction, kExtensionMode, false, u"*", u"D:\\b"},
         u"フォルダ E:\\data にある、名前がワイルドカード * に一致するファイルを選択状態にします。"},
        {"a drive root keeps its backslash and the space after it; append leaves the destination",
         {u"D:\\", false, true, kCopyToFolder, kExtensionMode, false, u"*.txt", u"E:\\backup\\"},
         u"フォルダ D:\\ にある、名前がワイルドカード *.txt に一致するファイルを E:\\backup\\ にコピーします。\n"
         u"コピー先に存在しないフォルダは作成されます。"},
        {"a folder name ending in 表 is appended whole",
         {u"E:\\a\\一覧表", false, true, kCopyToFolder, kExtensionMode, false, u"*", u"D:\\b"},
         u"フォルダ E:\\a\\一覧表 にある、名前がワイルドカード * に一致するファイルを D:\\b\\一覧表 にコピーします。\n"
         u"コピー先に存在しないフォルダは作成されます。"},
        {"a destination ending in ソ keeps its last character",
         {u"E:\\data", false, true, kCopyToFolder, kExtensionMode, false, u"*", u"D:\\ソ"},
         u"フォルダ E:\\data にある、名前がワイルドカード * に一致するファイルを D:\\ソ\\data にコピーします。\n"
         u"コピー先に存在しないフォルダは作成されます。"},
        {"a folder named by a supplementary character is appended whole",
         {u"E:\\😀", false, true, kMoveToFolder, kExtensionMode, false, u"?", u"D:\\b"},
         u"フォルダ E:\\😀 にある、名前がワイルドカード ? に一致するファイルを D:\\b\\😀 に移動します。\n"
         u"移動先に存在しないフォルダは作成されます。"},
        {"empty pattern and destination still give the sentences",
         {u"E:\\data", false, false, kMoveToFolder, kExtensionMode, false, u"", u""},
         u"フォルダ E:\\data にある、名前がワイルドカード  に一致するファイルを  に移動します。\n"
         u"移動先に存在しないフォルダは作成されます。"},
    };
    for (const auto& c : cases) Check(c);
}
