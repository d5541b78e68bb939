#include "simhost/model/tessellation.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Parameter values of a grid: every knot span of the domain split into 2^level equal parts.
std::vector<double> GridValues(const std::vector<double>& knots, int degree, int count, int level) {
    const int parts = 1 << level;
    std::vector<double> values;
    for (int i = degree; i < count; ++i) {
        if (knots[i] == knots[i + 1]) continue;
        for (int k = 0; k < parts; ++k)
            values.push_back(knots[i] + (knots[i + 1] - knots[i]) * k / parts);
    }
    values.push_back(knots[count]);
    return values;
}

int SpanCount(const std::vector<double>& knots, int degree, int count) {
    int spans = 0;
    for (int i = degree; i < count; ++i)
        if (knots[i] < knots[i + 1]) ++spans;
    return spans;
}

// The finest level whose grid still has at most kMaxTessellationCells cells.
int MaxLevel(int spans) {
    int level = 0;
    while (spans * (2 << level) <= kMaxTessellationCells) ++level;
    return level;
}

double PointSegmentDistance(Point3 p, Point3 a, Point3 b) {
    Point3 ab = b - a;
    double length2 = Dot(ab, ab);
    double t = length2 > 0 ? std::min(1.0, std::max(0.0, Dot(p - a, ab) / length2)) : 0.0;
    return Length(p - (a + ab * t));
}

Point3 At(const BsplineSurface& s, double u, double v) { return EvaluateSurface(s, u, v).point; }

// Whether each segment of the grid along one direction stays within h of the surface, checked
// at its quarter points on the lines across given by `across`. alongU: the segments run along u.
bool SegmentsWithin(const BsplineSurface& s, const std::vector<double>& along,
                    const std::vector<double>& across, bool alongU, double h) {
    auto eval = [&](double a, double c) { return alongU ? At(s, a, c) : At(s, c, a); };
    for (double c : across) {
        for (size_t k = 0; k + 1 < along.size(); ++k) {
            Point3 p0 = eval(along[k], c), p1 = eval(along[k + 1], c);
            for (double f : {0.25, 0.5, 0.75}) {
                Point3 q = eval(along[k] + (along[k + 1] - along[k]) * f, c);
                if (!(PointSegmentDistance(q, p0, p1) < h)) return false;
            }
        }
    }
    return true;
}

// Whether every cell's twist stays below h: a quarter of the distance between the sums of its
// opposite corners, which is how far the surface between the corners leaves the two triangles
// of the cell beyond what the bending along u and along v accounts for. Zero on planes and on
// surfaces straight along one direction (cylinders).
bool TwistWithin(const BsplineSurface& s, const std::vector<double>& us,
                 const std::vector<double>& vs, double h) {
    std::vector<Point3> previous, current;
    for (size_t i = 0; i < us.size(); ++i) {
        current.clear();
        for (double v : vs) current.push_back(At(s, us[i], v));
        for (size_t j = 0; i > 0 && j + 1 < vs.size(); ++j) {
            Point3 twist = previous[j] + current[j + 1] - current[j] - previous[j + 1];
            if (!(Length(twist) / 4 < h)) return false;
        }
        std::swap(previous, current);
    }
    return true;
}

// Unit normal du x dv; where it vanishes (a collapsed edge), taken a little inside the patch.
Point3 NormalAt(const BsplineSurface& s, double u, double v) {
    const double uMid = (s.UMin() + s.UMax()) / 2, vMid = (s.VMin() + s.VMax()) / 2;
    for (double step : {0.0, 1e-6, 1e-3, 1e-1}) {
        double uu = u + (uMid - u) * step, vv = v + (vMid - v) * step;
        SurfacePoint sp = EvaluateSurface(s, uu, vv);
        Point3 n = Cross(sp.du, sp.dv);
        double length = Length(n);
        if (length > 1e-300 && std::isfinite(length)) return n * (1.0 / length);
    }
    return {0.0, 0.0, 1.0};
}

struct Levels {
    int u, v;
};

// Each of the three levels is the least that passes a check whose grid does not depend on h, so
// each grows (never shrinks) as h shrinks, and so does their combination. The bending along u,
// the bending along v and the twist each get a third of the chord height, so that a cell bent
// both ways and twisted stays within the whole.
Levels ChooseLevels(const BsplineSurface& s, double h) {
    const int countU = s.CountU(), countV = s.CountV();
    const int maxU = MaxLevel(SpanCount(s.knotsU, s.degreeU, countU));
    const int maxV = MaxLevel(SpanCount(s.knotsV, s.degreeV, countV));
    auto gridU = [&](int level) { return GridValues(s.knotsU, s.degreeU, countU, level); };
    auto gridV = [&](int level) { return GridValues(s.knotsV, s.degreeV, countV, level); };
    const std::vector<double> acrossU = gridV(std::min(2, maxV));
    const std::vector<double> acrossV = gridU(std::min(2, maxU));

    int levelU = 0;
    while (levelU < maxU && !SegmentsWithin(s, gridU(levelU), acrossU, true, h / 3)) ++levelU;
    int levelV = 0;
    while (levelV < maxV && !SegmentsWithin(s, gridV(levelV), acrossV, false, h / 3)) ++levelV;
    int twist = 0;
    const int maxTwist = std::max(maxU, maxV);
    while (twist < maxTwist &&
           !TwistWithin(s, gridU(std::min(twist, maxU)), gridV(std::min(twist, maxV)), h / 3))
        ++twist;
    return {std::min(std::max(levelU, twist), maxU), std::min(std::max(levelV, twist), maxV)};
}

}  // namespace

double PointTriangleDistance(Point3 p, Point3 a, Point3 b, Point3 c) {
    Point3 n = Cross(b - a, c - a);
    double area2 = Dot(n, n);
    double edges = std::min({PointSegmentDistance(p, a, b), PointSegmentDistance(p, b, c),
                             PointSegmentDistance(p, c, a)});
    if (!(area2 > 1e-300)) return edges;
    // Inside the triangle's prism: the distance to its plane; outside it the nearest edge is
    // nearest.
    auto side = [&](Point3 from, Point3 to) { return Dot(Cross(to - from, p - from), n); };
    if (side(a, b) >= 0 && side(b, c) >= 0 && side(c, a) >= 0)
        return std::fabs(Dot(p - a, n)) / std::sqrt(area2);
    return edges;
}

Tessellation TessellateSurface(const BsplineSurface& s, double chordHeight) {
    const Levels levels = ChooseLevels(s, chordHeight);
    const std::vector<double> us = GridValues(s.knotsU, s.degreeU, s.CountU(), levels.u);
    const std::vector<double> vs = GridValues(s.knotsV, s.degreeV, s.CountV(), levels.v);
    const int rows = static_cast<int>(vs.size());

    Tessellation mesh;
    for (double u : us) {
        for (double v : vs) {
            mesh.vertices.push_back(At(s, u, v));
            mesh.normals.push_back(NormalAt(s, u, v));
            mesh.params.push_back({u, v});
        }
    }
    for (int i = 0; i + 1 < static_cast<int>(us.size()); ++i) {
        for (int j = 0; j + 1 < rows; ++j) {
            int a = i * rows + j, b = (i + 1) * rows + j, c = (i + 1) * rows + j + 1,
                d = i * rows + j + 1;
            mesh.facets.push_back({a, b, c});
            mesh.facets.push_back({a, c, d});
        }
    }
    return mesh;
}

}  // namespace sim
