#include "simhost/model/outline.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace sim {

void Box::Add(Point3 p) {
    if (empty) {
        min = max = p;
        empty = false;
        return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

void Box::Add(const Box& other) {
    if (other.empty) return;
    Add(other.min);
    Add(other.max);
}

Point3 Transform(Point3 p, const Matrix& m) {
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

namespace {

// Parameters of the sampling grid along one direction: each non-empty knot span in eight.
std::vector<double> Samples(const std::vector<double>& knots, int degree, int count) {
    std::vector<double> values;
    for (int i = degree; i < count; ++i) {
        if (knots[i] == knots[i + 1]) continue;
        for (int k = 0; k < 8; ++k) values.push_back(knots[i] + (knots[i + 1] - knots[i]) * k / 8);
    }
    values.push_back(knots[count]);
    return values;
}

Box PlacedBox(const Box& box, const Matrix& placement) {
    Box placed;
    if (box.empty) return placed;
    for (int corner = 0; corner < 8; ++corner) {
        Point3 p{corner & 1 ? box.max.x : box.min.x, corner & 2 ? box.max.y : box.min.y,
                 corner & 4 ? box.max.z : box.min.z};
        placed.Add(Transform(p, placement));
    }
    return placed;
}

}  // namespace

Box SurfaceBox(const BsplineSurface& surface) {
    Box box;
    for (double u : Samples(surface.knotsU, surface.degreeU, surface.CountU()))
        for (double v : Samples(surface.knotsV, surface.degreeV, surface.CountV()))
            box.Add(EvaluateSurface(surface, u, v).point);
    return box;
}

namespace {

// Each model's box is worked out once, so a model used many times over costs no more.
Box CachedOutline(const World& world, const Model& model, std::vector<std::optional<Box>>& cache) {
    int index = ModelIndex(world, &model);
    if (index >= 0 && cache[static_cast<size_t>(index)]) return *cache[static_cast<size_t>(index)];
    Box box;
    for (const Surface& surface : model.surfaces) box.Add(SurfaceBox(surface.shape));
    for (const Quilt& quilt : model.quilts)
        for (const Surface& surface : quilt.surfaces) box.Add(SurfaceBox(surface.shape));
    for (const Feature& feature : model.features) {
        if (!feature.IsComponent()) continue;
        const Model& child = world.models[static_cast<size_t>(feature.model)];
        box.Add(PlacedBox(CachedOutline(world, child, cache), feature.placement));
    }
    if (index >= 0) cache[static_cast<size_t>(index)] = box;
    return box;
}

}  // namespace

Box SolidOutline(const World& world, const Model& model) {
    std::vector<std::optional<Box>> cache(world.models.size());
    return CachedOutline(world, model, cache);
}

}  // namespace sim
