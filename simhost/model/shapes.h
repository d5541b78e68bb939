// Shorthands of the model file for common shapes, expanded into the host's full description:
// B-spline surfaces, their contours, and edges with a UV curve on each side. Every surface is
// parameterised so that du x dv points out of the shape, and its one contour runs counter-clockwise
// in (u, v) along the four sides of its parameter rectangle. An edge shared by two surfaces is
// one edge whose UV curve on side 0 runs with the first surface's contour (direction 0) and on
// side 1 against the second's (direction 1).
#pragma once

#include <optional>
#include <vector>

#include "simhost/model/world.h"

namespace sim {

// What every surface of a shape gets besides its geometry.
struct ShapeStyle {
    int feature = 0;
    std::optional<Appearance> appearance;
    std::optional<Texture> texture;
    FaultSet faults;
    double chordMin = 0.0;
    double chordMax = std::numeric_limits<double>::infinity();
};

// Hands out model item ids for the surfaces and edges a shape makes.
struct IdSource {
    int next = 1;
    int Take() { return next++; }
};

// The surfaces a shape makes go to `surfaces` (the model's or a quilt's list), its edges to
// model.edges. Every shape is placed by `placement`.

// The box between the corners min and max: six planar surfaces, twelve edges.
void AddBox(Model& model, std::vector<Surface>& surfaces, Point3 min, Point3 max,
            const Matrix& placement, const ShapeStyle& style, IdSource& ids);

// The cylinder of radius r around the z axis from z = 0 to z = height: four quarter surfaces
// around it (rational quadratic along u) and two discs (rational biquadratic patches bounded by
// four quarter arcs each); 12 edges.
void AddCylinder(Model& model, std::vector<Surface>& surfaces, double radius, double height,
                 const Matrix& placement, const ShapeStyle& style, IdSource& ids);

// The open rectangle from (0, 0, 0) to (width, height, 0), facing +z: one surface whose four
// edges have no surface on side 1.
void AddRectangle(Model& model, std::vector<Surface>& surfaces, double width, double height,
                  const Matrix& placement, const ShapeStyle& style, IdSource& ids);

}  // namespace sim
