#include "match/match_list.h"

#include <iterator>

namespace korvane {

void AppendMatches(MatchList& list, MatchList&& more) {
    list.sizes.resize(list.paths.size(), kSizeUnknown);
    more.sizes.resize(more.paths.size(), kSizeUnknown);
    list.paths.insert(list.paths.end(), std::make_move_iterator(more.paths.begin()),
                      std::make_move_iterator(more.paths.end()));
    list.sizes.insert(list.sizes.end(), more.sizes.begin(), more.sizes.end());
    list.pathUnits += more.pathUnits;
    list.linkedFolders += more.linkedFolders;
    list.leftOut.insert(list.leftOut.end(), std::make_move_iterator(more.leftOut.begin()),
                        std::make_move_iterator(more.leftOut.end()));
}

}  // namespace korvane
