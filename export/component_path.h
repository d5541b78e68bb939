// The order of the host's component paths, by which every map keyed by a path is sorted.
#pragma once

#include "toolkit/pro_toolkit.h"

// True when a comes before b: fewer identifiers first, then the identifiers one by one as signed
// integers. The owner model takes no part, so paths of two top models with the same identifiers
// are the same key. A count outside 0 to 25 is read as the nearest of those bounds.
bool ComponentPathLess(ProAsmcomppath a, ProAsmcomppath b);

// ComponentPathLess as the comparator of an ordered container.
struct ComponentPathOrder {
    bool operator()(const ProAsmcomppath& a, const ProAsmcomppath& b) const {
        return ComponentPathLess(a, b);
    }
};
