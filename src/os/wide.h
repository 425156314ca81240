// Where the project's UTF-16 text meets Windows: wchar_t is 16 bits there, so a
// std::u16string is handed to the W functions as it is, with one checked cast.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16 units");

namespace korvane {

inline const wchar_t* AsWide(const std::u16string& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline wchar_t* AsWide(char16_t* units) noexcept { return reinterpret_cast<wchar_t*>(units); }

// The units of a buffer the system filled, up to its first NUL and never past count.
inline std::u16string FromWide(const wchar_t* units, std::size_t count) {
    std::size_t length = 0;
    while (length < count && units[length]) ++length;
    return std::u16string(reinterpret_cast<const char16_t*>(units), length);
}
inline std::u16string_view WideView(const wchar_t* units, std::size_t length) noexcept {
    return std::u16string_view(reinterpret_cast<const char16_t*>(units), length);
}

}  // namespace korvane
