// The component placements of an animation, read from a frame file: per component path the
// placement of each frame, in the order read.
#pragma once

#include <map>
#include <vector>

#include "export/component_path.h"
#include "toolkit/pro_toolkit.h"

// One frame's placement of a component (a ProMatrix, wrapped so that containers can hold it).
struct FramePlacement {
    ProMatrix matrix;
};

using AnimationFrames = std::map<ProAsmcomppath, std::vector<FramePlacement>, ComponentPathOrder>;
