#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "mainwin/steaminput.h"
#include "numtext/readnumber.h"
#include "steam/regions.h"

namespace {

// Inputs vary from one iteration to the next, so that nothing is computed once and reused.
constexpr std::array<double, 8> kTemperatures = {523.15, 573.15, 623.15, 673.15, 723.15, 773.15, 823.15, 873.15};

void BM_quyu2(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        double v, h, cp;
        dorvent::quyu2(kTemperatures[i++ % kTemperatures.size()], 1.0, v, h, cp);
        benchmark::DoNotOptimize(v + h + cp);
    }
}
BENCHMARK(BM_quyu2);

void BM_readNumber(benchmark::State& state)
{
    const std::array<std::string, 4> texts = {"250", "1.25", " 3e2", "0.000611213"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(dorvent::readNumber(texts[i++ % texts.size()]));
}
BENCHMARK(BM_readNumber);

void BM_keystroke(benchmark::State& state)
{
    const std::array<std::string, 4> temperatures = {"250", "300", "350", "1200"};
    dorvent::SteamState steam;
    std::size_t i = 0;
    for (auto _ : state) {
        std::string report = dorvent::duqucanshu({"1", "MPa", temperatures[i++ % temperatures.size()], "℃"}, steam);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_keystroke);

}  // namespace
