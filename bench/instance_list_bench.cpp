// Reading the instance list that the renderer's library gives: 200,001 instances whose versions
// are never closed but at the very end. Each version ends where the next instance begins, so the
// text is read in one pass; a version searched for to its closing tag would make it quadratic.
#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "link/instance_list.h"

namespace {

void UnfinishedInstances(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 200001; ++i) text += "<vistrel_instance><version_major>";
    text += "5</version_major><livelink_port>4000</livelink_port>";
    for (auto _ : state) benchmark::DoNotOptimize(ParseInstanceList(text, 5));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

}  // namespace

BENCHMARK(UnfinishedInstances)->Unit(benchmark::kMillisecond);
