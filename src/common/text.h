// Small pieces of UTF-16 text work that the pure text files share: numbers as
// digits, ASCII literals widened, and the two halves of a surrogate pair.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// Plain decimal digits: no sign, no grouping, "0" for zero.
inline std::u16string DecimalText(std::uint64_t value) {
    constexpr std::size_t kMaxDigits = 20;  // 2^64 - 1 has twenty
    char16_t digits[kMaxDigits];
    std::size_t start = kMaxDigits;
    do {
        digits[--start] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::u16string(digits + start, digits + kMaxDigits);
}

// Each byte becomes the unit of the same value; meant for ASCII text such as the
// output of snprintf.
inline std::u16string AsciiText(std::string_view ascii) {
    std::u16string text;
    text.reserve(ascii.size());
    for (char c : ascii) text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return text;
}

// A character outside the Basic Multilingual Plane is two units: a high surrogate
// (D800-DBFF) followed by a low one (DC00-DFFF). Either half may also stand alone
// in a name the file system holds; it is then a character of its own.
inline constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
inline constexpr bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

}  // namespace korvane
