// The summary sentences, compared byte for byte in code page 932. The expected texts
// are written in UTF-8 here and converted with iconv, as are the string-table pieces.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "dialog/summary_text.h"

using namespace korvane;

namespace {

std::string Sjis(std::string utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no CP932 in iconv)";
    std::string out(utf8.size() * 2 + 1, '\0');
    char* src = &utf8[0];
    char* dst = &out[0];
    size_t srcLeft = utf8.size(), dstLeft = out.size();
    const size_t converted = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (converted == static_cast<size_t>(-1)) return "(cannot convert " + utf8 + ")";
    out.resize(out.size() - dstLeft);
    return out;
}

const SummaryStrings& Strings() {
    static const SummaryStrings s = {
        Sjis("フォルダ "), Sjis("およびサブフォルダ"), Sjis("にある、名前が"), Sjis("ワイルドカード"), Sjis("正規表現"),
        Sjis(" に一致するファイルを"), Sjis("コピー"), Sjis("移動"), Sjis("します。"),
        Sjis("ファイルを選択状態にはしません。"), Sjis("サブフォルダのファイルは選択状態にはなりません。"),
        Sjis("先に存在しないフォルダは作成されます。"), Sjis("クリップボードに"), Sjis("コピーし"), Sjis("切り取り"),
        Sjis("ます。"), Sjis("選択状態にします。"),
    };
    return s;
}

struct Case {
    const char* what;
    SummaryInputs in;  // folder, pattern and destination in UTF-8 here
    const char* want;  // UTF-8
};

void Check(const Case& c) {
    SummaryInputs in = c.in;
    in.folder = Sjis(in.folder);
    in.pattern = Sjis(in.pattern);
    in.destination = Sjis(in.destination);
    EXPECT_EQ(ComposeSummary(in, Strings()), Sjis(c.want)) << c.what;
}

}  // namespace

// Inputs: folder, subfolders, append, action, mode, regex, pattern, destination.
TEST(SummaryText, WorkedExamples) {
    const Case cases[] = {
        {"copy, extension mode, wildcard",
         {"E:\\data", false, false, kCopyToFolder, kExtensionMode, false, "*.txt", "D:\\backup"},
         "フォルダ E:\\data にある、名前がワイルドカード *.txt に一致するファイルを D:\\backup にコピーします。\n"
         "コピー先に存在しないフォルダは作成されます。"},
        {"move, folder mode, regex, both boxes; the destination's backslash is not doubled",
         {"E:\\data", true, true, kMoveToFolder, kFolderMode, true, "^report", "D:\\archive\\"},
         "フォルダ E:\\data およびサブフォルダにある、名前が正規表現 ^report に一致するファイルを D:\\archive\\data に移動します。\n"
         "ファイルを選択状態にはしません。\n"
         "移動先に存在しないフォルダは作成されます。"},
        {"cut to clipboard",
         {"E:\\pics", false, false, kCutToClipboard, kExtensionMode, false, "*.jpg", ""},
         "フォルダ E:\\pics にある、名前がワイルドカード *.jpg に一致するファイルをクリップボードに切り取ります。"},
        {"select only",
         {"E:\\pics", false, false, kSelectOnly, kExtensionMode, false, "*.jpg", ""},
         "フォルダ E:\\pics にある、名前がワイルドカード *.jpg に一致するファイルを選択状態にします。"},
    };
    for (const auto& c : cases) Check(c);
}

TEST(SummaryText, EdgeCases) {
    const Case cases[] = {
        {"extension mode with subfolders: the middle line says they are not selected",
         {"E:\\data", true, false, kCopyToFolder, kExtensionMode, false, "*", "D:\\b"},
         "フォルダ E:\\data およびサブフォルダにある、名前がワイルドカード * に一致するファイルを D:\\b にコピーします。\n"
         "サブフォルダのファイルは選択状態にはなりません。\n"
         "コピー先に存在しないフォルダは作成されます。"},
        {"folder mode has its middle line without subfolders too",
         {"E:\\data", false, false, kCopyToFolder, kFolderMode, false, "*", "D:\\b"},
         "フォルダ E:\\data にある、名前がワイルドカード * に一致するファイルを D:\\b にコピーします。\n"
         "ファイルを選択状態にはしません。\n"
         "コピー先に存在しないフォルダは作成されます。"},
        {"copy to clipboard: one line",
         {"E:\\data", false, false, kCopyToClipboard, kExtensionMode, true, "a+", "D:\\b"},
         "フォルダ E:\\data にある、名前が正規表現 a+ に一致するファイルをクリップボードにコピーします。"},
        {"an action out of range reads as select only",
         {"E:\\data", false, false, kPreviousAction, kExtensionMode, false, "*", "D:\\b"},
         "フォルダ E:\\data にある、名前がワイルドカード * に一致するファイルを選択状態にします。"},
        {"a drive root keeps its backslash and the space after it; append leaves the destination",
         {"D:\\", false, true, kCopyToFolder, kExtensionMode, false, "*.txt", "E:\\backup\\"},
         "フォルダ D:\\ にある、名前がワイルドカード *.txt に一致するファイルを E:\\backup\\ にコピーします。\n"
         "コピー先に存在しないフォルダは作成されます。"},
        {"a folder name ending in 表 (second byte 0x5C) is appended whole",
         {"E:\\a\\一覧表", false, true, kCopyToFolder, kExtensionMode, false, "*", "D:\\b"},
         "フォルダ E:\\a\\一覧表 にある、名前がワイルドカード * に一致するファイルを D:\\b\\一覧表 にコピーします。\n"
         "コピー先に存在しないフォルダは作成されます。"},
        {"a destination ending in ソ keeps its last byte",
         {"E:\\data", false, true, kCopyToFolder, kExtensionMode, false, "*", "D:\\ソ"},
         "フォルダ E:\\data にある、名前がワイルドカード * に一致するファイルを D:\\ソ\\data にコピーします。\n"
         "コピー先に存在しないフォルダは作成されます。"},
        {"empty pattern and destination still give the sentences",
         {"E:\\data", false, false, kMoveToFolder, kExtensionMode, false, "", ""},
         "フォルダ E:\\data にある、名前がワイルドカード  に一致するファイルを  に移動します。\n"
         "移動先に存在しないフォルダは作成されます。"},
    };
    for (const auto& c : cases) Check(c);
}
