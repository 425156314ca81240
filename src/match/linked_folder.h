// Which folders with the reparse-point attribute a subfolder scan must not enter.
// Pure: the attribute and tag values are the system's published numbers.
#pragma once
#include <cstdint>

namespace korvane {

inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT
// A tag with this bit stands for another name (IsReparseTagNameSurrogate): symbolic
// links, junctions and mount points.
inline constexpr std::uint32_t kTagNameSurrogateBit = 0x20000000;

// True for a folder that leads elsewhere: following it could lead back up the tree
// and round until the path grows too long, collecting the same files again on every
// round. Those are the reparse points whose tag is a name surrogate, and those that
// carry the attribute with no tag at all (Wine reports its links to Unix folders
// that way). Every other reparse point (a synced cloud folder's placeholder,
// deduplication, WIM and the like) is a folder of its own and is entered.
bool IsLinkedFolder(std::uint32_t attributes, std::uint32_t reparseTag);

}  // namespace korvane
