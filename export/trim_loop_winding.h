// The winding of a trim loop in the (u, v) plane, judged from points along its curves.
#pragma once

#include <vector>

#include "export/trim_point.h"
#include "toolkit/pro_toolkit.h"

// A UV B-spline as the host gives it: knots.size() == points.size() + degree + 1; weights empty
// for a curve without weights.
struct TrimBspline {
    int degree = 1;
    std::vector<double> knots;
    std::vector<TrimPoint> points;
    std::vector<double> weights;
};

// The points on each knot span of a curve that AppendCurvePoints takes, the span's start
// included and its end not.
constexpr int kSpanPoints = 8;

// Appends points on curve, weights applied, in its direction: kSpanPoints evenly spaced in the
// parameter across each knot span of its domain, then its end. A curve whose knots give no
// span (counts that disagree, knots that do not rise) appends its first and last control point.
void AppendCurvePoints(const TrimBspline& curve, std::vector<TrimPoint>& points);

// Whether the loop through points (cyclic, points along every curve of the loop in loop order,
// AppendCurvePoints) must be reversed to fit traversal: an external loop (1) is to run
// counter-clockwise, an internal one (-1) clockwise; other traversals are never reversed. The
// winding is the sign of the signed area of the polygon through the points (positive:
// counter-clockwise, u to the right and v up), which follows the curves themselves closely
// enough: their control polygon may enclose nothing where a fillet rounds off a corner, or cross
// itself where a wide arc of low weight has its middle control point far out. A loop of area
// 0, or of an area that is no number, has nothing to judge by and counts as clockwise.
bool LoopNeedsReversal(const std::vector<TrimPoint>& points, ProContourTraversal traversal);
