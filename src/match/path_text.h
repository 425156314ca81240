// Cutting of ANSI paths that is safe in double-byte code pages. A byte 0x5C is a
// separator only when it is not the second byte of a double-byte character, and that
// is only known by walking the string from its start: in Shift-JIS about a third of
// the trail bytes (ル is 0x83 0x8B) also lie in the lead-byte range, so looking at
// the one byte before is not enough. In a single-byte code page (1252) there are no
// lead bytes at all: é (0xE9) is a character of its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr std::size_t kNoSeparator = static_cast<std::size_t>(-1);

// The lead bytes of the code page the paths are written in, given as CPINFO's
// LeadByte field gives them: pairs of first and last byte, ended by a pair of zeros
// or by the end of the array. Until a program calls it (the library does when it is
// loaded, see match/system_code_page.h), Shift-JIS's 0x81-0x9F and 0xE0-0xFC hold.
// Called once at start, before any path is cut.
void SetLeadByteRanges(const unsigned char* pairs, std::size_t size);

// True for a lead byte of the code page last set.
bool IsLeadByte(unsigned char b);

// A name that may follow a folder and a separator and name a file of that folder:
// not empty, not "." or "..", no \ / : * ? " < > | (a trail byte 0x5C or 0x7C of a
// double-byte character is no such character), no control character, and no final
// dot or space, which the system would drop.
bool IsPlainName(std::string_view name);

// Positions of every real separator, in increasing order.
std::vector<std::size_t> SeparatorPositions(const std::string& path);
// Position of the last real separator, or kNoSeparator.
std::size_t LastSeparator(const std::string& path);
// True when the byte at pos is a backslash that is not a trail byte.
bool IsSeparatorAt(const std::string& path, std::size_t pos);

// "D:" alone: exactly two bytes, the second a colon.
bool IsBareDrive(const std::string& path);

// Everything before the last separator; the whole path when there is none; empty
// when the only separator is the first byte. With keepRoot a bare drive gets its
// backslash back ("D:" becomes "D:\").
std::string ParentFolder(const std::string& path, bool keepRoot);
// Removes one final separator (never a trail byte); paths of one byte stay as they are.
std::string StripTrailingBackslash(const std::string& path);
// The text after the last separator; empty when there is no separator, when it is
// the first byte, or when the path ends in one.
std::string LastPathComponent(const std::string& path);
// "*" + suffix from the last "." of the whole path, or "\" + suffix + "$" for
// regular expressions; empty when the path has no ".".
std::string MakeExtensionPattern(const std::string& path, std::uint32_t useRegex);
// The folder as the dialogs show and use it: a bare drive gets a backslash.
std::string FolderDisplayForm(const std::string& folder);

}  // namespace korvane
