// The trim loops of the NURBS surface being written, flattened into the arrays that the scene's
// "nurbs" geometry takes: loop after loop, curve after curve.
#pragma once

#include <cstdint>
#include <vector>

struct NurbsTrimBuffers {
    std::vector<int32_t> trim_nedges;  // per loop: number of curves
    std::vector<int32_t> trim_inside;  // per loop: 1 unless the contour is internal
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
