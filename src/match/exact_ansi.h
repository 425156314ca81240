// UTF-16 names and paths in the ANSI code page, telling an exact conversion from one
// that lost something. The ANSI file functions "best fit" what the code page cannot
// hold: in code page 932 café.txt is listed as cafe.txt (and opening that opens
// another file), a😀.txt as a??.txt, and ¥ (U+00A5) as 0x5C, the path separator.
#pragma once
#include <string>

namespace korvane {

// Converts length UTF-16 units with WC_NO_BEST_FIT_CHARS into ansi (replaced, never
// appended). True only when nothing was replaced by the default character and
// converting the result back gives the same UTF-16 text. Either way ansi holds the
// conversion, with '?' for what did not convert, fit to be shown to the user.
bool ToExactAnsi(const wchar_t* wide, std::size_t length, std::string& ansi);

}  // namespace korvane
