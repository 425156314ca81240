// Cutting of UTF-16 paths. The backslash (U+005C) is a unit of its own that is never
// part of another character, surrogate pairs included, so every '\' unit of a path
// is a separator and the cuts can look at single units.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr std::size_t kNoSeparator = static_cast<std::size_t>(-1);

// The DOS device names, which the system opens as the device whatever the folder
// before them and whatever extension follows: the part of the name before its first
// '.', without its trailing spaces, is CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9,
// COM or LPT followed by a superscript 1, 2 or 3, CONIN$ or CONOUT$, with ASCII
// letters in either case. "nul.txt" and "nul .txt" name the device; "nul1.txt",
// "console.txt" and "com10.txt" do not.
bool IsDeviceName(std::u16string_view name);

// A name that may follow a folder and a separator and name a file of that folder,
// and nothing else: not empty, not "." or "..", no \ / : * ? " < > |, no unit below
// 0x20, no final dot or space (the system would drop them), and no device name.
// Surrogates, paired or alone, are characters like any other.
bool IsPlainName(std::u16string_view name);

// Positions of every separator, in increasing order.
std::vector<std::size_t> SeparatorPositions(std::u16string_view path);
// Position of the last separator, or kNoSeparator.
std::size_t LastSeparator(std::u16string_view path);
// True when the unit at pos is a backslash; false beyond the end.
bool IsSeparatorAt(std::u16string_view path, std::size_t pos);

// "D:" alone: exactly two units, the second a colon.
bool IsBareDrive(std::u16string_view path);

// Everything before the last separator; the whole path when there is none; empty
// when the only separator is the first unit. With keepRoot a bare drive gets its
// backslash back ("D:" becomes "D:\").
std::u16string ParentFolder(std::u16string_view path, bool keepRoot);
// Removes one final separator; paths of one unit stay as they are.
std::u16string StripTrailingBackslash(std::u16string_view path);
// The text after the last separator; empty when there is no separator, when it is
// the first unit, or when the path ends in one.
std::u16string LastPathComponent(std::u16string_view path);
// "*" + suffix from the last "." of the whole path, or, for regular expressions, the
// suffix with every metacharacter (\ ^ $ . | ? * + ( ) [ ] { }) escaped, and "$";
// empty when the path has no ".".
std::u16string MakeExtensionPattern(std::u16string_view path, std::uint32_t useRegex);
// "X:\..." or "\\server\share...", with backslashes or slashes.
bool IsFullPath(std::u16string_view path);
// Whether path is folder itself or lies below it, both in one spelling (full, with
// the case folded, no final separator; a drive root as "D:"). rest receives the
// part of path after folder: empty for the folder itself, else starting with its
// separator. Only a separator ends a folder: "D:\PX" is not inside "D:\P".
bool LiesInside(std::u16string_view path, std::u16string_view folder, std::u16string& rest);
// The folder as the dialogs show and use it: a bare drive gets a backslash.
std::u16string FolderDisplayForm(std::u16string_view folder);

}  // namespace korvane
