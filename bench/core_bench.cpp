#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "mainwin/steaminput.h"
#include "segment/segmentcommand.h"
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

namespace {

// The worked design: DN200 219 x 6, 10 t/h of steam at 1 MPa and 250 ℃ over 250 m.
void BM_segmentWorkedCase(benchmark::State& state)
{
    const dorvent::SegmentTexts texts{.dn = "DN200", .waijing = "219", .bihou = "6", .length = "250",
                                      .zeta = "0.2", .beta = "0.2", .phi = "1", .ambient = "20",
                                      .heatLoss = "3.02", .drop = "5", .flow = "10", .friction = "74.501"};
    const std::array<const char*, 2> pressures = {"1", "1.0000001"};
    std::size_t i = 0;
    for (auto _ : state) {
        dorvent::SteamState steam;
        dorvent::duqucanshu({pressures[i++ % pressures.size()], "MPa", "250", "℃"}, steam);
        std::string report = dorvent::runSegmentCalculation(texts, steam);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_segmentWorkedCase)->Unit(benchmark::kMicrosecond);

// A trunk line long enough to stay superheated over 100 km: DN600 630 x 8, 200 t/h at 10 MPa
// and 550 ℃, well insulated. The argument is the length in m, to see how cost grows with it.
void BM_segmentLength(benchmark::State& state)
{
    const std::string length = std::to_string(state.range(0));
    const dorvent::SegmentTexts texts{.dn = "DN600", .waijing = "630", .bihou = "8", .length = length,
                                      .zeta = "0.2", .beta = "0.2", .phi = "1", .ambient = "20",
                                      .heatLoss = "0.5", .drop = "0.5", .flow = "200", .friction = "15"};
    const std::array<const char*, 2> pressures = {"10", "10.000001"};
    std::size_t i = 0;
    for (auto _ : state) {
        dorvent::SteamState steam;
        dorvent::duqucanshu({pressures[i++ % pressures.size()], "MPa", "550", "℃"}, steam);
        std::string report = dorvent::runSegmentCalculation(texts, steam);
        if (report.rfind("末端压力", 0) != 0) state.SkipWithError(report.c_str());
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_segmentLength)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
