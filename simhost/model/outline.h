// The outline (axis-aligned bounding box) of a solid, from its geometry.
#pragma once

#include "simhost/model/bspline.h"
#include "simhost/model/world.h"

namespace sim {

struct Box {
    bool empty = true;
    Point3 min, max;

    void Add(Point3 p);
    void Add(const Box& other);
};

// Box of a valid patch, from points evaluated on a grid of every knot span split in eight; the
// extremes of the host's shapes (planes, arcs split at the quadrants) lie on that grid.
Box SurfaceBox(const BsplineSurface& surface);

// Box of a model in its own coordinates: its surfaces, its quilts' surfaces and, for an assembly,
// the boxes of its components' models moved by their placements (the eight corners of each).
// Empty when there is no geometry. The model's components must not form a cycle (the loader
// refuses those).
Box SolidOutline(const World& world, const Model& model);

// p moved by the placement m: p x m with points as row vectors.
Point3 Transform(Point3 p, const Matrix& m);

}  // namespace sim
