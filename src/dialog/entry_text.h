// The texts the main dialog takes from its fields at OK: cut to the field's size
// and, for the destination, made into the folder a command really writes to.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "common/path_text.h"

namespace korvane {

// Room the dialog's fields give a text: a 260-unit buffer with its NUL.
inline constexpr std::size_t kEntryTextUnits = 259;

// The first units of text, at most maxUnits of them, never ending between the two
// halves of a surrogate pair (the pair is left out whole).
std::u16string CutToUnits(std::u16string_view text, std::size_t maxUnits);

// A destination as typed, made absolute: a text that is not a full path would be
// resolved against the host process's own current directory, so it is taken
// relative to the current folder instead ("backup", "..\out"), against that
// folder's root ("\backup"), or against the named drive's root ("D:backup").
// Full paths and an empty text stay as they are.
std::u16string ResolveDestination(std::u16string_view typed, std::u16string_view currentFolder);

// The folder a copy or move writes to: the resolved destination, and with append
// a backslash and the current folder's own name after it (nothing after the
// backslash for a drive root).
std::u16string EffectiveDestination(std::u16string_view typed, std::u16string_view currentFolder, bool append);

}  // namespace korvane
