#include "match/exact_ansi.h"

#include <windows.h>

#include <cstring>

namespace korvane {

bool ToExactAnsi(const wchar_t* wide, std::size_t length, std::string& ansi) {
    // Most names are ASCII, which every ANSI code page holds unchanged: copied
    // without asking the system, so that a large folder scans as fast as before.
    std::size_t ascii = 0;
    while (ascii < length && wide[ascii] < 0x80) ++ascii;
    ansi.resize(length);
    for (std::size_t i = 0; i < ascii; ++i) ansi[i] = static_cast<char>(wide[i]);
    if (ascii == length) return true;
    if (length > 0x7FFFFFF) return false;

    // A code page of UTF-8 (or UTF-7) refuses the used-default flag; the round trip
    // below still finds what it could not hold.
    const UINT codePage = GetACP();
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    const int count = static_cast<int>(length);
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultFlag = utf ? nullptr : &usedDefault;
    const int needed = WideCharToMultiByte(CP_ACP, flags, wide, count, nullptr, 0, nullptr, usedDefaultFlag);
    if (needed <= 0) {
        ansi.assign(length, '?');
        return false;
    }
    ansi.resize(static_cast<std::size_t>(needed));
    WideCharToMultiByte(CP_ACP, flags, wide, count, &ansi[0], needed, nullptr, usedDefaultFlag);
    if (usedDefault) return false;

    std::wstring back(length, L'\0');
    const int backCount = MultiByteToWideChar(CP_ACP, 0, ansi.data(), needed, &back[0], count);
    return backCount == count && std::memcmp(back.data(), wide, length * sizeof(wchar_t)) == 0;
}

}  // namespace korvane
