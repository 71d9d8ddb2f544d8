// The calculations on the two hot paths: every keystroke re-evaluates the steam state, and a
// segment calculation runs the property routines thousands of times. Every case varies its
// input from one iteration to the next, so that nothing is computed once and reused.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>

#include "bench/naive_region2.h"
#include "bench/networks.h"
#include "bench/statistics.h"
#include "insulation/heatloss.h"
#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipesizing.h"
#include "pipes/chosenpipe.h"
#include "pipes/proposal.h"
#include "segment/energybalance.h"
#include "segment/guanduanjisuan.h"
#include "segment/segmentcommand.h"
#include "steam/b23.h"
#include "steam/regions.h"
#include "steam/saturation.h"

namespace dorvent::bench {
namespace {

template <typename Array>
const auto& cycle(const Array& values, std::size_t& i)
{
    return values[i++ % values.size()];
}

using PropertyRoutine = void (*)(double, double, double&, double&, double&);

template <PropertyRoutine routine>
void properties(benchmark::State& state, const std::array<std::pair<double, double>, 8>& points)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [T, p] = cycle(points, i);
        double v, h, cp;
        routine(T, p, v, h, cp);
        benchmark::DoNotOptimize(v + h + cp);
    }
}

constexpr std::array<std::pair<double, double>, 8> kSteam = {
    {{523.15, 1}, {573.15, 2}, {623.15, 5}, {673.15, 10}, {723.15, 0.5}, {773.15, 3}, {823.15, 8}, {873.15, 13}}};
constexpr std::array<std::pair<double, double>, 8> kWater = {
    {{300, 3}, {300, 80}, {500, 3}, {350, 10}, {400, 20}, {450, 40}, {550, 60}, {600, 90}}};
constexpr std::array<std::pair<double, double>, 8> kHotSteam = {
    {{1500, 0.5}, {1500, 8}, {2000, 8}, {1200, 1}, {1300, 2}, {1700, 5}, {1900, 9}, {2200, 3}}};

void BM_quyu1(benchmark::State& state) { properties<quyu1>(state, kWater); }
void BM_quyu2(benchmark::State& state) { properties<quyu2>(state, kSteam); }
void BM_quyu5(benchmark::State& state) { properties<quyu5>(state, kHotSteam); }
void BM_naiveRegion2(benchmark::State& state) { properties<naiveRegion2>(state, kSteam); }
BENCHMARK(BM_quyu1)->Apply([](auto* b) { repeated(b); });
BENCHMARK(BM_quyu2)->Apply([](auto* b) { repeated(b); });
BENCHMARK(BM_quyu5)->Apply([](auto* b) { repeated(b); });
BENCHMARK(BM_naiveRegion2)->Apply([](auto* b) { repeated(b); });

template <Refusal (*routine)(double, double&)>
void boundary(benchmark::State& state, std::array<double, 8> inputs)
{
    std::size_t i = 0;
    for (auto _ : state) {
        double out = 0.0;
        const Refusal refusal = routine(cycle(inputs, i), out);
        benchmark::DoNotOptimize(out);
        benchmark::DoNotOptimize(refusal);
    }
}

void BM_qiupbaohe(benchmark::State& s) { boundary<qiupbaohe>(s, {300, 350, 400, 450, 500, 550, 600, 640}); }
void BM_qiutbaohe(benchmark::State& s) { boundary<qiutbaohe>(s, {0.01, 0.1, 0.5, 1, 2, 5, 10, 20}); }
void BM_qiup23bianjie(benchmark::State& s) { boundary<qiup23bianjie>(s, {623.15, 650, 680, 710, 740, 780, 820, 860}); }
void BM_qiut23bianjie(benchmark::State& s) { boundary<qiut23bianjie>(s, {16.6, 20, 30, 40, 50, 70, 85, 100}); }
BENCHMARK(BM_qiupbaohe)->Apply([](auto* b) { repeated(b); });
BENCHMARK(BM_qiutbaohe)->Apply([](auto* b) { repeated(b); });
BENCHMARK(BM_qiup23bianjie)->Apply([](auto* b) { repeated(b); });
BENCHMARK(BM_qiut23bianjie)->Apply([](auto* b) { repeated(b); });

void BM_qiuzhuangtai(benchmark::State& state)
{
    SteamState steam;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [T, p] = cycle(kSteam, i);
        std::int16_t area = 0;
        std::string report;
        qiuzhuangtai(T, p, area, report, steam);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_qiuzhuangtai)->Apply([](auto* b) { repeated(b); });

// The keystroke path: the texts of the four steam-parameter controls in, the report text out.
void BM_keystroke(benchmark::State& state)
{
    const std::array<const char*, 8> temperatures = {"25", "250", "2500", "300", "350", "1200", "450", "500"};
    SteamState steam;
    std::size_t i = 0;
    for (auto _ : state) {
        std::string report = duqucanshu({"1", "MPa", cycle(temperatures, i), "℃"}, steam);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_keystroke)->Apply([](auto* b) { repeated(b); });

void BM_readNumber(benchmark::State& state)
{
    const std::array<const char*, 4> texts = {"250", "1.25", " 3e2", "0.000611213"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(readNumber(cycle(texts, i)));
}
BENCHMARK(BM_readNumber)->Apply([](auto* b) { repeated(b); });

void BM_formatFixed(benchmark::State& state)
{
    const std::array<double, 4> values = {4.29712, 2943.2219, 2.0005, 0.125};
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = formatFixed(cycle(values, i), 3);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_formatFixed)->Apply([](auto* b) { repeated(b); });

SteamState steamAt(const char* pressure, const char* temperature)
{
    SteamState steam;
    duqucanshu({pressure, "MPa", temperature, "℃"}, steam);
    return steam;
}

void BM_proposal(benchmark::State& state)
{
    const std::array<const char*, 4> flows = {"1", "10", "26", "200"};
    SteamState steam = steamAt("1", "250");
    std::size_t i = 0;
    for (auto _ : state) {
        PipeProposal proposal = proposePipeSizes(steam, cycle(flows, i));
        benchmark::DoNotOptimize(proposal.rows.data());
    }
}
BENCHMARK(BM_proposal)->Apply([](auto* b) { repeated(b); });

void BM_chosenPipe(benchmark::State& state)
{
    const std::array<const char*, 4> walls = {"4", "4.5", "6", "8"};
    SteamState steam = steamAt("1", "250");
    std::size_t i = 0;
    for (auto _ : state) {
        ChosenPipeResult result = evaluateChosenPipe(steam, {"10", "DN100", "108", cycle(walls, i)});
        benchmark::DoNotOptimize(result.velocity.data());
    }
}
BENCHMARK(BM_chosenPipe)->Apply([](auto* b) { repeated(b); });

void runSegment(benchmark::State& state, const SegmentTexts& texts, std::array<const char*, 2> pressures,
                const char* temperature)
{
    std::size_t i = 0;
    for (auto _ : state) {
        SteamState steam = steamAt(cycle(pressures, i), temperature);
        std::string report = runSegmentCalculation(texts, steam);
        if (report.rfind("末端压力", 0) != 0) state.SkipWithError(report.c_str());
        benchmark::DoNotOptimize(report.data());
    }
}

// The worked design: DN200 219 x 6, 10 t/h of steam at 1 MPa and 250 ℃ over 250 m.
void BM_segmentWorkedCase(benchmark::State& state)
{
    runSegment(state,
               {.dn = "DN200", .waijing = "219", .bihou = "6", .length = "250", .zeta = "0.2", .beta = "0.2",
                .phi = "1", .ambient = "20", .heatLoss = "3.02", .drop = "5", .flow = "10", .friction = "74.501"},
               {"1", "1.0000001"}, "250");
}
BENCHMARK(BM_segmentWorkedCase)->Unit(benchmark::kMicrosecond)->Apply([](auto* b) { repeated(b); });

// A trunk main that stays superheated over 1000 km: DN1000 1020 x 12, 200 t/h at 10 MPa and
// 550 ℃, well insulated. The argument is the length in km, to see how cost grows with it.
void BM_segmentLength(benchmark::State& state)
{
    const std::string length = std::to_string(state.range(0) * 1000);
    runSegment(state,
               {.dn = "DN1000", .waijing = "1020", .bihou = "12", .length = length, .zeta = "0.2", .beta = "0.2",
                .phi = "1", .ambient = "20", .heatLoss = "0.05", .drop = "0.05", .flow = "200", .friction = "1.2"},
               {"10", "10.000001"}, "550");
}
BENCHMARK(BM_segmentLength)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Apply([](auto* b) { repeated(b); });

/// A trunk main of km kilometres in segments of 2 km (the last one takes the rest) from 10 MPa and
/// 550 ℃, well insulated, so that every segment computes: the flow falls from 200 t/h towards
/// 100 t/h at the branches and the pipe narrows from DN600 to DN500 half way. After 100 km the
/// steam is at about 8.1 MPa and 541 ℃.
PipelineDocument trunkMain(int km)
{
    PipelineDocument main{.startPressure = 10, .startTemperature = 550};
    const int segments = (km + 1) / 2;
    for (int i = 0; i < segments; ++i) {
        main.segments.push_back({.label = std::to_string(i + 1), .dn = 2 * i < segments ? 600 : 500,
                                 .length = std::min(2000.0, 1000.0 * km - 2000.0 * i),
                                 .flow = 200.0 - 100.0 * i / segments, .zeta = 0.2, .beta = 0.2, .phi = 1,
                                 .ambient = 20, .dropPerKm = 0.05, .heatLossSource = HeatLossSource::typed,
                                 .heatLoss = 0.05});
    }
    return main;
}

// Recalculating a whole main, as the pipeline window does after an edit. The argument is the
// length in km; 100 km is the main of 50 segments.
void BM_pipeline(benchmark::State& state)
{
    std::array<PipelineDocument, 2> mains = {trunkMain(static_cast<int>(state.range(0))),
                                             trunkMain(static_cast<int>(state.range(0)))};
    mains[1].startPressure = 10.000001;
    std::size_t i = 0;
    for (auto _ : state) {
        const PipelineResult result = calculatePipeline(cycle(mains, i));
        if (!result.allComputed) state.SkipWithError("a segment of the trunk main did not compute");
        benchmark::DoNotOptimize(result.profile.data());
    }
}
BENCHMARK(BM_pipeline)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->Apply([](auto* b) { repeated(b); });

// Recalculating a network after an edit: the argument is the count of pipes.
void BM_network(benchmark::State& state)
{
    std::array<PipelineDocument, 2> networks = {spineNetwork(static_cast<int>(state.range(0))),
                                                spineNetwork(static_cast<int>(state.range(0)))};
    networks[1].startPressure = 10.000001;
    std::size_t i = 0;
    for (auto _ : state) {
        const PipelineResult result = calculatePipeline(cycle(networks, i));
        if (!result.allComputed) state.SkipWithError("a pipe of the network did not compute");
        benchmark::DoNotOptimize(result.nodes.data());
    }
}
BENCHMARK(BM_network)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// A network whose pipes lose heat as real pipes do, from the heat-loss table (argument 0) or from
// an insulation of two layers solved at every section's temperature (argument 1); 1000 pipes.
void BM_networkInsulated(benchmark::State& state)
{
    std::array<PipelineDocument, 2> networks = {thermalNetwork(1000, state.range(0) == 1), thermalNetwork(1000, state.range(0) == 1)};
    networks[1].startPressure = 2.500001;
    std::size_t i = 0;
    for (auto _ : state) {
        const PipelineResult result = calculatePipeline(cycle(networks, i));
        if (!result.allComputed) state.SkipWithError("a pipe of the network did not compute");
        benchmark::DoNotOptimize(result.nodes.data());
    }
}
BENCHMARK(BM_networkInsulated)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// Solving a network of 1000 pipes with 50 loops and 3 sources after an edit. The counters: the
// solver's iterations, and its largest pressure difference at a node [Pa].
void BM_loopedNetwork(benchmark::State& state)
{
    std::array<PipelineDocument, 2> networks = {loopedNetwork(), loopedNetwork()};
    networks[1].startPressure = 2.500001;
    std::size_t i = 0;
    for (auto _ : state) {
        const PipelineResult result = calculatePipeline(cycle(networks, i));
        if (!result.solve || !result.solve->converged) {
            state.SkipWithError(result.solve ? result.solve->message.c_str() : "not solved");
            break;
        }
        state.counters["iterations"] = result.solve->iterations;
        state.counters["residualPa"] = result.solve->residual * 1e6;
        benchmark::DoNotOptimize(result.nodes.data());
    }
}
BENCHMARK(BM_loopedNetwork)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// A network of 1000 pipes by either temperature law: the first argument 0 for the heat-loss law,
// 1 for the energy balance; the second 0 for thermalNetwork, superheated throughout, 1 for
// wetNetwork, whose far branches turn wet. The counters: pipes computed, wet, failed.
void BM_networkLaw(benchmark::State& state)
{
    PipelineDocument network = state.range(1) == 1 ? wetNetwork(1000) : thermalNetwork(1000, false);
    network.temperatureLaw = state.range(0) == 1 ? TemperatureLaw::enthalpyBalance : TemperatureLaw::heatLoss;
    std::array<PipelineDocument, 2> networks = {network, network};
    networks[1].startPressure = 2.500001;
    std::size_t i = 0;
    for (auto _ : state) {
        const PipelineResult result = calculatePipeline(cycle(networks, i));
        benchmark::DoNotOptimize(result.nodes.data());
        double computed = 0, wet = 0, failed = 0;
        for (const SegmentRun& run : result.segments) {
            computed += run.status == SegmentStatus::computed;
            wet += run.balance && run.balance->wet();
            failed += run.status == SegmentStatus::failed;
        }
        state.counters["computed"] = computed;
        state.counters["wet"] = wet;
        state.counters["failed"] = failed;
    }
}
BENCHMARK(BM_networkLaw)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// Automatic sizing of a network: the argument is the count of pipes. The counters are of the last
// sizing: the pipes it computed and the steel it chose.
void sizing(benchmark::State& state, std::array<PipelineDocument, 2> networks, SizingOutcome expected)
{
    networks[1].startPressure = 10.000001;
    std::size_t i = 0;
    for (auto _ : state) {
        const SizingResult result = sizeNetwork(cycle(networks, i));
        if (result.outcome != expected) state.SkipWithError("the sizing did not end as expected");
        benchmark::DoNotOptimize(result.massAfter);
        state.counters["computed"] = static_cast<double>(result.computations);
        state.counters["kg"] = result.massAfter;
    }
}

void BM_sizing(benchmark::State& state)
{
    const PipelineDocument network = sizingNetwork(static_cast<int>(state.range(0)));
    sizing(state, {network, network}, SizingOutcome::sized);
}
BENCHMARK(BM_sizing)->Arg(50)->Arg(100)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// The same network sized over three load cases: the design case, and the others at 65 % and at
// 30 % of its demands.
void BM_sizingCases(benchmark::State& state)
{
    PipelineDocument network = sizingNetwork(static_cast<int>(state.range(0)));
    network.cases = {{.name = "工况2", .factor = 0.65}, {.name = "工况3", .factor = 0.3}};
    sizing(state, {network, network}, SizingOutcome::sized);
}
BENCHMARK(BM_sizingCases)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// The same network unservable: its last consumer needing 9.995 MPa, 3 kPa more than the largest
// pipes leave it (0), or a superheat margin of 170 ℃, which the largest pipes leave the far
// consumers short of and for which the search finds no sizes (1).
void BM_sizingUnservable(benchmark::State& state)
{
    PipelineDocument network = sizingNetwork(static_cast<int>(state.range(0)));
    if (state.range(1) == 0) {
        network.nodes.back().requiredPressure = 9.995;
    } else {
        network.superheatMargin = 170;
    }
    sizing(state, {network, network}, SizingOutcome::unservable);
}
BENCHMARK(BM_sizingUnservable)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond)->Apply([](auto* b) { repeated(b); });

// One insulation solve: Ts (and T1) to 1e-6 ℃, λ at each layer's mean temperature, αs at Ts.
// Arg 1: one layer of rock wool; arg 2: aluminium silicate felt under rock wool. The steam
// temperature, pipe and wind change from one iteration to the next (still air and wind alike).
void BM_insulation(benchmark::State& state)
{
    using namespace insulation;
    const Material felt = *findMaterial("硅酸铝棉毡"), rock = *findMaterial("岩棉");
    const std::array<std::pair<double, double>, 8> pipes = {
        {{32, 40}, {57, 50}, {108, 60}, {219, 80}, {426, 100}, {630, 100}, {1020, 120}, {1420, 150}}};
    const std::array<double, 8> media = {150, 250, 300, 350, 380, 320, 200, 390};
    const std::array<double, 8> winds = {0, 3, 0, 8, 1, 0, 20, 5};
    const bool twoLayers = state.range(0) == 2;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [D0, t] = cycle(pipes, i);
        Construction c = twoLayers ? Construction{D0, {felt, t / 2}, Layer{rock, t / 2}} : Construction{D0, {rock, t}, {}};
        const double T0 = twoLayers ? media[i % 8] + 200 : media[i % 8];
        const Outcome<HeatLoss> loss = solveHeatLoss(c, {T0, 20, winds[(i / 3) % 8], 0.25});
        benchmark::DoNotOptimize(loss->perMetre);
    }
}
BENCHMARK(BM_insulation)->Arg(1)->Arg(2)->Apply([](auto* b) { repeated(b); });

// One pipe of 3 km by either temperature law: DN250 (273 x 7), 25 t/h from 1.6 MPa and 300 ℃,
// 0.375 MPa of drop, superheated throughout. Arg 0: the heat-loss law of the segment calculation;
// arg 1: the energy balance in (p, h).
void BM_temperatureLaw(benchmark::State& state)
{
    SegmentInput in{.L = 3000, .zeta = 0.15f, .beta = 0.2f, .phi = 1, .ta = 20, .q = 1.2, .d = 5, .G = 25,
                    .D = 273, .s = 7, .R0 = 100, .p0 = 1.6, .T0 = 573.15, .region0 = 2};
    double v = 0, h0 = 0, cp = 0;
    quyu2(in.T0, in.p0, v, h0, cp);
    for (auto _ : state) {
        if (state.range(0) == 0) {
            SteamState steam;
            benchmark::DoNotOptimize(guanduanjisuan(in, steam).result.Tend);
        } else {
            benchmark::DoNotOptimize(energyBalance(in, h0, 0.8).result.Tend);
        }
    }
}
BENCHMARK(BM_temperatureLaw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Apply([](auto* b) { repeated(b); });

/// Keeps the median of every case, to set quyu2 against the naive evaluation of the same run.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> medians;
};

}  // namespace
}  // namespace dorvent::bench

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    dorvent::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& medians = reporter.medians;
    if (medians.count("BM_quyu2") != 0 && medians.count("BM_naiveRegion2") != 0) {
        std::printf("quyu2 is %.1f times as fast as the naive region 2 evaluation (medians of this run)\n",
                    medians.at("BM_naiveRegion2") / medians.at("BM_quyu2"));
    }
    benchmark::Shutdown();
    return 0;
}
