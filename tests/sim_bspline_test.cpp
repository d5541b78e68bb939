#include "simhost/model/bspline.h"

#include <cmath>
#include <functional>
#include <iterator>

#include <gtest/gtest.h>

namespace sim {
namespace {

// The quarter of the unit circle from (1, 0) to (0, 1) as a rational quadratic.
BsplineCurve QuarterCircle() {
    BsplineCurve arc;
    arc.degree = 2;
    arc.knots = {0, 0, 0, 1, 1, 1};
    arc.points = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    arc.weights = {1, std::sqrt(0.5), 1};
    return arc;
}

// A bicubic bump on the unit square, two spans along u.
BsplineSurface Bump() {
    BsplineSurface s;
    s.degreeU = 3;
    s.degreeV = 2;
    s.knotsU = {0, 0, 0, 0, 0.5, 1, 1, 1, 1};
    s.knotsV = {0, 0, 0, 1, 1, 1};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 3; ++j)
            s.points.push_back({i / 4.0, j / 2.0, (i == 2 && j == 1) ? 1.0 : 0.1 * i});
    return s;
}

TEST(Bspline, RationalQuarterLiesOnTheCircleAndClampsItsParameters) {
    const BsplineCurve arc = QuarterCircle();
    for (double t = 0; t <= 1.0; t += 0.125) {
        Point3 p = EvaluateCurve(arc, t);
        EXPECT_NEAR(Length(p), 1.0, 1e-12) << "t = " << t;
    }
    EXPECT_NEAR(EvaluateCurve(arc, 0.5).x, std::sqrt(0.5), 1e-12);  // symmetric: the middle at 45°
    // Parameters outside the domain are clamped.
    EXPECT_NEAR(EvaluateCurve(arc, -3).x, 1.0, 1e-15);
    EXPECT_NEAR(EvaluateCurve(arc, 7).y, 1.0, 1e-15);
    EXPECT_EQ(CurveStart(arc), 0.0);
    EXPECT_EQ(CurveEnd(arc), 1.0);
}

TEST(Bspline, SurfacePassesThroughItsCornersAndLinearPrecision) {
    BsplineSurface s = Bump();
    EXPECT_NEAR(EvaluateSurface(s, 0, 0).point.z, 0.0, 1e-15);
    EXPECT_NEAR(EvaluateSurface(s, 1, 1).point.x, 1.0, 1e-15);
    EXPECT_NEAR(EvaluateSurface(s, 1, 1).point.z, 0.4, 1e-15);
    // Along v the control points' y sit at the Greville abscissae 0, 0.5, 1, so y equals v.
    EXPECT_NEAR(EvaluateSurface(s, 0.3, 0.7).point.y, 0.7, 1e-12);
}

TEST(Bspline, DerivativesMatchDifferences) {
    BsplineSurface s = Bump();
    s.weights.assign(s.points.size(), 1.0);
    s.weights[7] = 3.0;  // rational
    const double h = 1e-6;
    for (double u : {0.1, 0.49, 0.5, 0.77}) {
        for (double v : {0.2, 0.5, 0.9}) {
            SurfacePoint at = EvaluateSurface(s, u, v);
            Point3 du = (EvaluateSurface(s, u + h, v).point - EvaluateSurface(s, u - h, v).point) *
                        (0.5 / h);
            Point3 dv = (EvaluateSurface(s, u, v + h).point - EvaluateSurface(s, u, v - h).point) *
                        (0.5 / h);
            EXPECT_NEAR(Length(at.du - du), 0.0, 1e-5) << u << ", " << v;
            EXPECT_NEAR(Length(at.dv - dv), 0.0, 1e-5) << u << ", " << v;
        }
    }
}

TEST(Bspline, ValidityRefusesMalformedShapes) {
    std::string why;
    EXPECT_TRUE(IsValidCurve(QuarterCircle(), &why)) << why;
    EXPECT_TRUE(IsValidSurface(Bump(), &why)) << why;
    const std::function<void(BsplineCurve&)> spoilCurve[] = {
        [](BsplineCurve& c) { c.knots.pop_back(); },
        [](BsplineCurve& c) { c.knots = {0, 0, 0, 1, 0.5, 1}; },
        [](BsplineCurve& c) { c.weights[1] = 0; },
        [](BsplineCurve& c) { c.knots = {1, 1, 1, 1, 1, 1}; },  // empty domain
        [](BsplineCurve& c) { c.degree = 0; },
        [](BsplineCurve& c) { c.points[0].x = NAN; },
    };
    for (size_t i = 0; i < std::size(spoilCurve); ++i) {
        BsplineCurve bad = QuarterCircle();
        spoilCurve[i](bad);
        EXPECT_FALSE(IsValidCurve(bad, &why)) << "curve " << i;
    }
    const std::function<void(BsplineSurface&)> spoilSurface[] = {
        [](BsplineSurface& s) { s.points.pop_back(); },
        [](BsplineSurface& s) { s.degreeV = 16; },
        [](BsplineSurface& s) { s.degreeU = -1; },
        [](BsplineSurface& s) { s.knotsV = {0, 0}; },
    };
    for (size_t i = 0; i < std::size(spoilSurface); ++i) {
        BsplineSurface bad = Bump();
        spoilSurface[i](bad);
        EXPECT_FALSE(IsValidSurface(bad, &why)) << "surface " << i;
    }
}

}  // namespace
}  // namespace sim
