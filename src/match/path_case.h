// Paths compared the way the file system compares them: case-insensitively, with
// the case folded by the system in the ANSI code page. A byte-wise tolower would
// fold the trail bytes of double-byte characters (0x40-0x7E hold the ASCII
// letters: ア is 0x83 0x41), so that two different names would compare equal.
#pragma once
#include <string>

namespace korvane {

// The path with every character upper-cased by the system (CharUpperBuffA, which
// works character by character in the ANSI code page). The result has the same
// length in bytes, so a position in it is a position in the path.
std::string FoldPathCase(const std::string& path);

// The full form of a folder: relative parts, "." and ".." resolved, slashes made
// backslashes, short names made long where the folder exists, and no final
// separator (a drive root is "D:"). A bare drive is taken as its root, never as
// the drive's current directory.
std::string FullFolderPath(const std::string& folder);

}  // namespace korvane
