// The texts the main dialog takes from its fields at OK: cut to the field's size
// and, for the destination, made into the folder a command really writes to.
#pragma once
#include <cstddef>
#include <string>

namespace korvane {

// Room the dialog's fields give a text: a 260-byte buffer with its NUL.
inline constexpr std::size_t kEntryTextBytes = 259;

// The first bytes of text, at most maxBytes of them, never ending inside a
// double-byte character.
std::string CutToBytes(const std::string& text, std::size_t maxBytes);

// "X:\..." or "\\server\share...", with backslashes or slashes.
bool IsFullPath(const std::string& path);

// A destination as typed, made absolute: a text that is not a full path would be
// resolved against the host process's own current directory, so it is taken
// relative to the current folder instead ("backup", "..\out"), against that
// folder's root ("\backup"), or against the named drive's root ("D:backup").
// Full paths and an empty text stay as they are.
std::string ResolveDestination(const std::string& typed, const std::string& currentFolder);

// The folder a copy or move writes to: the resolved destination, and with append
// a backslash and the current folder's own name after it (nothing after the
// backslash for a drive root).
std::string EffectiveDestination(const std::string& typed, const std::string& currentFolder, bool append);

}  // namespace korvane
