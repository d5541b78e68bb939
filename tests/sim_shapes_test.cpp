#include "simhost/model/shapes.h"

#include <cmath>

#include <gtest/gtest.h>

namespace sim {
namespace {

struct Made {
    Model model;
    std::vector<Surface> surfaces;
};

const Surface* SurfaceById(const Made& made, int id) {
    for (const Surface& s : made.surfaces)
        if (s.id == id) return &s;
    return nullptr;
}

const Edge* EdgeById(const Made& made, int id) {
    for (const Edge& e : made.model.edges)
        if (e.id == id) return &e;
    return nullptr;
}

// The point of surface at the UV curve's parameter t.
Point3 OnSurface(const Surface& surface, const BsplineCurve& uv, double t) {
    Point3 p = EvaluateCurve(uv, t);
    return EvaluateSurface(surface.shape, p.x, p.y).point;
}

// Both sides of every shared edge trace the same points in space.
void ExpectSidesAgree(const Made& made) {
    for (const Edge& edge : made.model.edges) {
        if (edge.sides[1].surface < 0) continue;
        const Surface* a = SurfaceById(made, edge.sides[0].surface);
        const Surface* b = SurfaceById(made, edge.sides[1].surface);
        ASSERT_TRUE(a && b);
        EXPECT_NE(a, b);
        EXPECT_EQ(edge.sides[0].direction + edge.sides[1].direction, 1);
        for (double t : {0.0, 0.25, 0.5, 0.75, 1.0})
            EXPECT_LT(Length(OnSurface(*a, edge.sides[0].curve, t) -
                             OnSurface(*b, edge.sides[1].curve, t)),
                      1e-9)
                << "edge " << edge.id << " at " << t;
    }
}

// Each contour, its curves taken the way the contour runs, closes and runs counter-clockwise
// in (u, v).
void ExpectContoursCloseCounterClockwise(const Made& made) {
    for (const Surface& surface : made.surfaces) {
        ASSERT_EQ(surface.contours.size(), 1u);
        const Contour& contour = surface.contours[0];
        EXPECT_EQ(contour.traversal, 1);
        std::vector<std::pair<Point3, Point3>> runs;
        for (int id : contour.edges) {
            const Edge* edge = EdgeById(made, id);
            ASSERT_TRUE(edge);
            const EdgeSide& side =
                edge->sides[0].surface == surface.id ? edge->sides[0] : edge->sides[1];
            ASSERT_EQ(side.surface, surface.id);
            Point3 start = side.curve.points.front(), end = side.curve.points.back();
            runs.push_back(side.direction == 1 ? std::make_pair(end, start)
                                               : std::make_pair(start, end));
        }
        double area = 0;
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_LT(Length(runs[i].second - runs[(i + 1) % runs.size()].first), 1e-12);
            area += runs[i].first.x * runs[i].second.y - runs[i].second.x * runs[i].first.y;
        }
        EXPECT_GT(area, 0) << "surface " << surface.id;
    }
}

class Shapes : public ::testing::Test {
protected:
    Made made;
    IdSource ids;
};

TEST_F(Shapes, BoxHasSixFacesAndTwelveSharedEdges) {
    ids.next = 100;
    ShapeStyle style;
    style.feature = 9;
    AddBox(made.model, made.surfaces, {0, 0, 0}, {1, 2, 3}, IdentityMatrix(), style, ids);
    EXPECT_EQ(made.surfaces.size(), 6u);
    EXPECT_EQ(made.model.edges.size(), 12u);
    EXPECT_EQ(ids.next, 118);
    for (const Surface& s : made.surfaces) EXPECT_EQ(s.feature, 9);
    ExpectSidesAgree(made);
    ExpectContoursCloseCounterClockwise(made);
}

TEST_F(Shapes, BoxFacesPointOutward) {
    AddBox(made.model, made.surfaces, {-1, -1, -1}, {1, 1, 1}, IdentityMatrix(), ShapeStyle{}, ids);
    for (const Surface& s : made.surfaces) {
        SurfacePoint p = EvaluateSurface(s.shape, 0.5, 0.5);
        EXPECT_NEAR(Dot(Cross(p.du, p.dv), p.point), 4.0 * 1.0, 1e-12);  // centre of a 2 x 2 face
    }
}

TEST_F(Shapes, CylinderQuartersAndDiscsMeetAlongArcs) {
    AddCylinder(made.model, made.surfaces, 2.0, 5.0, IdentityMatrix(), ShapeStyle{}, ids);
    EXPECT_EQ(made.surfaces.size(), 6u);
    EXPECT_EQ(made.model.edges.size(), 12u);  // 4 seams, 4 arcs at each end
    ExpectSidesAgree(made);
    ExpectContoursCloseCounterClockwise(made);
    // The discs are exactly round: their boundary lies on the circle.
    for (size_t k = 4; k < 6; ++k) {
        for (double t = 0; t <= 1.0; t += 0.1) {
            Point3 p = EvaluateSurface(made.surfaces[k].shape, t, 0).point;
            EXPECT_NEAR(std::hypot(p.x, p.y), 2.0, 1e-12);
        }
    }
}

TEST_F(Shapes, RectangleEdgesHaveOneSide) {
    AddRectangle(made.model, made.surfaces, 3, 4, IdentityMatrix(), ShapeStyle{}, ids);
    ASSERT_EQ(made.model.edges.size(), 4u);
    for (const Edge& edge : made.model.edges) EXPECT_EQ(edge.sides[1].surface, -1);
    ExpectContoursCloseCounterClockwise(made);
}

TEST_F(Shapes, PlacementMovesTheGeometryAndStyleReachesEverySurface) {
    Matrix placement = IdentityMatrix();
    placement[3][0] = 10;
    ShapeStyle style;
    style.appearance = Appearance{"RED", 0.5, {{1, 0, 0}}};
    style.faults.Add(Fault::NoNormals);
    AddBox(made.model, made.surfaces, {0, 0, 0}, {1, 1, 1}, placement, style, ids);
    for (const Surface& s : made.surfaces) {
        EXPECT_GE(EvaluateSurface(s.shape, 0.5, 0.5).point.x, 10.0);
        ASSERT_TRUE(s.appearance.has_value());
        EXPECT_EQ(s.appearance->name, "RED");
        EXPECT_TRUE(s.faults.Has(Fault::NoNormals));
        EXPECT_EQ(s.interfaceId, s.id);
    }
}

}  // namespace
}  // namespace sim
