// The trim loops of the NURBS surface being written, flattened into the arrays that the scene's
// "nurbs" geometry takes: loop after loop (one per contour of the host surface, in visit order),
// curve after curve.
//
// After each loop: trim_inside has one entry per trim_nedges entry; the sum of trim_nedges is the
// length of edge_order, edge_nknots, edge_min and edge_max; edge_knot holds the sum of
// edge_nknots; edge_uvw three values per control point, and a curve has its knot count minus its
// order of them. The renderer reads the arrays by these counts alone.
#pragma once

#include <cstdint>
#include <vector>

struct NurbsTrimBuffers {
    std::vector<int32_t> trim_nedges;  // per loop: number of curves
    std::vector<int32_t> trim_inside;  // per loop: 1 unless the contour is internal (traversal -1)
    std::vector<int32_t> edge_order;   // per curve: degree + 1
    std::vector<int32_t> edge_nknots;  // per curve: number of knots
    std::vector<double> edge_min;      // per curve: smallest knot
    std::vector<double> edge_max;      // per curve: largest knot
    std::vector<double> edge_knot;     // the knots of all curves
    std::vector<double> edge_uvw;      // u, v, weight of every control point of all curves

    void Clear() {
        trim_nedges.clear();
        trim_inside.clear();
        edge_order.clear();
        edge_nknots.clear();
        edge_min.clear();
        edge_max.clear();
        edge_knot.clear();
        edge_uvw.clear();
    }
};
