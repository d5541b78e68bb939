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

bool Meets(const TrimPoint& a, const TrimPoint& b)
{
    return std::fabs(a.u - b.u) < 1e-10 && std::fabs(a.v - b.v) < 1e-10;
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
            for (int i = 0; i < bspline.pointCount; ++i)
                points.push_back(PointOf(bspline.points[i]));
    if (!LoopNeedsReversal(points, traversal))
        return;

    // Each curve flips in its place, the old record released; one the host cannot reverse
    // leaves the loop.
    for (auto it = loop.begin(); it != loop.end();) {
        HeldCurvedata reversed = ReversedCopy(it->get());
        if (reversed != nullptr) {
            *it = std::move(reversed);
            ++it;
        } else {
            it = loop.erase(it);
        }
    }
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

namespace {

// One pass of the chaining over the waiting curves: each one whose ends meet the loop's within
// 1e-10 is placed. Answers whether any was.
bool PlaceMeetingCurves(const std::vector<TrimCurveEnds>& ends, std::list<size_t>& loop,
                        std::list<size_t>& waiting)
{
    bool placedAny = false;
    for (auto c = waiting.begin(); c != waiting.end();) {
        bool placed = false;
        if (loop.empty()) {
            loop.push_back(*c);
            placed = true;
        } else {
            for (auto r = loop.begin(); r != loop.end(); ++r) {
                if (Meets(ends[*r].last, ends[*c].first)) {
                    loop.insert(std::next(r), *c);
                    placed = true;
                    break;
                }
                if (Meets(ends[*r].first, ends[*c].last)) {
                    loop.insert(r, *c);
                    placed = true;
                    break;
                }
            }
        }
        if (placed) {
            c = waiting.erase(c);
            placedAny = true;
        } else {
            ++c;
        }
    }
    return placedAny;
}

// The gap from a to b in units of the largest gap bridged: the larger of its u and v parts,
// each divided by its bound. 1 or more (never bridged) when it is not a number.
double GapInBounds(const TrimPoint& a, const TrimPoint& b, const TrimPoint& bound)
{
    // A bound of 0 (a loop without extent in u or v) still takes a part of 0.
    auto part = [](double gap, double limit) { return gap == 0 ? 0 : gap / limit; };
    const double u = part(std::fabs(a.u - b.u), bound.u);
    const double v = part(std::fabs(a.v - b.v), bound.v);
    return std::isnan(u + v) ? 1 : std::max(u, v);
}

// Attaches to an open end of the non-empty loop the waiting curve nearest it, when the gap is
// under the bound. Answers whether one was attached.
bool BridgeNearestGap(const std::vector<TrimCurveEnds>& ends, const TrimPoint& bound,
                      std::list<size_t>& loop, std::list<size_t>& waiting)
{
    const TrimPoint& loopFirst = ends[loop.front()].first;
    const TrimPoint& loopLast = ends[loop.back()].last;
    double nearest = 1;
    auto best = waiting.end();
    bool atLoopEnd = true;
    for (auto c = waiting.begin(); c != waiting.end(); ++c) {
        const double afterLast = GapInBounds(loopLast, ends[*c].first, bound);
        const double beforeFirst = GapInBounds(ends[*c].last, loopFirst, bound);
        if (afterLast < nearest || beforeFirst < nearest) {
            atLoopEnd = afterLast <= beforeFirst;
            nearest = std::min(afterLast, beforeFirst);
            best = c;
        }
    }
    if (best == waiting.end())
        return false;
    if (atLoopEnd)
        loop.push_back(*best);
    else
        loop.push_front(*best);
    waiting.erase(best);
    return true;
}

}  // namespace

std::vector<size_t> ChainOrder(const std::vector<TrimCurveEnds>& ends, TrimPoint loopSize)
{
    std::list<size_t> loop;
    std::list<size_t> waiting;
    for (size_t i = 0; i < ends.size(); ++i)
        waiting.push_back(i);

    // Passes over the curves still waiting. When one places nothing, the nearest curve across a
    // gap within the bound goes next; when there is none, the curves left can never be placed
    // and are dropped.
    const TrimPoint bound = {kBridgedGap * loopSize.u, kBridgedGap * loopSize.v};
    while (!waiting.empty())
        if (!PlaceMeetingCurves(ends, loop, waiting) &&
            !BridgeNearestGap(ends, bound, loop, waiting))
            break;
    return std::vector<size_t>(loop.begin(), loop.end());
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

void MirrorKnots(const double* knots, int count, double* mirrored)
{
    if (count <= 0)
        return;
    mirrored[0] = knots[0];
    for (int i = 1; i < count; ++i)
        mirrored[i] = mirrored[i - 1] + (knots[count - i] - knots[count - i - 1]);
}
