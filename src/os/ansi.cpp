#include "os/ansi.h"

#include <windows.h>

#include <climits>
#include <cstring>

#include "os/wide.h"

namespace korvane {

namespace {

// A code page of UTF-8 (or UTF-7) refuses WC_NO_BEST_FIT_CHARS and the used-default
// flag; the round trip still finds what it could not hold.
bool IsUtfCodePage() {
    const UINT codePage = GetACP();
    return codePage == CP_UTF8 || codePage == CP_UTF7;
}

bool IsAscii(std::u16string_view text) {
    for (char16_t unit : text)
        if (unit >= 0x80) return false;
    return true;
}

std::string AsciiBytes(std::u16string_view text) {
    std::string ansi(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) ansi[i] = static_cast<char>(text[i]);
    return ansi;
}

}  // namespace

bool ToAnsiExact(std::u16string_view text, std::string& ansi) {
    // Most names are ASCII, which every ANSI code page holds unchanged.
    if (IsAscii(text)) {
        ansi = AsciiBytes(text);
        return true;
    }
    if (text.size() > INT_MAX / 4) {
        ansi.assign(text.size(), '?');
        return false;
    }
    const bool utf = IsUtfCodePage();
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    const int count = static_cast<int>(text.size());
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultFlag = utf ? nullptr : &usedDefault;
    const int needed = WideCharToMultiByte(CP_ACP, flags, wide, count, nullptr, 0, nullptr, usedDefaultFlag);
    if (needed <= 0) {
        ansi.assign(text.size(), '?');
        return false;
    }
    ansi.assign(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, count, &ansi[0], needed, nullptr, usedDefaultFlag);
    if (usedDefault) return false;
    return FromAnsi(ansi) == text;
}

std::string ToAnsiShown(std::u16string_view text) {
    std::string ansi;
    ToAnsiExact(text, ansi);
    return ansi;
}

std::u16string FromAnsi(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX / 2) return std::u16string();
    const int bytes = static_cast<int>(ansi.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, nullptr, 0);
    if (units <= 0) return std::u16string();
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, AsWide(&text[0]), units);
    return text;
}

void WriteAnsiCut(std::u16string_view text, char* out, std::size_t maxBytes) {
    // Characters are dropped from the end until the rest fits: the cut then falls
    // between two characters of the code page, never inside one.
    std::size_t keep = text.size();
    std::string ansi = ToAnsiShown(text);
    while (ansi.size() > maxBytes && keep > 0) {
        --keep;
        if (keep > 0 && text[keep] >= 0xDC00 && text[keep] <= 0xDFFF && text[keep - 1] >= 0xD800 &&
            text[keep - 1] <= 0xDBFF)
            --keep;  // both halves of a pair go together
        ansi = ToAnsiShown(text.substr(0, keep));
    }
    std::memcpy(out, ansi.data(), ansi.size());
    out[ansi.size()] = '\0';
}

}  // namespace korvane
