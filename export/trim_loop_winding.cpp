#include "export/trim_loop_winding.h"

#include <cstddef>

namespace {

// The point of curve at parameter t within its knot span [knots[span], knots[span + 1]], by de
// Boor's steps on the control points in homogeneous form (each one times its weight, beside
// the weight), divided by the weight at the end. scratch holds degree + 1 of them.
TrimPoint PointAt(const TrimBspline& curve, size_t span, double t, std::vector<double>& scratch)
{
    const size_t degree = static_cast<size_t>(curve.degree);
    const std::vector<double>& knots = curve.knots;
    scratch.resize(3 * (degree + 1));
    for (size_t i = 0; i <= degree; ++i) {
        const size_t point = span - degree + i;
        const double weight = curve.weights.empty() ? 1.0 : curve.weights[point];
        scratch[3 * i] = curve.points[point].u * weight;
        scratch[3 * i + 1] = curve.points[point].v * weight;
        scratch[3 * i + 2] = weight;
    }
    for (size_t step = 1; step <= degree; ++step)
        for (size_t i = degree; i >= step; --i) {
            const size_t knot = span - degree + i;
            const double alpha =
                (t - knots[knot]) / (knots[knot + degree + 1 - step] - knots[knot]);
            for (size_t k = 0; k < 3; ++k)
                scratch[3 * i + k] = (1 - alpha) * scratch[3 * (i - 1) + k] +
                                     alpha * scratch[3 * i + k];
        }
    const double* point = &scratch[3 * degree];
    return {point[0] / point[2], point[1] / point[2]};
}

}  // namespace

void AppendCurvePoints(const TrimBspline& curve, std::vector<TrimPoint>& points)
{
    const size_t count = curve.points.size();
    const bool counted = curve.degree >= 1 && count > static_cast<size_t>(curve.degree) &&
                         curve.knots.size() == count + curve.degree + 1 &&
                         (curve.weights.empty() || curve.weights.size() == count);
    std::vector<double> scratch;
    const size_t before = points.size();
    size_t lastSpan = 0;
    // The spans of the domain, from knot degree to knot count; empty ones give no points.
    for (size_t span = curve.degree; counted && span < count; ++span) {
        const double start = curve.knots[span];
        const double end = curve.knots[span + 1];
        if (!(start < end))
            continue;
        for (int i = 0; i < kSpanPoints; ++i) {
            const double t = start + (end - start) * i / kSpanPoints;
            points.push_back(PointAt(curve, span, t, scratch));
        }
        lastSpan = span;
    }
    if (points.size() > before) {
        points.push_back(PointAt(curve, lastSpan, curve.knots[lastSpan + 1], scratch));
    } else if (count > 0) {
        points.push_back(curve.points.front());
        points.push_back(curve.points.back());
    }
}

bool LoopNeedsReversal(const std::vector<TrimPoint>& points, ProContourTraversal traversal)
{
    // Twice the signed area (shoelace), taken about the first point so that the products stay
    // as small as the loop even far from the origin.
    double area = 0.0;
    for (size_t k = 1; k + 1 < points.size(); ++k) {
        const TrimPoint a = {points[k].u - points[0].u, points[k].v - points[0].v};
        const TrimPoint b = {points[k + 1].u - points[0].u, points[k + 1].v - points[0].v};
        area += a.u * b.v - b.u * a.v;
    }
    const bool counterClockwise = area > 0;
    return (traversal == PRO_CONTOUR_TRAV_EXTERNAL && !counterClockwise) ||
           (traversal == PRO_CONTOUR_TRAV_INTERNAL && counterClockwise);
}
