#include "export/trim_loops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <list>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/allocation_failure.h"
#include "export/nurbs_surfaces.h"
#include "plugin/plugin_application.h"
#include "sim_test_world.h"
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost_binding.h"
#include "toolkit/toolkit_binding.h"

namespace {

// ---- Chaining, winding and knots on plain values ----------------------------------------------

TrimCurveEnds Ends(double u0, double v0, double u1, double v1) { return {{u0, v0}, {u1, v1}}; }

TEST(TrimLoopChaining, PiecesChainInPlacementOrderWhereTheirEndsMeetOrLieNearest)
{
    const double nan = std::nan("");
    const struct {
        const char* loop;
        std::vector<TrimCurveEnds> ends;
        std::vector<size_t> order;
        TrimPoint size = {1, 1};  // of the whole loop
    } cases[] = {
        // Counter-clockwise pieces given as bottom, top, right, left: the first pass places
        // bottom, right after it and left before it; the second pass puts top before left.
        {"rectangle", {Ends(0, 0, 1, 0), Ends(1, 1, 0, 1), Ends(1, 0, 1, 1), Ends(0, 1, 0, 0)},
         {1, 3, 0, 2}},
        // An edge shorter than the joints' tolerance meets bottom and right at both its ends: it
        // goes after bottom, the first curve its start meets, and so before right.
        {"tiny edge",
         {Ends(0, 0, 1, 0), Ends(1, 0, 1, 1), Ends(1, 0, 1, 1e-11), Ends(1, 1, 0, 1),
          Ends(0, 1, 0, 0)},
         {4, 0, 2, 1, 3}},
        // A curve that meets nothing is dropped, and so is one with ends that are no numbers.
        {"stray curve", {Ends(0, 0, 1, 0), Ends(5, 5, 6, 6), Ends(1, 0, 1, 1)}, {0, 2}},
        {"no numbers", {Ends(0, 0, 1, 0), Ends(nan, nan, nan, nan)}, {0}},
        // A curve that would meet only run backwards is not reversed to fit.
        {"a curve the wrong way", {Ends(0, 0, 1, 0), Ends(1, 1, 1, 0)}, {0}},
        {"ends 7e-11 apart", {Ends(0, 0, 1, 0), Ends(1 + 5e-11, -5e-11, 1, 1)}, {0, 1}},
        {"ends 2e-10 apart", {Ends(0, 0, 1, 0), Ends(1 + 2e-10, 0, 1, 1)}, {0, 1}},
        // Joints that miss by 5e-8 (before the tiny second curve, 1e-8 long) and 1e-9 (after
        // the third): each time the passes stall, the curve nearest an open end of the loop goes
        // across its gap, and the loop keeps all five in their order.
        {"joints that miss",
         {Ends(1, 1, 0, 1), Ends(1, 5e-8, 1, 6e-8), Ends(1, 6e-8, 1 + 1e-9, 1), Ends(0, 1, 0, 0),
          Ends(0, 0, 1, 0)},
         {1, 2, 0, 3, 4}},
        // The bound scales with the loop, in u and in v apart: 2e-5 is bridged in a loop 10
        // across, not in one 1 across; 5e-7 in v on a face 0.01 by 1 is.
        {"wide loop", {Ends(0, 0, 1, 0), Ends(1, 2e-5, 1, 1)}, {0, 1}, {10, 10}},
        {"narrow loop", {Ends(0, 0, 1, 0), Ends(1, 2e-5, 1, 1)}, {0}},
        {"narrow face", {Ends(0, 0, 0.01, 0), Ends(0.01, 5e-7, 0.01, 1)}, {0, 1}, {0.01, 1}},
        {"gap of the bound", {Ends(0, 0, 1, 0), Ends(1, 1e-5, 1, 1)}, {0}},
        // A loop without extent in v bridges gaps in u alone.
        {"flat loop", {Ends(0, 0, 1, 0), Ends(1 + 1e-6, 0, 2, 0)}, {0, 1}, {2, 0}},
        // Of two curves as near, the first given goes next.
        {"equal gaps", {Ends(0, 0, 1, 0), Ends(1, 1e-6, 1, 1), Ends(1, -1e-6, 1, -1)}, {0, 1}},
        {"no curves", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChainOrder(c.ends, c.size), c.order) << c.loop;
}

// The chaining as it was first built, pass after pass over every pair of curves: the reference
// whose results ChainOrder keeps.
std::vector<size_t> ChainByPasses(const std::vector<TrimCurveEnds>& ends, TrimPoint size)
{
    auto meets = [](TrimPoint a, TrimPoint b) {
        return std::fabs(a.u - b.u) < 1e-10 && std::fabs(a.v - b.v) < 1e-10;
    };
    auto gap = [&](TrimPoint a, TrimPoint b) {
        auto part = [](double d, double s) { return d == 0 ? 0 : d / (kBridgedGap * s); };
        const double u = part(std::fabs(a.u - b.u), size.u);
        const double v = part(std::fabs(a.v - b.v), size.v);
        return std::isnan(u + v) ? 1 : std::max(u, v);
    };
    std::list<size_t> loop, waiting;
    for (size_t i = 0; i < ends.size(); ++i)
        waiting.push_back(i);
    while (!waiting.empty()) {
        bool placed = false;
        for (auto c = waiting.begin(); c != waiting.end();) {
            auto r = loop.begin();
            while (r != loop.end() && !meets(ends[*r].last, ends[*c].first) &&
                   !meets(ends[*r].first, ends[*c].last))
                ++r;
            if (!loop.empty() && r == loop.end()) {
                ++c;
                continue;
            }
            loop.insert(r != loop.end() && meets(ends[*r].last, ends[*c].first) ? std::next(r) : r,
                        *c);
            c = waiting.erase(c);
            placed = true;
        }
        if (placed)
            continue;
        double nearest = 1;
        auto best = waiting.end();
        bool atEnd = true;
        for (auto c = waiting.begin(); c != waiting.end(); ++c) {
            const double after = gap(ends[loop.back()].last, ends[*c].first);
            const double before = gap(ends[*c].last, ends[loop.front()].first);
            if (after < nearest || before < nearest) {
                atEnd = after <= before;
                nearest = std::min(after, before);
                best = c;
            }
        }
        if (best == waiting.end())
            break;
        atEnd ? loop.push_back(*best) : loop.push_front(*best);
        waiting.erase(best);
    }
    return {loop.begin(), loop.end()};
}

TEST(TrimLoopChaining, KeepsTheOrderOfPassesOverEveryPairOnRandomLoops)
{
    // Loops around corners on a lattice of step 1 in a 4 x 4 square, so that ends coincide and
    // gaps tie: some joints off by 1e-5 to 6e-5 (within the bound of 4e-5 or beyond it), some
    // curves backwards, stray or shorter than the tolerance, the curves often shuffled. Every
    // eighth loop has up to 100 curves between two points: many curves share an end, and go one
    // after another right behind the same curve.
    std::mt19937 random(21);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int trial = 0; trial < 4000; ++trial) {
        const bool crowded = trial % 8 == 0;
        const int count = 1 + pick(crowded ? 100 : 24);
        std::vector<TrimPoint> corners;
        for (int i = 0; i < count; ++i)
            corners.push_back({double(pick(crowded ? 2 : 5)), double(crowded ? 0 : pick(5))});
        std::vector<TrimCurveEnds> ends;
        for (int i = 0; i < count; ++i) {
            TrimCurveEnds curve = {corners[i], corners[(i + 1) % count]};
            const int kind = pick(20);
            if (kind < 4)
                curve.first.u += 1e-5 * pick(7), curve.first.v -= 1e-5 * pick(7);
            else if (kind == 4)
                std::swap(curve.first, curve.last);
            else if (kind == 5)
                curve = {{9, 9}, {8, 9}};
            else if (kind == 6)
                curve.last = {curve.first.u, curve.first.v + 5e-11};
            ends.push_back(curve);
        }
        if (pick(2) == 0)
            std::shuffle(ends.begin(), ends.end(), random);
        const TrimPoint size = {4.0 * pick(2), 4};
        ASSERT_EQ(ChainOrder(ends, size), ChainByPasses(ends, size)) << "trial " << trial;
    }
}

std::vector<TrimPoint> Reversed(std::vector<TrimPoint> points)
{
    std::reverse(points.begin(), points.end());
    return points;
}

// The control points of a loop's curves, curve after curve.
std::vector<TrimPoint> Joined(std::initializer_list<std::vector<TrimPoint>> curves)
{
    std::vector<TrimPoint> points;
    for (const auto& curve : curves)
        points.insert(points.end(), curve.begin(), curve.end());
    return points;
}

// A curve of degree 1 through points.
TrimBspline Polyline(std::vector<TrimPoint> points)
{
    std::vector<double> knots = {0};
    for (size_t i = 0; i < points.size(); ++i)
        knots.push_back(double(i));
    knots.push_back(knots.back());
    return {1, knots, points, {}};
}

// A conic arc from a to c whose end tangents meet at b, of middle weight w.
TrimBspline Arc(TrimPoint a, TrimPoint b, TrimPoint c, double w)
{
    return {2, {0, 0, 0, 1, 1, 1}, {a, b, c}, {1, w, 1}};
}

// Points along the curves of a loop.
std::vector<TrimPoint> OnCurves(std::initializer_list<TrimBspline> curves)
{
    std::vector<TrimPoint> points;
    for (const TrimBspline& curve : curves)
        AppendCurvePoints(curve, points);
    return points;
}

TEST(TrimLoopWinding, CurvePointsRunAlongTheCurveFromEndToEnd)
{
    // A half circle of two spans, the second twice as long in the parameter.
    const double r = std::sqrt(0.5);
    const std::vector<TrimPoint> half = OnCurves(
        {{2, {0, 0, 0, 1, 1, 3, 3, 3}, {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}},
          {1, r, 1, r, 1}}});
    ASSERT_EQ(half.size(), 2u * kSpanPoints + 1);
    EXPECT_EQ(half.front().u, 1.0);
    EXPECT_EQ(half.back().u, -1.0);
    for (size_t i = 0; i < half.size(); ++i) {
        EXPECT_NEAR(std::hypot(half[i].u, half[i].v), 1, 1e-12) << i;
        EXPECT_GE(half[i].v, 0) << i;
        EXPECT_TRUE(i == 0 || half[i].u < half[i - 1].u) << i;
    }
    EXPECT_EQ(half[kSpanPoints].u, 0.0);  // the knot between the spans
    // Knots that do not rise: the curve's ends stand for it.
    const std::vector<TrimPoint> ends = OnCurves({{1, {0, 0, 0, 0}, {{1, 2}, {3, 4}}, {}}});
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[1].v, 4.0);
}

// Counter-clockwise loops: the first ones plain, the others such that a vote of the turns of
// their control polygons would call them clockwise, the last ones such that the control
// polygon's area would.
std::vector<std::pair<const char*, std::vector<TrimPoint>>> CounterClockwiseLoops()
{
    const double a = 1.5707963267948966, m = a / 2, e = 1e-15;
    // A parabola from (1, 1) to (0, 1), sagging to v = 0.5: every turn of its polygon clockwise.
    std::vector<TrimPoint> sag;
    for (int i = 0; i <= 11; ++i)
        sag.push_back({1 - i / 11.0, 1 - 2 * (i / 11.0) * (1 - i / 11.0)});
    // Down from (0, 0) and up to (4, 0) in a zig-zag whose turns alternate, one clockwise turn
    // to spare; wiggleBack is its mirror, back across the top.
    const std::vector<TrimPoint> wiggle = {{0, 0},   {0.5, -0.1}, {1, -1},     {1.5, -0.5},
                                           {2, -1},  {2.5, -0.5}, {3, -1},     {3.5, -0.1},
                                           {4, 0}};
    std::vector<TrimPoint> wiggleBack;
    for (auto p = wiggle.rbegin(); p != wiggle.rend(); ++p)
        wiggleBack.push_back({p->u, -p->v});
    return {
        {"square of one curve", {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}},
        // Straight pieces joined end to start: no three points turn.
        {"straight pieces", {{0, 0}, {1, 0}, {1, 0}, {1, 1}, {1, 1}, {0, 0}}},
        // Degree-2 straight lines as a CAD kernel gives them: each middle control point off its
        // line by rounding noise, bent into the loop.
        {"noisy straight lines",
         {{0, 0}, {m, e}, {a, 0}, {a, 0}, {a - e, m}, {a, a}, {a, a}, {m, a - e}, {0, a}, {0, a},
          {e, m}, {0, 0}}},
        {"tiny square far out",
         {{1000, 0}, {1000 + 1e-9, 0}, {1000 + 1e-9, 1e-9}, {1000, 1e-9}, {1000, 0}}},
        // The corners of the straight pieces never turn, so the arc's one turn would decide.
        {"lines and a concave fillet",
         Joined({{{0, 0}, {2, 0}}, {{2, 0}, {2, 1}}, {{2, 1}, {1.25, 1}},
                 {{1.25, 1}, {1, 1}, {1, 1.25}}, {{1, 1.25}, {1, 2}}, {{1, 2}, {0, 2}},
                 {{0, 2}, {0, 0}}})},
        {"a long curve that outnumbers the rest", Joined({{{0, 1}, {0, 0}, {1, 0}, {1, 1}}, sag})},
        {"two long wiggly curves", Joined({wiggle, wiggleBack})},
        // Near a sphere's pole: a curve zig-zags in u at one v, so none of its points turns, and
        // the one join that misses by 3e-11 would decide.
        {"zig-zag beside a join",
         Joined({{{0, 0}, {3, 0}},
                 {{3, 0}, {3, a}},
                 {{3, a}, {1.27, a}, {2.32, a}, {0.23, a}, {2.84, a}, {0.74, a}, {1.8, a},
                  {1.49, a}, {-3e-11, a}},
                 {{0, a}, {0, 0}}})},
        // The end cap of a fillet: two straight edges and the quarter arc that rounds off their
        // corner, which is the arc's middle control point.
        {"fillet end cap", OnCurves({Polyline({{1, 0}, {1, 1}, {0, 1}}),
                                     Arc({0, 1}, {1, 1}, {1, 0}, std::sqrt(0.5))})},
        // Plates with a notch in their top edge, an arc of 131 degrees and one of 106 whose
        // middle control points lie below the plate's bottom edge: the plates enclose 10.4 and
        // 8.1, their control polygons -9.9 and -2.0.
        {"arc of 131 degrees", OnCurves({Polyline({{-4, 0}, {-4.2, 0}, {-4.2, -3}, {4.2, -3},
                                                   {4.2, 0}, {4, 0}}),
                                         Arc({4, 0}, {0, -8.78}, {-4, 0}, 0.413)})},
        {"arc of 106 degrees", OnCurves({Polyline({{-4, 0}, {-4.2, 0}, {-4.2, -2.3}, {4.2, -2.3},
                                                   {4.2, 0}, {4, 0}}),
                                         Arc({4, 0}, {0, -16.0 / 3}, {-4, 0}, 0.6)})},
    };
}

TEST(TrimLoopWinding, OuterLoopsEndCounterClockwiseAndHolesClockwise)
{
    for (const auto& [loop, points] : CounterClockwiseLoops()) {
        EXPECT_FALSE(LoopNeedsReversal(points, PRO_CONTOUR_TRAV_EXTERNAL)) << loop;
        EXPECT_TRUE(LoopNeedsReversal(points, PRO_CONTOUR_TRAV_INTERNAL)) << loop;
        EXPECT_TRUE(LoopNeedsReversal(Reversed(points), PRO_CONTOUR_TRAV_EXTERNAL)) << loop;
        EXPECT_FALSE(LoopNeedsReversal(Reversed(points), PRO_CONTOUR_TRAV_INTERNAL)) << loop;
        EXPECT_FALSE(LoopNeedsReversal(points, 0)) << loop;
    }
    // Nothing to judge by: a loop without area counts as clockwise.
    for (const std::vector<TrimPoint>& flat :
         {std::vector<TrimPoint>{{0, 0}, {1, 0}, {1, 0}, {2, 0}}, std::vector<TrimPoint>{}}) {
        EXPECT_TRUE(LoopNeedsReversal(flat, PRO_CONTOUR_TRAV_EXTERNAL));
        EXPECT_FALSE(LoopNeedsReversal(flat, PRO_CONTOUR_TRAV_INTERNAL));
    }
}

TEST(TrimLoopSides, SeamEdgeGivesEachOfItsSidesOnceInAContour)
{
    // A contour of surface 8, with 9 exported too. Edges 82 and 84 have one surface on both
    // sides; 81 and 83 are ordinary edges.
    struct Step {
        int edge;
        int surfaces[2];
        int side;
    };
    const Step contour[] = {
        {81, {8, 5}, 0}, {82, {8, 8}, 0}, {83, {5, 8}, 1}, {82, {8, 8}, 1},
        {82, {8, 8}, -1},  // both sides taken
        {81, {8, 5}, 0},   // an ordinary edge keeps its side
        {84, {9, 9}, 0},  {84, {9, 9}, 1},
    };
    const std::set<int> exported = {8, 9};
    SeamSidesTaken taken;
    for (const Step& step : contour)
        EXPECT_EQ(ChooseEdgeSide(step.edge, step.surfaces, 8, &exported, taken), step.side)
            << step.edge;
}

TEST(TrimLoopKnots, MirrorWithinTheirOwnSpan)
{
    const std::pair<std::vector<double>, std::vector<double>> cases[] = {
        {{0, 0, 0, 1, 3, 3, 3}, {0, 0, 0, 2, 3, 3, 3}}, {{1, 1, 2, 4, 7, 7}, {1, 1, 4, 6, 7, 7}}};
    for (const auto& [knots, expected] : cases) {
        std::vector<double> mirrored(knots.size());
        MirrorKnots(knots.data(), static_cast<int>(knots.size()), mirrored.data());
        EXPECT_EQ(mirrored, expected);
    }
}

// ---- Curve records of the simulated host --------------------------------------------------------

struct Curve {
    int degree = 1;
    std::vector<double> knots;
    std::vector<std::pair<double, double>> points;  // (u, v)
    std::vector<double> weights;

    auto Fields() const { return std::tie(degree, knots, points, weights); }
};

bool operator==(const Curve& a, const Curve& b)
{
    return a.Fields() == b.Fields();
}

void PrintTo(const Curve& curve, std::ostream* out)
{
    *out << ::testing::PrintToString(
        std::make_tuple(curve.degree, curve.knots, curve.points, curve.weights));
}

template <typename T>
T* HostArray(int count, int elementSize)
{
    ProArray array = nullptr;
    EXPECT_EQ(ProArrayAlloc(count, elementSize, 1, &array), PRO_TK_NO_ERROR);
    return static_cast<T*>(array);
}

ProCurvedata* MakeCurve(const Curve& curve)
{
    const int n = static_cast<int>(curve.knots.size());
    const int c = static_cast<int>(curve.points.size());
    auto* knots = HostArray<double>(n, sizeof(double));
    auto* points = HostArray<ProPoint3d>(c, sizeof(ProPoint3d));
    double* weights = curve.weights.empty() ? nullptr : HostArray<double>(c, sizeof(double));
    for (int i = 0; i < n; ++i)
        knots[i] = curve.knots[static_cast<size_t>(i)];
    for (int i = 0; i < c; ++i) {
        points[i][0] = curve.points[static_cast<size_t>(i)].first;
        points[i][1] = curve.points[static_cast<size_t>(i)].second;
        points[i][2] = 0.0;
        if (weights != nullptr)
            weights[i] = curve.weights[static_cast<size_t>(i)];
    }
    ProCurvedata* record = nullptr;
    EXPECT_EQ(ProCurvedataAlloc(&record), PRO_TK_NO_ERROR);
    EXPECT_EQ(ProBsplinedataInit(curve.degree, knots, weights, points, n, c, record),
              PRO_TK_NO_ERROR);
    return record;
}

ProCurvedata* Line(double u0, double v0, double u1, double v1)
{
    return MakeCurve({1, {0, 0, 1, 1}, {{u0, v0}, {u1, v1}}, {}});
}

Curve ReadCurve(ProCurvedata* record)
{
    Curve curve;
    double* knots = nullptr;
    double* weights = nullptr;
    ProPoint3d* points = nullptr;
    int knotCount = 0;
    int pointCount = 0;
    EXPECT_EQ(ProBsplinedataGet(record, &curve.degree, &knots, &weights, &points, &knotCount,
                                &pointCount),
              PRO_TK_NO_ERROR);
    if (knots != nullptr)
        curve.knots.assign(knots, knots + knotCount);
    for (int i = 0; points != nullptr && i < pointCount; ++i)
        curve.points.push_back({points[i][0], points[i][1]});
    if (weights != nullptr)
        curve.weights.assign(weights, weights + pointCount);
    for (void* array : {static_cast<void*>(knots), static_cast<void*>(weights),
                        static_cast<void*>(points)}) {
        ProArray host = array;
        if (host != nullptr)
            ProArrayFree(&host);
    }
    return curve;
}

// A list holding records, which it releases.
std::list<HeldCurvedata> Held(std::initializer_list<ProCurvedata*> records)
{
    std::list<HeldCurvedata> curves;
    for (ProCurvedata* record : records)
        curves.emplace_back(record);
    return curves;
}

// The records of curves, in their order.
std::vector<ProCurvedata*> Records(const std::list<HeldCurvedata>& curves)
{
    std::vector<ProCurvedata*> records;
    for (const HeldCurvedata& curve : curves)
        records.push_back(curve.get());
    return records;
}

// A model for the contour visits. Surface 1: a square contour of four straight edges, the right
// one stored running down (direction 1), and a hole that is one closed rational curve running
// counter-clockwise. Surface 4: a square whose contour also lists edges that give no
// curve. Surfaces 5 and 6: a triangle whose edges take their curves from different sides.
std::string TrimModel()
{
    using sim::FlatPatch;
    using sim::LineSide;
    return R"({"current": "T", "models": [{"name": "T", "type": "part",
    "surfaces": [
      {"id": 1, "patch": )" + FlatPatch(0) + R"(,
       "contours": [{"traversal": 1, "edges": [11, 12, 13, 14]},
                    {"traversal": -1, "edges": [21]}]},
      {"id": 2, "patch": )" + FlatPatch(1) + R"(},
      {"id": 4, "patch": )" + FlatPatch(2) + R"(,
       "contours": [{"traversal": 1, "edges": [41, 90, 42, 91, 43, 92, 44]}]},
      {"id": 5, "patch": )" + FlatPatch(3) + R"(,
       "contours": [{"traversal": 1, "edges": [51, 52, 53]}]},
      {"id": 6, "patch": )" + FlatPatch(4) + R"(,
       "contours": [{"traversal": 1, "edges": [51, 52]}]},
      {"id": 7, "interface_id": 700, "patch": )" + FlatPatch(5) + R"(,
       "contours": [{"traversal": 1, "edges": [71, 72, 73]}]}],
    "edges": [
      {"id": 11, "sides": [)" + LineSide(1, 0, 0, 1, 0) + R"(]},
      {"id": 12, "sides": [{"surface": 1, "direction": 1, "curve": )" +
           sim::LineCurve(1, 1, 1, 0) + R"(}]},
      {"id": 13, "sides": [)" + LineSide(1, 1, 1, 0, 1) + R"(]},
      {"id": 14, "sides": [)" + LineSide(1, 0, 1, 0, 0) + R"(]},
      {"id": 21, "sides": [{"surface": 1, "curve": {
          "degree": 1, "knots": [0, 0, 1, 3, 4, 6, 6],
          "points": [[0.25, 0.25], [0.75, 0.25], [0.75, 0.75], [0.25, 0.75], [0.25, 0.25]],
          "weights": [1, 2, 3, 4, 5]}}]},
      {"id": 41, "sides": [)" + LineSide(4, 0, 0, 1, 0, 2) + R"(]},
      {"id": 42, "sides": [)" + LineSide(4, 1, 0, 1, 1, 2) + R"(]},
      {"id": 43, "sides": [)" + LineSide(4, 1, 1, 0, 1, 2) + R"(]},
      {"id": 44, "sides": [)" + LineSide(4, 0, 1, 0, 0, 2) + R"(]},
      {"id": 90, "faults": ["no_edge_record"], "sides": [)" + LineSide(4, 0, 0, 1, 0) + R"(]},
      {"id": 91, "sides": [{"surface": 4, "faults": ["no_uv_curve"]}]},
      {"id": 92, "sides": [{"surface": 4, "faults": ["not_bspline"], "curve": )" +
           sim::LineCurve(0, 0, 1, 0) + R"(}]},
      {"id": 51, "sides": [)" + LineSide(6, 7, 7, 8, 8) + ", " + LineSide(5, 0, 0, 1, 0) + R"(]},
      {"id": 52, "sides": [)" + LineSide(5, 1, 0, 1, 1) + ", " + LineSide(6, 7, 7, 8, 8) + R"(]},
      {"id": 53, "sides": [)" + LineSide(5, 1, 1, 0, 0) + R"(]},
      {"id": 71, "sides": [)" + LineSide(2, 0, 0, 1, 0) + ", " + LineSide(7, 7, 7, 8, 8) + R"(]},
      {"id": 72, "sides": [)" + LineSide(7, 7, 7, 8, 8) + ", " + LineSide(6, 1, 0, 1, 1) + R"(]},
      {"id": 73, "sides": [)" + LineSide(7, 7, 7, 8, 8) + ", " + LineSide(2, 1, 1, 0, 0) + R"(]}]
  }]})";
}

class TrimLoops : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim::UseWorld(TrimModel()));
        BindSimulatedHost();
        blocks = sim::LiveHostBlocks();
        app = GetPluginApplication();
        app->trimBuffers.Clear();
    }

    void TearDown() override
    {
        pairing.interfaceData.reset();
        app->trimBuffers.Clear();
        EXPECT_EQ(sim::LiveModelRecords(), 0u);
        EXPECT_EQ(sim::LiveHostBlocks(), blocks);
        EXPECT_EQ(sim::ProblemCount(), 0u);
        DestroyPluginApplication();
        ToolkitUnbind();
    }

    ProSurface Surface(int id)
    {
        const sim::Surface* surface = sim::FindSurface(*sim::FindModel(sim::HostWorld(), "T"), id);
        EXPECT_NE(surface, nullptr) << id;
        return surface != nullptr ? sim::ToHandle(*surface) : nullptr;
    }

    // The trims of host surface id, collected as the NURBS export collects them, with the given
    // ids of exported surfaces.
    const NurbsTrimBuffers& CollectTrims(int id, std::set<int> exported)
    {
        exportedIds = std::move(exported);
        if (pairing.interfaceData == nullptr)
            pairing = PairInterfaceSurfaces(sim::Handle("T"), exportedIds, {});
        ProSurface surface = Surface(id);
        ContourVisitData visit;
        visit.solid = sim::Handle("T");
        visit.currentSurface = &surface;
        visit.currentSurfaceId = id;
        visit.interfaceData = pairing.interfaceData.get();
        visit.edgeIndexMap = &pairing.edgeIndexMap;
        visit.exportedSurfaceIds = &exportedIds;
        EXPECT_EQ(ProSurfaceContourVisit(surface, CollectSurfaceTrimLoop, nullptr, &visit),
                  PRO_TK_NO_ERROR);
        EXPECT_TRUE(visit.edgeCurves.empty());
        return app->trimBuffers;
    }

    size_t blocks = 0;
    PluginApplication* app = nullptr;
    InterfacePairing pairing;
    std::set<int> exportedIds;
};

TEST_F(TrimLoops, ReversalMirrorsKnotsAndRunsPointsAndWeightsBackwards)
{
    const Curve original{2, {0, 0, 0, 1, 3, 3, 3}, {{0, 0}, {1, 0}, {2, 1}, {3, 3}},
                         {1, 0.5, 0.25, 2}};
    ProCurvedata* source = MakeCurve(original);
    ProCurvedata* target = nullptr;
    ProCurvedata* empty = nullptr;
    ProCurvedataAlloc(&target);
    ProCurvedataAlloc(&empty);
    const std::list<HeldCurvedata> records = Held({source, target, empty});
    // The reversal of an empty record fails and leaves the target as it was.
    EXPECT_FALSE(ReverseBsplineCurve(empty, target));
    ProEnttype type = 0;
    EXPECT_NE(ProCurvedataTypeGet(target, &type), PRO_TK_NO_ERROR);
    EXPECT_TRUE(ReverseBsplineCurve(source, target));
    EXPECT_EQ(ReadCurve(target), (Curve{2, {0, 0, 0, 2, 3, 3, 3}, {{3, 3}, {2, 1}, {1, 0}, {0, 0}},
                                        {2, 0.25, 0.5, 1}}));
    EXPECT_EQ(ReadCurve(source), original);  // the source is untouched
}

TEST_F(TrimLoops, ChainingHandsBackTheRecordsInLoopOrderAndReleasesTheDropped)
{
    ProCurvedata* bottom = Line(0, 0, 1, 0);
    ProCurvedata* top = Line(1, 1, 0, 1);
    ProCurvedata* right = Line(1, 5e-8, 1, 1 + 1e-9);  // misses bottom and top
    ProCurvedata* left = Line(0, 1, 0, 0);
    ProCurvedata* stray = Line(5, 5, 6, 6);
    const std::list<HeldCurvedata> loop = ChainTrimLoop(Held({bottom, top, stray, right, left}));
    // Right goes across the nearer of its gaps, before top.
    EXPECT_EQ(Records(loop), (std::vector<ProCurvedata*>{right, top, left, bottom}));
    EXPECT_EQ(sim::LiveModelRecords(), 4u);
    // A round hole of two half circles whose joints miss by 5e-7 in v: the bound comes from the
    // extent of all their control points, 2 in v, not of their ends alone.
    const double r = std::sqrt(0.5);
    const std::vector<double> knots = {0, 0, 0, 1, 1, 2, 2, 2}, weights = {1, r, 1, r, 1};
    ProCurvedata* upper =
        MakeCurve({2, knots, {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}}, weights});
    ProCurvedata* lower =
        MakeCurve({2, knots, {{-1, 5e-7}, {-1, -1}, {0, -1}, {1, -1}, {1, 5e-7}}, weights});
    EXPECT_EQ(Records(ChainTrimLoop(Held({upper, lower}))),
              (std::vector<ProCurvedata*>{upper, lower}));
}

TEST_F(TrimLoops, OrientingAClockwiseExternalLoopRunsItBackwardsStillHeadToTail)
{
    // Clockwise: up the left side, along the top, down the right side, back along the bottom.
    std::list<HeldCurvedata> loop =
        Held({MakeCurve({2, {0, 0, 0, 1, 1, 1}, {{0, 0}, {0, 0.5}, {0, 1}}, {}}),
              Line(0, 1, 1, 1), Line(1, 1, 1, 0), Line(1, 0, 0, 0)});
    OrientTrimLoop(loop, PRO_CONTOUR_TRAV_EXTERNAL);
    std::vector<Curve> curves;
    for (ProCurvedata* curve : Records(loop))
        curves.push_back(ReadCurve(curve));
    EXPECT_EQ(curves, (std::vector<Curve>{
                          {1, {0, 0, 1, 1}, {{0, 0}, {1, 0}}, {}},
                          {1, {0, 0, 1, 1}, {{1, 0}, {1, 1}}, {}},
                          {1, {0, 0, 1, 1}, {{1, 1}, {0, 1}}, {}},
                          {2, {0, 0, 0, 1, 1, 1}, {{0, 1}, {0, 0.5}, {0, 0}}, {}}}));
}

// The host's ProBsplinedataGet, after whose call number g_readsBeforeFailure the plug-in's
// allocation number g_allocationsBeforeFailure (from 0) fails. A failure still armed when the
// host is asked again is called off: it would strike inside the host's own work.
int g_readsBeforeFailure = 0;
int g_allocationsBeforeFailure = 0;
ProError ReadThenFailAllocation(ProCurvedata* curve, int* degree, double** knots, double** weights,
                                ProPoint3d** points, int* knotCount, int* pointCount)
{
    FailAllocationAfter(-1);
    const ProError answer =
        sim::ProBsplinedataGet(curve, degree, knots, weights, points, knotCount, pointCount);
    if (--g_readsBeforeFailure == 0)
        FailAllocationAfter(g_allocationsBeforeFailure);
    return answer;
}

TEST_F(TrimLoops, AllocationFailureInChainingOrOrientingLosesNoCurve)
{
    BindSimulatedHost("ProBsplinedataGet", reinterpret_cast<void*>(&ReadThenFailAllocation));
    // A clockwise square with a joint that misses: four reads in the chaining, every allocation
    // after its last one failed in turn, then four in the orienting.
    for (int reads = 1; reads <= 8; ++reads)
        for (int allocations = 0; allocations == 0 || reads == 4; ++allocations) {
            g_readsBeforeFailure = reads;
            g_allocationsBeforeFailure = allocations;
            const int failures = FailedAllocations();
            std::list<HeldCurvedata> loop;
            try {
                loop = ChainTrimLoop(Held(
                    {Line(0, 0, 0, 1), Line(0, 1, 1, 1), Line(1, 1, 1, 0), Line(1, 0, 1e-8, 0)}));
                OrientTrimLoop(loop, PRO_CONTOUR_TRAV_EXTERNAL);
            } catch (const std::bad_alloc&) {
                // The chaining released every curve, the orienting left the loop as it was.
                EXPECT_EQ(loop.size(), reads <= 4 ? 0u : 4u) << reads << " " << allocations;
                EXPECT_EQ(sim::LiveModelRecords(), loop.size());
            }
            FailAllocationAfter(-1);
            if (FailedAllocations() == failures)
                break;
        }
    EXPECT_GT(FailedAllocations(), 10);
}

TEST_F(TrimLoops, OrientingKeepsALoopThatAlreadyFits)
{
    ProCurvedata* square =
        MakeCurve({1, {0, 0, 1, 2, 3, 4, 4}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, {}});
    std::list<HeldCurvedata> loop = Held({square});
    OrientTrimLoop(loop, PRO_CONTOUR_TRAV_EXTERNAL);
    EXPECT_EQ(Records(loop), std::vector<ProCurvedata*>{square});
    OrientTrimLoop(loop, 0);
    EXPECT_EQ(Records(loop), std::vector<ProCurvedata*>{square});
    OrientTrimLoop(loop, PRO_CONTOUR_TRAV_INTERNAL);
    ASSERT_EQ(loop.size(), 1u);
    EXPECT_NE(loop.front().get(), square);  // replaced by its reversal; the old record released
    const Curve reversed = ReadCurve(loop.front().get());
    EXPECT_EQ(reversed.points.front().first, 0.0);
    EXPECT_EQ(reversed.points[1].second, 1.0);
}

TEST_F(TrimLoops, OuterContourAndHoleBecomeOneLoopEachInVisitOrder)
{
    const NurbsTrimBuffers& trims = CollectTrims(1, {1});
    EXPECT_EQ(trims.trim_nedges, (std::vector<int32_t>{4, 1}));
    EXPECT_EQ(trims.trim_inside, (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(trims.edge_order, (std::vector<int32_t>{2, 2, 2, 2, 2}));
    EXPECT_EQ(trims.edge_nknots, (std::vector<int32_t>{4, 4, 4, 4, 7}));
    EXPECT_EQ(trims.edge_min, (std::vector<double>{0, 0, 0, 0, 0}));
    EXPECT_EQ(trims.edge_max, (std::vector<double>{1, 1, 1, 1, 6}));
    EXPECT_EQ(trims.edge_knot, (std::vector<double>{0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1,
                                                    0, 0, 2, 3, 5, 6, 6}));
    // The square: chained as the edges come (bottom, right turned to run up, top), left placed
    // before bottom; counter-clockwise already, so kept. The hole ran counter-clockwise:
    // reversed, its weights with it.
    EXPECT_EQ(trims.edge_uvw, (std::vector<double>{0, 1, 1, 0, 0, 1,  // left
                                                   0, 0, 1, 1, 0, 1,  // bottom
                                                   1, 0, 1, 1, 1, 1,  // right
                                                   1, 1, 1, 0, 1, 1,  // top
                                                   0.25, 0.25, 5, 0.25, 0.75, 4, 0.75, 0.75, 3,
                                                   0.75, 0.25, 2, 0.25, 0.25, 1}));
}

TEST_F(TrimLoops, EdgesWithoutAUsableCurveAddNothing)
{
    // Besides its square, surface 4's contour lists an edge without a record, one without a UV
    // curve and one whose curve is no B-spline.
    pairing = PairInterfaceSurfaces(sim::Handle("T"), {}, {});
    EXPECT_EQ(pairing.edgeIndexMap.count(90), 0u);  // its record cannot be had
    const NurbsTrimBuffers& trims = CollectTrims(4, {4});
    EXPECT_EQ(trims.trim_nedges, std::vector<int32_t>{4});
    EXPECT_EQ(trims.trim_inside, std::vector<int32_t>{1});
    EXPECT_EQ(trims.edge_max, (std::vector<double>{2, 2, 2, 2}));
    EXPECT_EQ(trims.edge_uvw, (std::vector<double>{0, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1,
                                                   1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1}));
    // Pointed at its own index, whose record the host refuses, edge 90 still adds nothing.
    const auto& edges = sim::FindModel(sim::HostWorld(), "T")->edges;
    for (size_t i = 0; i < edges.size(); ++i)
        if (edges[i].id == 90)
            pairing.edgeIndexMap[90] = static_cast<int>(i);
    app->trimBuffers.Clear();
    EXPECT_EQ(CollectTrims(4, {4}).trim_nedges, std::vector<int32_t>{4});
}

TEST_F(TrimLoops, EdgeMissingFromTheIndexMapBorrowsNoOtherEdgesCurve)
{
    // Edge 90 is not in the map. The interface data's first edge (11) lies on surface 1, which
    // is exported here too: its curve must not stand in for the missing edge.
    const NurbsTrimBuffers& trims = CollectTrims(4, {1, 4});
    EXPECT_EQ(trims.trim_nedges, std::vector<int32_t>{4});
    EXPECT_EQ(trims.edge_max, (std::vector<double>{2, 2, 2, 2}));
}

TEST_F(TrimLoops, EachEdgeGivesTheCurveOfItsSideOnTheCurrentSurface)
{
    // Edge 51 has surface 5 on side 1, edge 52 on side 0; both have surface 6, also exported,
    // on the other side.
    const NurbsTrimBuffers& trims = CollectTrims(5, {5, 6});
    EXPECT_EQ(trims.trim_nedges, std::vector<int32_t>{3});
    EXPECT_EQ(trims.edge_uvw, (std::vector<double>{1, 1, 1, 0, 0, 1,    // 53
                                                   0, 0, 1, 1, 0, 1,    // 51, side 1
                                                   1, 0, 1, 1, 1, 1})); // 52, side 0
}

TEST_F(TrimLoops, EdgeNotOnTheCurrentSurfaceTakesTheSideOfAnExportedOne)
{
    // The edges of surface 7 name it by its interface id, never by its host id: 71 takes side
    // 0 (surface 2), 72 side 1 (surface 6), 73 side 1 (surface 2).
    const NurbsTrimBuffers& trims = CollectTrims(7, {2, 6, 7});
    EXPECT_EQ(trims.trim_nedges, std::vector<int32_t>{3});
    EXPECT_EQ(trims.edge_uvw, (std::vector<double>{1, 1, 1, 0, 0, 1,    // 73
                                                   0, 0, 1, 1, 0, 1,    // 71
                                                   1, 0, 1, 1, 1, 1})); // 72
}

TEST_F(TrimLoops, ContourWithoutUsableEdgesStillCountsAsALoop)
{
    // Surfaces 2 and 6 are not exported: no edge of surface 7 gives a curve.
    const NurbsTrimBuffers& trims = CollectTrims(7, {7});
    EXPECT_EQ(trims.trim_nedges, std::vector<int32_t>{0});
    EXPECT_EQ(trims.trim_inside, std::vector<int32_t>{1});
    EXPECT_TRUE(trims.edge_order.empty());
    EXPECT_TRUE(trims.edge_uvw.empty());
}

}  // namespace
