// Exact shapes of the simulated host: (rational) B-spline curves and surfaces, as the host keeps
// them and hands them out as interface data, and their evaluation.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sim {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

inline Point3 operator+(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Point3 operator-(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Point3 operator*(Point3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Point3 a, Point3 b);
Point3 Cross(Point3 a, Point3 b);
double Length(Point3 a);

// A B-spline curve. A trim curve in a surface's parameter space keeps u in x and v in y, with z 0.
struct BsplineCurve {
    int degree = 1;
    std::vector<double> knots;    // points.size() + degree + 1 of them, non-decreasing
    std::vector<Point3> points;   // control points
    std::vector<double> weights;  // empty for a non-rational curve, else one per point (> 0)
};

// A B-spline surface patch. Control point (i, j), i along u and j along v, is
// points[i * countV + j]: v runs fastest, as the host keeps it.
struct BsplineSurface {
    int degreeU = 1, degreeV = 1;
    std::vector<double> knotsU, knotsV;
    std::vector<Point3> points;
    std::vector<double> weights;  // empty for a non-rational surface

    int CountU() const { return static_cast<int>(knotsU.size()) - degreeU - 1; }
    int CountV() const { return static_cast<int>(knotsV.size()) - degreeV - 1; }
    // Parameter domain: from knot[degree] to knot[count].
    double UMin() const { return knotsU[degreeU]; }
    double UMax() const { return knotsU[CountU()]; }
    double VMin() const { return knotsV[degreeV]; }
    double VMax() const { return knotsV[CountV()]; }
};

// Checks the counts, the knot order, a non-empty domain and positive finite weights. On failure
// says what is wrong in *why (when given). Evaluation requires a valid shape.
bool IsValidCurve(const BsplineCurve& curve, std::string* why = nullptr);
bool IsValidSurface(const BsplineSurface& surface, std::string* why = nullptr);

double CurveStart(const BsplineCurve& curve);  // knot[degree]
double CurveEnd(const BsplineCurve& curve);    // knot[count]

// Point of a valid curve at parameter t (clamped to the domain).
Point3 EvaluateCurve(const BsplineCurve& curve, double t);

struct SurfacePoint {
    Point3 point;
    Point3 du, dv;  // first partial derivatives
};

// Point and first derivatives of a valid surface at (u, v) (clamped to the domain).
SurfacePoint EvaluateSurface(const BsplineSurface& surface, double u, double v);

}  // namespace sim
