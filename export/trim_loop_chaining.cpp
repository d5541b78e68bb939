#include "export/trim_loop_chaining.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <unordered_map>
#include <utility>

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
