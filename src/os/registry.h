// Registry values as the extension keeps them: numbers as REG_DWORD and texts as
// REG_SZ. Key and value names are ASCII. On the NT family texts are read and written
// through the W functions, so a name outside the code page survives the round trip;
// texts written earlier through the A functions read back unchanged (the system
// stores every string in UTF-16 and converted them when they were written).
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/unique_handle.h"

namespace korvane {

bool OpenKey(HKEY root, const char* path, REGSAM access, UniqueKey& key);
// Creates the key when it is missing: empty class, non-volatile.
bool CreateKey(HKEY root, const char* path, REGSAM access, UniqueKey& key);
// Deletes a key without subkeys below parent; answers the system's result.
LONG DeleteSubkey(HKEY root, const char* parent, const char* subkey);

// A number from a buffer of 4 bytes, whatever type it was stored as; shorter data
// fills the low bytes, longer data fails the read.
bool ReadNumber(HKEY key, const char* name, std::uint32_t& value);
void WriteNumber(HKEY key, const char* name, std::uint32_t value);

// A text that fits a buffer of `capacity` characters with its NUL (units of UTF-16
// on the NT family, bytes of the code page on the 9x family): anything longer fails,
// however it was stored. A text stored without its NUL is taken as far as the data
// goes, and a text ends at its first NUL. The stored type is not looked at.
bool ReadText(HKEY key, const char* name, std::size_t capacity, std::u16string& text);
// Writes REG_SZ with its terminating NUL.
void WriteText(HKEY key, const char* name, const std::u16string& text);

// The path a class registration names: the default value of a key under
// HKEY_CLASSES_ROOT (an InprocServer32 key, say), with environment references
// expanded and surrounding quotes removed; empty when the key or a usable string
// value is missing, or the path is too long.
std::u16string RegisteredPath(const std::string& keyName);

}  // namespace korvane
