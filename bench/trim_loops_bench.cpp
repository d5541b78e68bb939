// The chaining of one trim loop (ChainOrder) on the ends of its curves: a loop of as many curves
// as the argument around a square of side 10, its curves given in loop order, as a host lists a
// contour's edges. ExactJoints: every curve starts where the one before it ends. NearMissJoints:
// each joint misses by 1e-8, as the edges of imported parts can, so that every curve after the
// first goes in across a gap. ShuffledJoints: exact joints, the curves in a random order.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "export/trim_loops.h"

namespace {

// The point at distance s along the square's boundary, counter-clockwise from (0, 0).
TrimPoint OnSquare(double s)
{
    const double side = 10;
    const int edge = static_cast<int>(s / side) % 4;
    const double t = s - side * static_cast<int>(s / side);
    const TrimPoint corners[] = {{0, 0}, {side, 0}, {side, side}, {0, side}};
    const TrimPoint directions[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    return {corners[edge].u + t * directions[edge].u, corners[edge].v + t * directions[edge].v};
}

std::vector<TrimCurveEnds> SquareLoop(std::int64_t count, double miss)
{
    std::vector<TrimCurveEnds> ends;
    const double step = 40.0 / static_cast<double>(count);
    for (std::int64_t i = 0; i < count; ++i) {
        const TrimPoint last = OnSquare(step * static_cast<double>(i + 1));
        ends.push_back({OnSquare(step * static_cast<double>(i)), last});
        if (i > 0)
            ends.back().first.v += miss;
    }
    return ends;
}

void Chain(benchmark::State& state, const std::vector<TrimCurveEnds>& ends)
{
    for (auto _ : state) {
        const std::vector<size_t> order = ChainOrder(ends, {10, 10});
        if (order.size() != ends.size())
            state.SkipWithError("curves were dropped");
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ExactJoints(benchmark::State& state) { Chain(state, SquareLoop(state.range(0), 0)); }

void NearMissJoints(benchmark::State& state) { Chain(state, SquareLoop(state.range(0), 1e-8)); }

void ShuffledJoints(benchmark::State& state)
{
    std::vector<TrimCurveEnds> ends = SquareLoop(state.range(0), 0);
    std::shuffle(ends.begin(), ends.end(), std::mt19937(7));
    Chain(state, ends);
}

// Loops of 1,000 to 16,000 curves.
void Sizes(benchmark::internal::Benchmark* bench)
{
    for (int count = 1000; count <= 16000; count *= 2)
        bench->Arg(count)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(ExactJoints)->Apply(Sizes);
BENCHMARK(NearMissJoints)->Apply(Sizes);
BENCHMARK(ShuffledJoints)->Apply(Sizes);
