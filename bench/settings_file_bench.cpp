// Reading the bytes of a settings file: a small one, and two texts that would keep TinyXML busy
// without end (200,000 nested elements, and one element with 80,000 attributes), which the bound
// on their markup refuses before TinyXML parses them. A refusal should take about as long as one
// pass over its bytes (see bytes_per_second).
#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "plugin/settings_file.h"

namespace {

const char kSmallFile[] =
    "<?xml version=\"1.0\" ?>\n<vistrel_plugin_settings>\n    <upAxis>1</upAxis>\n"
    "    <exportPath>C:\\scenes\\car.vsb</exportPath>\n</vistrel_plugin_settings>\n";

std::string DeepNesting() {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "<a>";
    return text;
}

std::string CountlessAttributes() {
    std::string text = "<settings";
    for (int i = 0; i < 80000; ++i) text += " a" + std::to_string(i) + "='1'";
    return text + "><upAxis>2</upAxis></settings>";
}

void ReadSettings(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        PluginSettings settings;
        ReadSettingsText(text, settings);
        benchmark::DoNotOptimize(settings);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

}  // namespace

BENCHMARK_CAPTURE(ReadSettings, SmallFile, std::string(kSmallFile));
BENCHMARK_CAPTURE(ReadSettings, DeepNesting, DeepNesting())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadSettings, CountlessAttributes, CountlessAttributes())
    ->Unit(benchmark::kMicrosecond);
