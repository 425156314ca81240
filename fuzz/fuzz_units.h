// UTF-16 text from fuzzer input: every two bytes make one unit, the first byte its
// low byte. The second byte picks the high byte from blocks that matter to the text
// functions: ASCII and Latin-1 (twice, so that stars, dots, backslashes and letters
// are common), both ends of the high and of the low surrogates, Hangul, and the
// full-width forms. Taken as it is, that byte would give a surrogate pair only once
// in about four thousand neighbouring units.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

inline std::u16string FuzzUnits(const std::uint8_t* data, std::size_t size) {
    static constexpr std::uint8_t kHighBytes[] = {0x00, 0x00, 0xD8, 0xDB, 0xDC, 0xDF, 0xD5, 0xFF};
    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units.push_back(static_cast<char16_t>(kHighBytes[data[i + 1] % 8] << 8 | data[i]));
    return units;
}
