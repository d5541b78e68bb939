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

#include "export/trim_loop_chaining.h"
#include "export/trim_loop_winding.h"
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

// The knots of a reversed curve: k'0 = k0, k'i = k'(i-1) + (k(n-i) - k(n-i-1)).
void MirrorKnots(const double* knots, int count, double* mirrored);
