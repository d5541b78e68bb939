#include "export/trim_loops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
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

namespace {

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

// The curve ends of a loop filed by cells of a grid, to find the ends near a point without
// looking at the others. An end is numbered 2 * curve for the curve's first point and
// 2 * curve + 1 for its last. A cell is at least twice the reach asked about in each direction,
// and large enough beside the coordinates that the rounding of their division by it stays far
// below one cell: two points within reach lie in the same or in neighbouring cells. Points
// that are no finite numbers are not filed; they meet nothing and no gap to them is bridged.
class EndGrid {
public:
    // largest: the largest magnitude of a finite coordinate of ends.
    EndGrid(const std::vector<TrimCurveEnds>& ends, TrimPoint reach, double largest)
        : cell_{CellSize(reach.u, largest), CellSize(reach.v, largest)}
    {
        for (size_t curve = 0; curve < ends.size(); ++curve) {
            File(ends[curve].first, 2 * curve);
            File(ends[curve].last, 2 * curve + 1);
        }
    }

    // Calls visit(end) for every end filed within reach of point, and for some others.
    template <typename Visit>
    void ForEachNear(const TrimPoint& point, Visit visit) const
    {
        Cell center;
        if (!CellOf(point, center))
            return;
        for (int64_t du = -1; du <= 1; ++du)
            for (int64_t dv = -1; dv <= 1; ++dv) {
                const auto found = cells_.find({center.first + du, center.second + dv});
                if (found != cells_.end())
                    for (size_t end : found->second)
                        visit(end);
            }
    }

private:
    typedef std::pair<int64_t, int64_t> Cell;
    // Mixes all bits of both numbers into the low ones, which pick the bucket: the cells of a
    // loop's ends lie in long rows with regular steps.
    struct CellHash {
        size_t operator()(const Cell& cell) const
        {
            uint64_t h = static_cast<uint64_t>(cell.first) * 0x9E3779B97F4A7C15u +
                         static_cast<uint64_t>(cell.second);
            h = (h ^ (h >> 32)) * 0xD6E8FEB86659FD93u;
            return static_cast<size_t>(h ^ (h >> 32));
        }
    };

    // Twice the reach (a reach that is no number counts as 0), at least 2^-49 of the largest
    // coordinate, and never 0. An infinite reach makes one cell of the whole plane.
    static double CellSize(double reach, double largest)
    {
        return 2 * std::fmax(std::fmax(reach, 0x1p-50 * largest), 1e-300);
    }

    bool CellOf(const TrimPoint& point, Cell& cell) const
    {
        if (!std::isfinite(point.u) || !std::isfinite(point.v))
            return false;
        cell = {static_cast<int64_t>(std::floor(point.u / cell_.u)),
                static_cast<int64_t>(std::floor(point.v / cell_.v))};
        return true;
    }

    void File(const TrimPoint& point, size_t end)
    {
        Cell cell;
        if (CellOf(point, cell))
            cells_[cell].push_back(end);
    }

    TrimPoint cell_;
    std::unordered_map<Cell, std::vector<size_t>, CellHash> cells_;
};

// The curves placed so far, linked in loop order. Each carries a label that grows along the
// loop, so that which of two placed curves comes first is one comparison; when a curve goes
// between two whose labels leave no room, the whole loop is labelled afresh.
class LinkedLoop {
public:
    explicit LinkedLoop(size_t count) : next_(count, kNone), previous_(count, kNone), label_(count)
    {
    }

    bool Empty() const { return first_ == kNone; }
    size_t First() const { return first_; }
    size_t Last() const { return last_; }
    bool Precedes(size_t a, size_t b) const { return label_[a] < label_[b]; }

    void InsertAfter(size_t placed, size_t curve) { Link(placed, curve, next_[placed]); }
    void InsertBefore(size_t placed, size_t curve) { Link(previous_[placed], curve, placed); }
    void PushBack(size_t curve) { Link(last_, curve, kNone); }
    void PushFront(size_t curve) { Link(kNone, curve, first_); }

    std::vector<size_t> Order() const
    {
        std::vector<size_t> order;
        for (size_t curve = first_; curve != kNone; curve = next_[curve])
            order.push_back(curve);
        return order;
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);
    static constexpr uint64_t kStep = uint64_t(1) << 32;  // between neighbours labelled afresh

    // Puts curve between before and after (either kNone at an end of the loop).
    void Link(size_t before, size_t curve, size_t after)
    {
        if (!LabelBetween(before, after, label_[curve])) {
            Relabel();
            LabelBetween(before, after, label_[curve]);
        }
        previous_[curve] = before;
        next_[curve] = after;
        (before != kNone ? next_[before] : first_) = curve;
        (after != kNone ? previous_[after] : last_) = curve;
    }

    // A label between those of before and after, a step away from the one neighbour at an end
    // of the loop; false when there is none.
    bool LabelBetween(size_t before, size_t after, uint64_t& label) const
    {
        const uint64_t low = before != kNone ? label_[before] : 0;
        const uint64_t high = after != kNone ? label_[after] : UINT64_MAX;
        if (high - low < 2)
            return false;
        const uint64_t room = (high - low) / 2;
        if (before == kNone && after == kNone)
            label = uint64_t(1) << 63;
        else if (after == kNone)
            label = low + std::min(room, kStep);
        else if (before == kNone)
            label = high - std::min(room, kStep);
        else
            label = low + room;
        return true;
    }

    // Labels the loop's curves a step apart (less when they are too many), around the middle.
    void Relabel()
    {
        size_t count = 0;
        for (size_t curve = first_; curve != kNone; curve = next_[curve])
            ++count;
        const uint64_t step = std::min<uint64_t>(kStep, UINT64_MAX / (count + 2));
        uint64_t label = (uint64_t(1) << 63) - step * (count / 2);
        for (size_t curve = first_; curve != kNone; curve = next_[curve], label += step)
            label_[curve] = label;
    }

    std::vector<size_t> next_;
    std::vector<size_t> previous_;
    std::vector<uint64_t> label_;
    size_t first_ = kNone;
    size_t last_ = kNone;
};

// The largest magnitude of the finite coordinates of ends; 0 when there is none.
double LargestCoordinate(const std::vector<TrimCurveEnds>& ends)
{
    double largest = 0;
    for (const TrimCurveEnds& curve : ends)
        for (double value : {curve.first.u, curve.first.v, curve.last.u, curve.last.v})
            if (std::isfinite(value))
                largest = std::max(largest, std::fabs(value));
    return largest;
}

// The chaining of ChainOrder. The passes over the waiting curves are followed without
// walking them: a waiting curve can be placed only once a placed curve meets it, so each
// placement files the waiting curves it meets as ready, and a pass goes from ready curve to
// ready curve in the order the curves were given. Where a curve goes, and which one crosses a
// gap, comes from the ends near the point in question, found through grids of the ends.
class Chaining {
public:
    Chaining(const std::vector<TrimCurveEnds>& ends, TrimPoint bound)
        : ends_(ends),
          bound_(bound),
          meetGrid_(ends, {kMeetingGap, kMeetingGap}, LargestCoordinate(ends)),
          gapGrid_(ends, bound, LargestCoordinate(ends)),
          placed_(ends.size(), false),
          loop_(ends.size())
    {
    }

    std::vector<size_t> Order()
    {
        if (ends_.empty())
            return {};
        // The first pass starts the loop with the first curve.
        Place(0);
        size_t passedBy = 0;    // the last curve a pass came to
        bool passStarts = false;
        for (;;) {
            const auto next = passStarts ? ready_.begin() : ready_.upper_bound(passedBy);
            passStarts = false;
            if (next != ready_.end()) {
                passedBy = *next;
                Place(passedBy);
            } else if (!ready_.empty() || BridgeNearestGap()) {
                passStarts = true;
            } else {
                break;  // the curves still waiting can never be placed
            }
        }
        return loop_.Order();
    }

private:
    static constexpr double kMeetingGap = 1e-10;

    static bool Meets(const TrimPoint& a, const TrimPoint& b)
    {
        return std::fabs(a.u - b.u) < kMeetingGap && std::fabs(a.v - b.v) < kMeetingGap;
    }

    // Puts curve right after the first placed curve, in loop order, whose last point meets its
    // first point or right before it when that one's first point meets its last point instead.
    void Place(size_t curve)
    {
        const TrimCurveEnds& c = ends_[curve];
        size_t first = ends_.size();
        auto consider = [&](size_t end) {
            const size_t r = end / 2;
            if (placed_[r] && (first == ends_.size() || loop_.Precedes(r, first)) &&
                (end % 2 == 1 ? Meets(ends_[r].last, c.first) : Meets(ends_[r].first, c.last)))
                first = r;
        };
        meetGrid_.ForEachNear(c.first, consider);
        meetGrid_.ForEachNear(c.last, consider);
        if (loop_.Empty())
            loop_.PushBack(curve);
        else if (Meets(ends_[first].last, c.first))
            loop_.InsertAfter(first, curve);
        else
            loop_.InsertBefore(first, curve);
        Placed(curve);
    }

    // Notes curve as placed and the waiting curves it meets as ready.
    void Placed(size_t curve)
    {
        placed_[curve] = true;
        ready_.erase(curve);
        const TrimCurveEnds& r = ends_[curve];
        auto ready = [&](size_t end) {
            const size_t c = end / 2;
            if (!placed_[c] &&
                (end % 2 == 0 ? Meets(r.last, ends_[c].first) : Meets(ends_[c].last, r.first)))
                ready_.insert(c);
        };
        meetGrid_.ForEachNear(r.last, ready);
        meetGrid_.ForEachNear(r.first, ready);
    }

    // Attaches to an open end of the loop the waiting curve nearest it, the first given of
    // those as near, when the gap is under the bound. Answers whether one was attached.
    bool BridgeNearestGap()
    {
        const TrimPoint& loopFirst = ends_[loop_.First()].first;
        const TrimPoint& loopLast = ends_[loop_.Last()].last;
        double nearest = 1;
        size_t best = ends_.size();
        auto consider = [&](size_t end) {
            const size_t c = end / 2;
            if (placed_[c])
                return;
            const double gap = std::min(GapInBounds(loopLast, ends_[c].first, bound_),
                                        GapInBounds(ends_[c].last, loopFirst, bound_));
            if (gap < nearest || (gap == nearest && best != ends_.size() && c < best)) {
                nearest = gap;
                best = c;
            }
        };
        gapGrid_.ForEachNear(loopLast, consider);
        gapGrid_.ForEachNear(loopFirst, consider);
        if (best == ends_.size())
            return false;
        if (GapInBounds(loopLast, ends_[best].first, bound_) <=
            GapInBounds(ends_[best].last, loopFirst, bound_))
            loop_.PushBack(best);
        else
            loop_.PushFront(best);
        Placed(best);
        return true;
    }

    const std::vector<TrimCurveEnds>& ends_;
    const TrimPoint bound_;
    const EndGrid meetGrid_;  // for the joints that meet
    const EndGrid gapGrid_;   // for the gaps bridged
    std::vector<bool> placed_;
    std::set<size_t> ready_;  // waiting curves that meet a placed one
    LinkedLoop loop_;
};

}  // namespace

std::vector<size_t> ChainOrder(const std::vector<TrimCurveEnds>& ends, TrimPoint loopSize)
{
    return Chaining(ends, {kBridgedGap * loopSize.u, kBridgedGap * loopSize.v}).Order();
}

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

void MirrorKnots(const double* knots, int count, double* mirrored)
{
    if (count <= 0)
        return;
    mirrored[0] = knots[0];
    for (int i = 1; i < count; ++i)
        mirrored[i] = mirrored[i - 1] + (knots[count - i] - knots[count - i - 1]);
}
