#include "simhost/model/bspline.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Degrees above this are refused by the validity checks, so basis values fit on the stack.
constexpr int kMaxDegree = 15;

using Basis = std::array<double, kMaxDegree + 1>;

bool Finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

bool Fail(std::string* why, const char* what) {
    if (why) *why = what;
    return false;
}

// Checks one direction of a shape: degree, knot count and order, a non-empty domain.
bool ValidKnots(int degree, const std::vector<double>& knots, size_t count, std::string* why) {
    if (degree < 1 || degree > kMaxDegree) return Fail(why, "degree must be from 1 to 15");
    if (count < static_cast<size_t>(degree) + 1)
        return Fail(why, "needs at least degree + 1 control points");
    if (knots.size() != count + degree + 1)
        return Fail(why, "needs as many knots as control points + degree + 1");
    for (size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i])) return Fail(why, "knots must be finite");
        if (i > 0 && knots[i] < knots[i - 1]) return Fail(why, "knots must not decrease");
    }
    if (!(knots[degree] < knots[count])) return Fail(why, "the knots leave an empty domain");
    return true;
}

bool ValidWeights(const std::vector<double>& weights, size_t count, std::string* why) {
    if (weights.empty()) return true;
    if (weights.size() != count) return Fail(why, "needs one weight per control point");
    for (double w : weights)
        if (!(std::isfinite(w) && w > 0)) return Fail(why, "weights must be positive and finite");
    return true;
}

bool ValidPoints(const std::vector<Point3>& points, std::string* why) {
    for (const Point3& p : points)
        if (!Finite(p)) return Fail(why, "control points must be finite");
    return true;
}

// The knot span i (degree <= i < count) holding t, with knots[i] < knots[i + 1]; t is clamped to
// the domain first.
int FindSpan(const std::vector<double>& knots, int degree, int count, double& t) {
    t = std::min(std::max(t, knots[degree]), knots[count]);
    auto first = knots.begin() + degree;
    auto last = knots.begin() + count;  // search knots[degree .. count - 1]
    int span = static_cast<int>(std::upper_bound(first, last, t) - knots.begin()) - 1;
    while (knots[span] == knots[span + 1]) --span;  // at the domain's end: last non-empty span
    return span;
}

// The degree + 1 basis functions of degree that are not zero on span, at t.
void BasisFunctions(const std::vector<double>& knots, int degree, int span, double t, Basis& n) {
    Basis left{}, right{};
    n[0] = 1.0;
    for (int j = 1; j <= degree; ++j) {
        left[j] = t - knots[span + 1 - j];
        right[j] = knots[span + j] - t;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            double temp = n[r] / (right[r + 1] + left[j - r]);
            n[r] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        n[j] = saved;
    }
}

// Derivatives of those basis functions, from the basis of one degree less.
void BasisDerivatives(const std::vector<double>& knots, int degree, int span, double t, Basis& d) {
    Basis lower{};
    BasisFunctions(knots, degree - 1, span, t, lower);
    for (int k = 0; k <= degree; ++k) {
        int j = span - degree + k;               // the function N(j, degree)
        double a = k >= 1 ? lower[k - 1] : 0.0;  // N(j, degree - 1)
        double b = k < degree ? lower[k] : 0.0;  // N(j + 1, degree - 1)
        double da = knots[j + degree] - knots[j];
        double db = knots[j + degree + 1] - knots[j + 1];
        d[k] = degree * ((da > 0 ? a / da : 0.0) - (db > 0 ? b / db : 0.0));
    }
}

}  // namespace

double Dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point3 Cross(Point3 a, Point3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(Point3 a) { return std::sqrt(Dot(a, a)); }

bool IsValidCurve(const BsplineCurve& curve, std::string* why) {
    return ValidKnots(curve.degree, curve.knots, curve.points.size(), why) &&
           ValidWeights(curve.weights, curve.points.size(), why) && ValidPoints(curve.points, why);
}

bool IsValidSurface(const BsplineSurface& s, std::string* why) {
    if (s.degreeU < 1 || s.degreeU > kMaxDegree || s.degreeV < 1 || s.degreeV > kMaxDegree)
        return Fail(why, "degree must be from 1 to 15");
    if (s.knotsU.size() < static_cast<size_t>(s.degreeU) + 2 ||
        s.knotsV.size() < static_cast<size_t>(s.degreeV) + 2)
        return Fail(why, "needs degree + 2 knots or more in each direction");
    size_t countU = static_cast<size_t>(s.CountU()), countV = static_cast<size_t>(s.CountV());
    if (s.points.size() != countU * countV)
        return Fail(why,
                    "needs (u knots - u degree - 1) x (v knots - v degree - 1) control points");
    return ValidKnots(s.degreeU, s.knotsU, countU, why) &&
           ValidKnots(s.degreeV, s.knotsV, countV, why) &&
           ValidWeights(s.weights, s.points.size(), why) && ValidPoints(s.points, why);
}

double CurveStart(const BsplineCurve& curve) { return curve.knots[curve.degree]; }
double CurveEnd(const BsplineCurve& curve) { return curve.knots[curve.points.size()]; }

Point3 EvaluateCurve(const BsplineCurve& curve, double t) {
    const int count = static_cast<int>(curve.points.size());
    const int span = FindSpan(curve.knots, curve.degree, count, t);
    Basis n{};
    BasisFunctions(curve.knots, curve.degree, span, t, n);
    Point3 sum;
    double weight = 0.0;
    for (int k = 0; k <= curve.degree; ++k) {
        int i = span - curve.degree + k;
        double w = curve.weights.empty() ? 1.0 : curve.weights[i];
        sum = sum + curve.points[i] * (n[k] * w);
        weight += n[k] * w;
    }
    return sum * (1.0 / weight);
}

SurfacePoint EvaluateSurface(const BsplineSurface& s, double u, double v) {
    const int countU = s.CountU(), countV = s.CountV();
    const int spanU = FindSpan(s.knotsU, s.degreeU, countU, u);
    const int spanV = FindSpan(s.knotsV, s.degreeV, countV, v);
    Basis nu{}, nv{}, du{}, dv{};
    BasisFunctions(s.knotsU, s.degreeU, spanU, u, nu);
    BasisFunctions(s.knotsV, s.degreeV, spanV, v, nv);
    BasisDerivatives(s.knotsU, s.degreeU, spanU, u, du);
    BasisDerivatives(s.knotsV, s.degreeV, spanV, v, dv);

    // Homogeneous sums A = sum N w P and W = sum N w, and their derivatives along u and v.
    Point3 a, aU, aV;
    double w = 0, wU = 0, wV = 0;
    for (int k = 0; k <= s.degreeU; ++k) {
        int i = spanU - s.degreeU + k;
        for (int l = 0; l <= s.degreeV; ++l) {
            int j = spanV - s.degreeV + l;
            size_t index = static_cast<size_t>(i) * countV + j;
            double weight = s.weights.empty() ? 1.0 : s.weights[index];
            const Point3& p = s.points[index];
            a = a + p * (nu[k] * nv[l] * weight);
            aU = aU + p * (du[k] * nv[l] * weight);
            aV = aV + p * (nu[k] * dv[l] * weight);
            w += nu[k] * nv[l] * weight;
            wU += du[k] * nv[l] * weight;
            wV += nu[k] * dv[l] * weight;
        }
    }
    SurfacePoint result;
    result.point = a * (1.0 / w);
    result.du = (aU - result.point * wU) * (1.0 / w);
    result.dv = (aV - result.point * wV) * (1.0 / w);
    return result;
}

}  // namespace sim
