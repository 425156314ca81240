// UTF-16 text in the system's ANSI code page and back: the 9x family's edge, and the
// few places where the NT family still speaks ANSI (a request for an ANSI help text).
// The ANSI functions "best fit" what the code page cannot hold: in code page 932
// café.txt is listed as cafe.txt (and opening that opens another file), a😀.txt as
// a??.txt, and ¥ (U+00A5) as 0x5C, the path separator. So a path is converted only
// exactly, or not at all.
#pragma once
#include <string>
#include <string_view>

namespace korvane {

// True only when the code page holds the text exactly: nothing replaced by the
// default character and the way back gives the same UTF-16 text. ansi receives the
// conversion either way, with '?' for what did not convert (fit to be shown).
bool ToAnsiExact(std::u16string_view text, std::string& ansi);

// The text for showing only, '?' where the code page has no character.
std::string ToAnsiShown(std::u16string_view text);

// ANSI bytes of the system code page as UTF-16; a double-byte character cut in half
// at the end becomes one replacement unit.
std::u16string FromAnsi(std::string_view ansi);

// At most maxBytes bytes of the text's ANSI form with a NUL after them, never ending
// inside a double-byte character, written to out (capacity maxBytes + 1).
void WriteAnsiCut(std::u16string_view text, char* out, std::size_t maxBytes);

}  // namespace korvane
