// The order of a trim loop's curves, worked out on their end points alone: see ChainOrder.
#pragma once

#include <cstddef>
#include <vector>

#include "export/trim_point.h"

// First and last control point of one curve.
struct TrimCurveEnds {
    TrimPoint first;
    TrimPoint last;
};

// The largest gap between consecutive curves of a loop that the chaining bridges, as a fraction
// of the loop's extent. A CAD host's trim curves meet to within 1e-10 as a rule, but not always:
// edges of imported parts were seen to miss by up to 8e-8. A hundred-thousandth of the face
// bridges that on faces down to a hundredth of a unit across, and is far below anything a
// renderer can show; a curve of some other boundary, or one running the wrong way, misses by a
// good part of the face and is still dropped. The bound is used only where no curve meets within
// 1e-10, and then for the nearest curve, so tiny edges of their own keep their places.
constexpr double kBridgedGap = 1e-5;

// The chaining of ChainTrimLoop on the curves' ends: the positions of the curves placed, in
// loop order. Passes over the curves not yet placed, in their order: the first one starts the
// loop; each other goes right after the first loop curve whose last point meets its first
// point, else right before the first whose first point meets its last point (within 1e-10 in
// u and v), else waits for the next pass. When a pass places nothing, the waiting curve whose
// first point lies nearest the loop's last point, or whose last point lies nearest its first
// (the first given of those as near), is attached there, after the loop's last curve when that
// gap is no larger, if it is within kBridgedGap of loopSize in u and in v; then the passes go
// on. When no curve is that near, the waiting curves are dropped. loopSize, not negative, is the
// extent of all the loop's control points in u and v. The passes are followed without walking
// the curves again and again: the ends are found through grids, so that the time grows about as
// n log n with the n curves, whatever the gaps.
std::vector<size_t> ChainOrder(const std::vector<TrimCurveEnds>& ends, TrimPoint loopSize);
