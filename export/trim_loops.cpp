#include "export/trim_loops.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "plugin/plugin_application.h"
#include "hostcall/host_callback_guard.h"
#include "hostcall/host_held.h"

namespace {

// The B-spline of a curve record as the host copies it out. The host's copies are released
// when this goes out of scope.
class BsplineCopy {
public:
    BsplineCopy() = default;
    BsplineCopy(const BsplineCopy&) = delete;
    BsplineCopy& operator=(const BsplineCopy&) = delete;
    ~BsplineCopy() { Release(); }

    // True when the host gave the curve as a B-spline whose counts agree with each other
    // (knots = points + order): anything else would make the readers of the arrays run past
    // their ends.
    bool Read(ProCurvedata* curve)
    {
        Release();
        if (ProBsplinedataGet(curve, &degree, &knots, &weights, &points, &knotCount,
                              &pointCount) != PRO_TK_NO_ERROR)
            return false;
        return degree >= 1 && pointCount >= 1 && knotCount == pointCount + degree + 1 &&
               knots != nullptr && points != nullptr;
    }

    // The curve as plain values.
    TrimBspline Curve() const
    {
        TrimBspline curve;
        curve.degree = degree;
        curve.knots.assign(knots, knots + knotCount);
        for (int i = 0; i < pointCount; ++i)
            curve.points.push_back({points[i][0], points[i][1]});
        if (weights != nullptr)
            curve.weights.assign(weights, weights + pointCount);
        return curve;
    }

    int degree = 0;
    double* knots = nullptr;
    double* weights = nullptr;  // null for a curve without weights
    ProPoint3d* points = nullptr;
    int knotCount = 0;
    int pointCount = 0;

private:
    void Release()
    {
        for (void* array : {static_cast<void*>(knots), static_cast<void*>(weights),
                            static_cast<void*>(points)}) {
            ProArray host = array;
            if (host != nullptr)
                ProArrayFree(&host);
        }
        knots = weights = nullptr;
        points = nullptr;
        knotCount = pointCount = 0;
    }
};

// A curve record made by the host; null when it made none.
HeldCurvedata NewCurve()
{
    ProCurvedata* curve = nullptr;
    if (ProCurvedataAlloc(&curve) != PRO_TK_NO_ERROR)
        return nullptr;
    return HeldCurvedata(curve);
}

// A new record holding source run backwards; null (nothing left behind) when it cannot be made.
HeldCurvedata ReversedCopy(ProCurvedata* source)
{
    HeldCurvedata reversed = NewCurve();
    if (reversed != nullptr && !ReverseBsplineCurve(source, reversed.get()))
        reversed.reset();
    return reversed;
}

// A host array of count elements of size bytes; null when the host made none.
void* NewHostArray(int count, int size)
{
    ProArray array = nullptr;
    return ProArrayAlloc(count, size, 1, &array) == PRO_TK_NO_ERROR ? array : nullptr;
}

TrimPoint PointOf(const ProPoint3d& point) { return {point[0], point[1]}; }

// The extent in u and v of the points added.
class LoopExtent {
public:
    void Add(const TrimPoint& point)
    {
        low_ = {std::min(low_.u, point.u), std::min(low_.v, point.v)};
        high_ = {std::max(high_.u, point.u), std::max(high_.v, point.v)};
    }
    // 0 in both when no point was added.
    TrimPoint Size() const
    {
        return high_.u < low_.u ? TrimPoint{0, 0} : TrimPoint{high_.u - low_.u, high_.v - low_.v};
    }

private:
    TrimPoint low_ = {std::numeric_limits<double>::infinity(),
                      std::numeric_limits<double>::infinity()};
    TrimPoint high_ = {-std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()};
};

// Appends one curve of the loop whose count is trim_nedges[loop] to the trim arrays.
void AppendTrimCurve(NurbsTrimBuffers& buffers, size_t loop, const BsplineCopy& curve)
{
    buffers.edge_order.push_back(curve.degree + 1);
    double smallest = std::numeric_limits<double>::max();
    double largest = -std::numeric_limits<double>::max();
    for (int i = 0; i < curve.knotCount; ++i) {
        const double knot = curve.knots[i];
        buffers.edge_knot.push_back(knot);
        if (knot < smallest)
            smallest = knot;
        if (knot > largest)
            largest = knot;
    }
    buffers.edge_nknots.push_back(curve.knotCount);
    buffers.trim_nedges[loop] += 1;
    buffers.edge_min.push_back(smallest);
    buffers.edge_max.push_back(largest);
    for (int i = 0; i < curve.pointCount; ++i) {
        buffers.edge_uvw.push_back(curve.points[i][0]);
        buffers.edge_uvw.push_back(curve.points[i][1]);
        buffers.edge_uvw.push_back(curve.weights != nullptr ? curve.weights[i] : 1.0);
    }
}

// The side of an edge on the current surface, else the first on another exported surface; -1
// when neither.
int SideOnExportedSurface(const int surfaceIds[2], int currentId,
                          const std::set<int>* exportedIds)
{
    for (int side = 0; side < 2; ++side)
        if (surfaceIds[side] == currentId)
            return side;
    if (exportedIds != nullptr)
        for (int side = 0; side < 2; ++side)
            if (exportedIds->count(surfaceIds[side]) != 0)
                return side;
    return -1;
}

// The UV curve of one interface edge on the current surface, turned to run along it; null when
// the edge has none that is a B-spline. The curve not chosen is released.
HeldCurvedata EdgeCurveOnSurface(ProEdgedata* edge, ContourVisitData& visit)
{
    HeldCurvedata curves[2] = {NewCurve(), NewCurve()};
    ProCurvedata* records[2] = {curves[0].get(), curves[1].get()};
    int id = 0;
    int surfaceIds[2] = {0, 0};
    ProEdgeDir directions[2] = {0, 0};
    int side = -1;
    if (ProEdgedataGet(edge, &id, surfaceIds, directions, nullptr, records, nullptr) ==
        PRO_TK_NO_ERROR) {
        side = ChooseEdgeSide(id, surfaceIds, visit.currentSurfaceId, visit.exportedSurfaceIds,
                              visit.seamSidesTaken);
    }
    // The curve not chosen goes back to the host with curves.
    HeldCurvedata chosen;
    if (side >= 0)
        chosen = std::move(curves[side]);
    if (chosen == nullptr)
        return nullptr;

    ProEnttype type = 0;
    BsplineCopy check;
    if (ProCurvedataTypeGet(chosen.get(), &type) != PRO_TK_NO_ERROR ||
        type != PRO_ENT_B_SPLINE || !check.Read(chosen.get()))
        return nullptr;
    if (directions[side] != 1)
        return chosen;
    return ReversedCopy(chosen.get());
}

}  // namespace

// ---- Visit actions ------------------------------------------------------------------------------

namespace {

ProError CollectTrimLoop(ProContour contour, ProAppData data)
{
    auto& visit = *static_cast<ContourVisitData*>(data);
    NurbsTrimBuffers& buffers = GetPluginApplication()->trimBuffers;

    // A traversal the host cannot tell leaves the loop wound as its edges run, as an outer one.
    ProContourTraversal traversal = 0;
    ProContourTraversalGet(contour, &traversal);

    buffers.trim_nedges.push_back(0);
    const size_t loop = buffers.trim_nedges.size() - 1;
    visit.seamSidesTaken.clear();
    CallRunningCallbacks(ProContourEdgeVisit, *visit.currentSurface, contour,
                         CollectContourEdgeCurve, nullptr, data);
    std::list<HeldCurvedata> curves = ChainTrimLoop(std::move(visit.edgeCurves));
    visit.edgeCurves.clear();
    OrientTrimLoop(curves, traversal);

    // Every curve here passed the B-spline test of CollectContourEdgeCurve; one the host still
    // refuses is left out, so the loop keeps its trim_inside entry and the arrays their shape.
    BsplineCopy bspline;
    for (const HeldCurvedata& curve : curves)
        if (bspline.Read(curve.get()))
            AppendTrimCurve(buffers, loop, bspline);
    buffers.trim_inside.push_back(traversal != PRO_CONTOUR_TRAV_INTERNAL ? 1 : 0);
    return PRO_TK_NO_ERROR;
}

ProError CollectEdgeCurve(ProEdge edge, ProAppData data)
{
    auto& visit = *static_cast<ContourVisitData*>(data);
    int edgeId = 0;
    ProEdgeIdGet(edge, &edgeId);
    // An edge the interface data does not list gives no curve: taking another edge's in its
    // place would put a piece of some other boundary into the loop.
    if (visit.edgeIndexMap == nullptr)
        return PRO_TK_NO_ERROR;
    const auto found = visit.edgeIndexMap->find(edgeId);
    if (found == visit.edgeIndexMap->end())
        return PRO_TK_NO_ERROR;
    ProEdgedata* record = nullptr;
    if (ProIntfDataEdgeGet(visit.interfaceData, found->second, &record) != PRO_TK_NO_ERROR ||
        record == nullptr)
        return PRO_TK_NO_ERROR;
    const HeldEdgedata heldRecord(record);
    if (HeldCurvedata curve = EdgeCurveOnSurface(record, visit))
        visit.edgeCurves.push_back(std::move(curve));
    return PRO_TK_NO_ERROR;
}

}  // namespace

ProError CollectSurfaceTrimLoop(ProContour contour, ProError /*status*/, ProAppData data)
{
    return GuardVisitCallback([&] { return CollectTrimLoop(contour, data); });
}

ProError CollectContourEdgeCurve(ProEdge edge, ProError /*status*/, ProAppData data)
{
    return GuardVisitCallback([&] { return CollectEdgeCurve(edge, data); });
}

// ---- Loop operations on host curve records -----------------------------------------------------

std::list<HeldCurvedata> ChainTrimLoop(std::list<HeldCurvedata> curves)
{
    // Each curve stays in curves until it is moved into the loop: the ones left there, which
    // cannot be placed, are released on the way out. The ends of every curve the host can give;
    // the others cannot be placed.
    std::vector<std::list<HeldCurvedata>::iterator> readable;
    std::vector<TrimCurveEnds> ends;
    LoopExtent extent;
    BsplineCopy bspline;
    for (auto curve = curves.begin(); curve != curves.end(); ++curve) {
        if (bspline.Read(curve->get())) {
            readable.push_back(curve);
            const ProPoint3d* points = bspline.points;
            ends.push_back({PointOf(points[0]), PointOf(points[bspline.pointCount - 1])});
            for (int i = 0; i < bspline.pointCount; ++i)
                extent.Add(PointOf(points[i]));
        }
    }

    std::list<HeldCurvedata> loop;
    for (size_t position : ChainOrder(ends, extent.Size()))
        loop.splice(loop.end(), curves, readable[position]);
    return loop;
}

void OrientTrimLoop(std::list<HeldCurvedata>& loop, ProContourTraversal traversal)
{
    if (traversal != PRO_CONTOUR_TRAV_EXTERNAL && traversal != PRO_CONTOUR_TRAV_INTERNAL)
        return;
    std::vector<TrimPoint> points;
    BsplineCopy bspline;
    for (const HeldCurvedata& curve : loop)
        if (bspline.Read(curve.get()))
            AppendCurvePoints(bspline.Curve(), points);
    if (!LoopNeedsReversal(points, traversal))
        return;

    // Each curve flips in its place, the old record released (one the host cannot reverse
    // leaves the loop); then the order turns round. Nothing here allocates.
    for (auto it = loop.begin(); it != loop.end();) {
        HeldCurvedata reversed = ReversedCopy(it->get());
        if (reversed != nullptr) {
            *it = std::move(reversed);
            ++it;
        } else {
            it = loop.erase(it);
        }
    }
    loop.reverse();
}

bool ReverseBsplineCurve(ProCurvedata* source, ProCurvedata* target)
{
    BsplineCopy from;
    if (!from.Read(source))
        return false;
    const int knotCount = from.knotCount;
    const int pointCount = from.pointCount;
    HeldHostArray knots(NewHostArray(knotCount, sizeof(double)));
    HeldHostArray points(knots ? NewHostArray(pointCount, sizeof(ProPoint3d)) : nullptr);
    HeldHostArray weights(points && from.weights != nullptr
                                    ? NewHostArray(pointCount, sizeof(double))
                                    : nullptr);
    if (points == nullptr || (from.weights != nullptr && weights == nullptr))
        return false;

    MirrorKnots(from.knots, knotCount, static_cast<double*>(knots.get()));
    auto* newPoints = static_cast<ProPoint3d*>(points.get());
    auto* newWeights = static_cast<double*>(weights.get());
    for (int j = 0; j < pointCount; ++j) {
        const int from_j = pointCount - 1 - j;
        for (int k = 0; k < 3; ++k)
            newPoints[j][k] = from.points[from_j][k];
        if (newWeights != nullptr)
            newWeights[j] = from.weights[from_j];
    }
    if (ProBsplinedataInit(from.degree, static_cast<double*>(knots.get()), newWeights, newPoints,
                           knotCount, pointCount, target) != PRO_TK_NO_ERROR)
        return false;
    // The arrays are target's now.
    knots.release();
    points.release();
    weights.release();
    return true;
}

// ---- The arithmetic, on plain values ------------------------------------------------------------

int ChooseEdgeSide(int edgeId, const int surfaceIds[2], int currentId,
                   const std::set<int>* exportedIds, SeamSidesTaken& taken)
{
    int side = SideOnExportedSurface(surfaceIds, currentId, exportedIds);
    if (side < 0 || surfaceIds[0] != surfaceIds[1])
        return side;
    unsigned& sides = taken[edgeId];
    if ((sides & (1u << side)) != 0)
        side = 1 - side;
    if ((sides & (1u << side)) != 0)
        return -1;
    sides |= 1u << side;
    return side;
}

void MirrorKnots(const double* knots, int count, double* mirrored)
{
    if (count <= 0)
        return;
    mirrored[0] = knots[0];
    for (int i = 1; i < count; ++i)
        mirrored[i] = mirrored[i - 1] + (knots[count - i] - knots[count - i - 1]);
}
