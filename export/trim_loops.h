// The trim loops of a NURBS surface: the contours of the host surface it is paired with, each
// one a loop of UV B-spline curves chained end to start and wound as the contour's traversal
// asks, flattened into the plug-in object's NurbsTrimBuffers.
//
// The two visit actions run inside the host's contour and edge visits that the NURBS export
// starts (export/nurbs_surfaces.cpp); they reach the plug-in object through
// GetPluginApplication(). The loop arithmetic (chaining, winding, knot mirroring) is kept
// in free functions on plain values so that it can be tested without a host.
#pragma once

#include <list>
#include <map>
#include <set>
#include <vector>

#include "hostcall/host_held.h"
#include "toolkit/pro_toolkit.h"

// Interface edge id -> the edge's 0-based index in the interface data; one solid's.
typedef std::map<int, int> EdgeIndexMap;

// The sides already taken, in the contour being visited, of each edge with the same surface on
// both sides: interface edge id -> bit (1 << side) per side taken.
typedef std::map<int, unsigned> SeamSidesTaken;

// The application data of one surface's contour visit and the edge visits inside it. Built for
// one interface surface and destroyed after its object is written.
struct ContourVisitData {
    ProSolid solid = nullptr;
    ProSurface* currentSurface = nullptr;       // the host surface being written
    // The host id of currentSurface, as the surface visit had it: only a surface whose id the
    // host gave is written with NURBS objects.
    int currentSurfaceId = 0;
    ProIntfData* interfaceData = nullptr;       // the solid's interface data
    const EdgeIndexMap* edgeIndexMap = nullptr; // the solid's edge ids -> indices
    // Ids of every surface grouped for this solid. Pointed at rather than copied: the set is
    // complete before the first NURBS object is written and outlives every visit.
    const std::set<int>* exportedSurfaceIds = nullptr;
    // UV curves of the contour being visited, in edge order, until the contour's action takes
    // them for its loop. Curves left here when the edge visit fails on the way go with the visit
    // data.
    std::list<HeldCurvedata> edgeCurves;
    // The seam sides taken so far in the contour being visited.
    SeamSidesTaken seamSidesTaken;
};

// ---- Visit actions ------------------------------------------------------------------------------
// A failure of either answers PRO_TK_GENERAL_ERROR (hostcall/host_callback_guard.h).

// Contour action of ProSurfaceContourVisit: collects one contour as one loop of the trim
// buffers. data is a ContourVisitData. Answers PRO_TK_NO_ERROR.
ProError CollectSurfaceTrimLoop(ProContour contour, ProError status, ProAppData data);

// Edge action of ProContourEdgeVisit: appends the edge's UV B-spline on the current surface's
// side (reversed when the edge runs against it) to data's edgeCurves, or nothing when the edge
// has no usable curve. data is a ContourVisitData. Answers PRO_TK_NO_ERROR.
ProError CollectContourEdgeCurve(ProEdge edge, ProError status, ProAppData data);

// ---- Loop operations on host curve records -----------------------------------------------------

// Orders one contour's curves so that each one's last control point meets the next one's first,
// or lies nearest it across a gap small beside the loop (ChainOrder); curves are never reversed
// to fit. The ones it cannot place are released, the rest handed back in chained order; on a
// failure, all are released.
std::list<HeldCurvedata> ChainTrimLoop(std::list<HeldCurvedata> curves);

// Reverses the loop when its winding does not fit traversal (LoopNeedsReversal): every curve
// runs backwards, and the curves come in the reverse order, so that each still ends where the
// next one starts. A curve the host cannot reverse is released and leaves the loop. On a failure
// every curve not released is still in loop.
void OrientTrimLoop(std::list<HeldCurvedata>& loop, ProContourTraversal traversal);

// Fills target (made by the caller with ProCurvedataAlloc) with source run backwards: knots
// mirrored within their span, control points and weights in reverse order. False, target left
// as it was, when source is no B-spline whose counts agree or the host refuses the new curve.
bool ReverseBsplineCurve(ProCurvedata* source, ProCurvedata* target);

// ---- The arithmetic, on plain values ------------------------------------------------------------

// Which side of edge edgeId, whose sides lie on the surfaces surfaceIds, gives the current
// surface its curve: the side on the current surface (0 before 1), else the first side on another
// exported surface; -1 when neither. A surface closed on itself (a full revolution) meets itself
// along a seam: one edge with that surface on both sides, which the contour runs along twice,
// once per side. Such an edge gives the side the rule picks the first time it comes in a contour
// and the other side the second time, so that both of its curves enter the loop (which occurrence
// gets which side does not matter: the chaining puts each curve where its ends meet); after that
// it gives nothing. taken holds the seam sides of the contour so far and is updated.
int ChooseEdgeSide(int edgeId, const int surfaceIds[2], int currentId,
                   const std::set<int>* exportedIds, SeamSidesTaken& taken);

struct TrimPoint {
    double u;
    double v;
};

// First and last control point of one curve.
struct TrimCurveEnds {
    TrimPoint first;
    TrimPoint last;
};

// The largest gap between consecutive curves of a loop that the chaining bridges, as a fraction
// of the loop's extent. A CAD host's trim curves meet to within 1e-10 as a rule, but not always:
// edges of imported parts were seen to miss by up to 8e-8. A hundred-thousandth of the face
// bridges that on faces down to a hundredth of a unit across, and is far below anything a
// renderer can show; a curve of some other boundary, or one running the wrong way, misses by a
// good part of the face and is still dropped. The bound is used only where no curve meets within
// 1e-10, and then for the nearest curve, so tiny edges of their own keep their places.
constexpr double kBridgedGap = 1e-5;

// The chaining of ChainTrimLoop on the curves' ends: the positions of the curves placed, in
// loop order. Passes over the curves not yet placed, in their order: the first one starts the
// loop; each other goes right after the first loop curve whose last point meets its first
// point, else right before the first whose first point meets its last point (within 1e-10 in
// u and v), else waits for the next pass. When a pass places nothing, the waiting curve whose
// first point lies nearest the loop's last point, or whose last point lies nearest its first
// (the first given of those as near), is attached there, after the loop's last curve when that
// gap is no larger, if it is within kBridgedGap of loopSize in u and in v; then the passes go
// on. When no curve is that near, the waiting curves are dropped. loopSize, not negative, is the
// extent of all the loop's control points in u and v. The passes are followed without walking
// the curves again and again: the ends are found through grids, so that the time grows about as
// n log n with the n curves, whatever the gaps.
std::vector<size_t> ChainOrder(const std::vector<TrimCurveEnds>& ends, TrimPoint loopSize);

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

// The knots of a reversed curve: k'0 = k0, k'i = k'(i-1) + (k(n-i) - k(n-i-1)).
void MirrorKnots(const double* knots, int count, double* mirrored);
