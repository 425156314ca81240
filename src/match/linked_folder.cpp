#include "match/linked_folder.h"

namespace korvane {

bool IsLinkedFolder(std::uint32_t attributes, std::uint32_t reparseTag) {
    if (!(attributes & kAttributeReparsePoint)) return false;
    return reparseTag == 0 || (reparseTag & kTagNameSurrogateBit) != 0;
}

}  // namespace korvane
