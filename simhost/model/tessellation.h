// The simulated host's tessellation of a surface patch for a chord height.
#pragma once

#include <array>
#include <vector>

#include "simhost/model/bspline.h"

namespace sim {

struct Tessellation {
    std::vector<Point3> vertices;
    std::vector<Point3> normals;                // unit normals, one per vertex (du x dv)
    std::vector<std::array<double, 2>> params;  // (u, v) of each vertex
    std::vector<std::array<int, 3>> facets;     // counter-clockwise seen from the normals' side
};

// Most grid cells along one direction of a patch.
constexpr int kMaxTessellationCells = 256;

// Tessellates a valid patch on a grid that splits every knot span of each direction into 2^L
// equal parts (L chosen per direction), two triangles per cell. Each direction takes the least
// level at which its grid segments, on a fixed set of lines across the patch, bend away from the
// surface by less than a third of the chord height; both are raised together while a cell's
// twist exceeds the last third. Every level is the least that passes a check on a grid that does
// not depend on the chord height, so a smaller chord height never gives fewer facets. A direction
// has at most kMaxTessellationCells cells; a chord height of 0, a negative one or not-a-number
// gives that bound.
Tessellation TessellateSurface(const BsplineSurface& surface, double chordHeight);

// Distance from p to the triangle (a, b, c); a degenerate triangle counts as its edges.
double PointTriangleDistance(Point3 p, Point3 a, Point3 b, Point3 c);

}  // namespace sim
