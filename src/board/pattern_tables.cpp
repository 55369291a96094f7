#include "board/line_combination.h"
#include "board/patterns.h"

namespace velmor {

// Start-up order matters: the segment tables scan with the trie, and the
// line tables read the segment tables.
bool buildAllPatternTables() {
    if (!buildPatternTrie()) return false;
    buildSegmentTables();
    buildCombineTable();
    buildCombinationIndex();
    buildLineTypeTables();
    return true;
}

}  // namespace velmor
