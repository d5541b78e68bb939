#include "simhost/model/tessellation.h"

#include <cmath>

#include <gtest/gtest.h>

#include "simhost/model/shapes.h"

namespace sim {
namespace {

// The six surfaces of a cylinder of radius 10 and height 30: four quarters, then two discs.
std::vector<Surface> CylinderSurfaces() {
    Model model;
    std::vector<Surface> surfaces;
    IdSource ids;
    AddCylinder(model, surfaces, 10.0, 30.0, IdentityMatrix(), ShapeStyle{}, ids);
    return surfaces;
}

BsplineSurface Plane() {
    BsplineSurface s;
    s.knotsU = s.knotsV = {0, 0, 1, 1};
    s.points = {{0, 0, 0}, {0, 5, 0}, {8, 0, 0}, {8, 5, 0}};
    return s;
}

// A doubly curved and twisted bicubic patch.
BsplineSurface Saddle() {
    BsplineSurface s;
    s.degreeU = s.degreeV = 3;
    s.knotsU = s.knotsV = {0, 0, 0, 0, 1, 1, 1, 1};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            s.points.push_back({i * 3.0, j * 3.0, (i - 1.5) * (j - 1.5) * 2.0 + (i == 1) * 3.0});
    return s;
}

// The largest distance, over points spread across each facet, between the surface at the
// facet's interpolated parameters and the facet.
double MeshDeviation(const BsplineSurface& s, const Tessellation& mesh) {
    const double weights[][3] = {
        {1. / 3, 1. / 3, 1. / 3}, {0.5, 0.5, 0},  {0, 0.5, 0.5}, {0.5, 0, 0.5},
        {0.7, 0.2, 0.1},          {0.1, 0.1, 0.8}};
    double worst = 0;
    for (const auto& f : mesh.facets) {
        for (const auto& w : weights) {
            double u = 0, v = 0;
            for (int k = 0; k < 3; ++k) {
                u += w[k] * mesh.params[f[k]][0];
                v += w[k] * mesh.params[f[k]][1];
            }
            Point3 p = EvaluateSurface(s, u, v).point;
            worst =
                std::max(worst, PointTriangleDistance(p, mesh.vertices[f[0]], mesh.vertices[f[1]],
                                                      mesh.vertices[f[2]]));
        }
    }
    return worst;
}

// Each halving of the chord height keeps the mesh within it, and never gives fewer facets.
TEST(Tessellation, MeshStaysWithinTheChordHeightAndGrowsAsItShrinks) {
    std::vector<BsplineSurface> shapes{Saddle(), Plane()};
    for (const Surface& surface : CylinderSurfaces()) shapes.push_back(surface.shape);
    for (size_t k = 0; k < shapes.size(); ++k) {
        size_t previous = 0;
        for (double h = 2.0; h > 3e-3; h *= 0.5) {
            const Tessellation mesh = TessellateSurface(shapes[k], h);
            EXPECT_LE(MeshDeviation(shapes[k], mesh), h) << "shape " << k << ", h " << h;
            EXPECT_GE(mesh.facets.size(), previous) << "shape " << k << ", h " << h;
            previous = mesh.facets.size();
        }
    }
    const BsplineSurface quarter = CylinderSurfaces()[0].shape;
    EXPECT_GT(TessellateSurface(quarter, 0.001).facets.size(),
              TessellateSurface(quarter, 0.1).facets.size());
}

TEST(Tessellation, PlaneNeedsTwoTrianglesWhateverTheChordHeight) {
    for (double h : {1.0, 1e-9}) {
        Tessellation mesh = TessellateSurface(Plane(), h);
        EXPECT_EQ(mesh.vertices.size(), 4u);
        EXPECT_EQ(mesh.facets.size(), 2u);
    }
}

TEST(Tessellation, ZeroNegativeOrNanChordHeightIsBounded) {
    const BsplineSurface quarter = CylinderSurfaces()[0].shape;
    for (double h : {0.0, -1.0, std::nan("")}) {
        Tessellation mesh = TessellateSurface(quarter, h);
        EXPECT_EQ(mesh.facets.size(), 2u * kMaxTessellationCells * kMaxTessellationCells);
    }
}

TEST(Tessellation, ArraysRunParallelWithNormalsOutwardAndFacetsAlongThem) {
    const std::vector<Surface> surfaces = CylinderSurfaces();
    for (size_t k = 0; k < surfaces.size(); ++k) {
        const BsplineSurface& s = surfaces[k].shape;
        Tessellation mesh = TessellateSurface(s, 0.05);
        ASSERT_EQ(mesh.normals.size(), mesh.vertices.size());
        ASSERT_EQ(mesh.params.size(), mesh.vertices.size());
        for (size_t i = 0; i < mesh.vertices.size(); ++i) {
            const Point3 p = mesh.vertices[i], n = mesh.normals[i];
            EXPECT_NEAR(Length(n), 1.0, 1e-9);
            EXPECT_GE(mesh.params[i][0], s.UMin());
            EXPECT_LE(mesh.params[i][0], s.UMax());
            // Quarters face away from the axis, the top disc up and the bottom disc down.
            Point3 outward = k < 4 ? Point3{p.x, p.y, 0} : Point3{0, 0, k == 4 ? 1.0 : -1.0};
            EXPECT_GT(Dot(n, outward), 0) << "surface " << k << ", vertex " << i;
            if (k < 4) {
                EXPECT_NEAR(std::hypot(p.x, p.y), 10.0, 1e-9);
            }
        }
        for (const auto& f : mesh.facets) {
            for (int index : f) ASSERT_LT(static_cast<size_t>(index), mesh.vertices.size());
            Point3 a = mesh.vertices[f[0]], b = mesh.vertices[f[1]], c = mesh.vertices[f[2]];
            Point3 facetNormal = Cross(b - a, c - a);
            Point3 vertexNormals = mesh.normals[f[0]] + mesh.normals[f[1]] + mesh.normals[f[2]];
            EXPECT_GT(Dot(facetNormal, vertexNormals), 0) << "surface " << k;
        }
    }
}

TEST(Tessellation, PointTriangleDistanceInsideAndOutside) {
    const Point3 a{0, 0, 0}, b{4, 0, 0}, c{0, 4, 0};
    EXPECT_DOUBLE_EQ(PointTriangleDistance({1, 1, 3}, a, b, c), 3.0);    // above the inside
    EXPECT_DOUBLE_EQ(PointTriangleDistance({2, -3, 0}, a, b, c), 3.0);   // beside an edge
    EXPECT_DOUBLE_EQ(PointTriangleDistance({-3, -4, 0}, a, b, c), 5.0);  // beyond a corner
    EXPECT_DOUBLE_EQ(PointTriangleDistance({2, 3, 0}, a, a, a), std::sqrt(13.0));  // degenerate
}

}  // namespace
}  // namespace sim
