#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "bench/networks.h"
#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipeline/loopmodel.h"
#include "pipeline/networklayout.h"
#include "pipeline/networksolver.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/pipesizing.h"
#include "pipeline/treelayout.h"
#include "steam/regions.h"

// The references here do not use the solver: each path of a loop is computed as a series main
// by the segment calculation, and the split of the flow is found by bisection until both paths
// end at the same pressure. Mixtures are worked out from IF97 region 2 directly.

namespace dorvent {
namespace {

PipelineSegment pipe(std::string label, std::string from, std::string to, int dn, double length)
{
    return {.label = std::move(label), .from = std::move(from), .to = std::move(to), .dn = dn, .length = length,
            .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 15, .dropPerKm = 10, .heatLossSource = HeatLossSource::typed,
            .heatLoss = 1.2};
}

struct End {
    double p, t;
};

/// The end of pipes in series carrying the flows given, from p [MPa] and t [℃]; a pressure of −1
/// where they cannot carry them.
End seriesEnd(const std::vector<std::pair<PipelineSegment, double>>& pipes, double p, double t,
              TemperatureLaw law = TemperatureLaw::heatLoss)
{
    PipelineDocument main{.startPressure = p, .startTemperature = t, .temperatureLaw = law};
    for (auto [s, flow] : pipes) {
        s.from.clear();
        s.to.clear();
        s.flow = flow;
        main.segments.push_back(s);
    }
    const PipelineResult r = calculatePipeline(main);
    if (!r.allComputed) return {-1, 0};  // too much flow for the pressure: below anything that computes
    return {r.segments.back().pend, r.segments.back().tend};
}

/// The x in [lo, hi] where f changes sign, f falling.
double bisect(const std::function<double(double)>& f, double lo, double hi)
{
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (f(mid) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

double enthalpy(double p, double celsius)
{
    double v = 0, h = 0, cp = 0;
    quyu2(celsius + 273.15, p, v, h, cp);
    return h;
}

/// The temperature [℃] of superheated steam at p with enthalpy h, by bisection on region 2.
double temperatureOf(double p, double h)
{
    return bisect([p, h](double t) { return h - enthalpy(p, t); }, 100, 600);
}

const SegmentRun& runOf(const PipelineResult& r, std::size_t i) { return r.segments.at(i); }

const NodeRun& nodeOf(const PipelineResult& r, const std::string& name)
{
    for (const NodeRun& node : r.nodes) {
        if (node.name == name) return node;
    }
    throw std::runtime_error("no node " + name);
}

/// At every node the steam arriving equals the steam leaving, its demand and what a source adds
/// (to 1e-6 t/h), and the pipes arriving end at its pressure (to 1e-5 MPa); over the network the enthalpy the sources deliver equals what the consumers
/// take and the pipes lose.
void expectBalances(const PipelineDocument& d, const PipelineResult& r)
{
    ASSERT_TRUE(r.solve && r.solve->converged) << (r.solve ? r.solve->message : "");
    std::map<std::string, double> net;
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        const double G = r.segments[i].flow.value_or(0);
        net[d.segments[i].from] -= G;
        net[d.segments[i].to] += G;
    }
    for (const NetworkNode& node : d.nodes) net[node.name] -= node.demand.value_or(0);
    for (const SourceRun& source : r.sources) net[r.nodes[source.node].name] += source.flow;
    for (const auto& [name, imbalance] : net) EXPECT_NEAR(imbalance, 0, 1e-6) << name;
    // Every pipe ends at the pressure of the node it feeds, to the solver's tolerance.
    for (const SegmentRun& run : r.segments) {
        if (run.status != SegmentStatus::computed) continue;
        EXPECT_LE(std::abs(run.pend - r.nodes[*run.toNode].p), kPressureTolerance);
    }

    // Mixing at the nodes keeps the enthalpy: what the sources deliver less what the consumers take
    // is what the pipes lose, Σ G·Δh, to rounding.
    // A stagnant pipe's condensate is left out of the mixing: no balance of enthalpy to check.
    if (std::ranges::any_of(r.segments, [](const SegmentRun& run) { return run.message.find("近乎滞流") != std::string::npos; })) return;
    double delivered = 0, taken = 0, lost = 0, reported = 0;
    for (const SourceRun& source : r.sources) delivered += source.heatKw;
    for (const NetworkNode& node : d.nodes) {
        const NodeRun& run = nodeOf(r, node.name);
        if (node.demand) taken += *node.demand * enthalpy(run.p, run.t) / 3.6;
    }
    for (const SegmentRun& run : r.segments) {
        if (run.status != SegmentStatus::computed) continue;
        lost += std::abs(*run.flow) * (enthalpy(run.p0, run.t0) - enthalpy(run.pend, run.tend)) / 3.6;
        reported += run.heatLossKw;
    }
    EXPECT_NEAR(delivered - taken, lost, 1e-9 * delivered);
    // Under the energy balance the pipes' heat loss is their enthalpy drop. The heat-loss law
    // lowers the temperature by Q / (G·cp) and leaves out the throttling, which raises h at a
    // given temperature: there G·Δh falls short of Q by some 10 %, whatever the network.
    if (d.temperatureLaw == TemperatureLaw::enthalpyBalance) {
        EXPECT_NEAR(lost, reported, 1e-9 * delivered);
    }
}

/// A ring 厂 → 甲 → 乙 → 丙 → 厂 of DN200 pipes of 1 km, the source 厂 on it at 1 MPa and 300 ℃.
PipelineDocument ring(double a, double b, double c)
{
    PipelineDocument d{.startPressure = 1.0, .startTemperature = 300};
    d.segments = {pipe("厂甲", "厂", "甲", 200, 1000), pipe("甲乙", "甲", "乙", 200, 1000), pipe("乙丙", "乙", "丙", 200, 1000),
                  pipe("丙厂", "丙", "厂", 200, 1000)};
    d.nodes = {{.name = "厂", .source = SourceKind::pressure},
               {.name = "甲", .demand = a},
               {.name = "乙", .demand = b},
               {.name = "丙", .demand = c}};
    return d;
}

TEST(LoopModel, SplitsAsTheSquareLawSaysByHand)
{
    // Two pipes from A (held at 1 MPa) to B, which takes 10 t/h; S 0.001 and 0.004 MPa/(t/h)²:
    // G₁/G₂ = √(S₂/S₁) = 2, so 20/3 and 10/3 t/h, and B at 1 − 0.001·(20/3)² MPa. The second pipe
    // typed from B to A carries its flow negative. C joins nothing held at a pressure.
    LoopModel model({LoopModel::Ends{0, 1}, LoopModel::Ends{1, 0}, LoopModel::Ends{2, 3}}, {1.0, {}, {}, {}});
    EXPECT_EQ(model.loopCount(), 1U);
    EXPECT_FALSE(model.reached(2));
    model.solve({0.001, 0.004, 1}, {0, 10, 0, 0}, 1e-3);
    EXPECT_NEAR(model.flows()[0], 20.0 / 3, 1e-9);
    EXPECT_NEAR(model.flows()[1], -10.0 / 3, 1e-9);
    EXPECT_NEAR(model.pressures()[1], 1 - 0.001 * 400.0 / 9, 1e-12);
    // A second source at B held at 0.99 MPa feeding C: B then takes from A only what the drop of
    // 0.01 MPa pushes, √(0.01/0.001) and √(0.01/0.004) t/h, and sends the rest of its own.
    LoopModel two({LoopModel::Ends{0, 1}, LoopModel::Ends{1, 0}, LoopModel::Ends{1, 2}}, {1.0, 0.99, {}});
    two.solve({0.001, 0.004, 0.002}, {0, 0, 5}, 1e-3);
    EXPECT_NEAR(two.flows()[0], std::sqrt(10.0), 1e-9);
    EXPECT_NEAR(two.flows()[1], -std::sqrt(2.5), 1e-9);
    EXPECT_NEAR(two.flows()[2], 5, 1e-12);
}

TEST(NetworkSolver, ARingSplitsItsFlowAsTheLoopEquationSays)
{
    // Asymmetric: 甲 takes 5 t/h, 乙 opposite the source 20 t/h; x of it comes by way of 甲.
    PipelineDocument d = ring(5, 20, 0);
    const PipelineResult r = calculatePipeline(d);
    const auto& s = d.segments;
    const auto viaA = [&](double x) { return seriesEnd({{s[0], 5 + x}, {s[1], x}}, 1.0, 300); };
    const auto viaC = [&](double x) { return seriesEnd({{s[3], 20 - x}, {s[2], 20 - x}}, 1.0, 300); };
    const double x = bisect([&](double x) { return viaA(x).p - viaC(x).p; }, 0, 20);
    EXPECT_NEAR(*runOf(r, 0).flow, 5 + x, 1e-3);
    EXPECT_NEAR(*runOf(r, 1).flow, x, 1e-3);
    EXPECT_NEAR(*runOf(r, 2).flow, -(20 - x), 1e-3);  // against its typed direction 乙 → 丙
    EXPECT_NEAR(*runOf(r, 3).flow, -(20 - x), 1e-3);
    const End a = viaA(x), c = viaC(x);
    EXPECT_NEAR(nodeOf(r, "乙").p, c.p, 2e-5);  // the larger inflow's end
    EXPECT_NEAR(a.p, c.p, 2e-5);
    const double h = (x * enthalpy(a.p, a.t) + (20 - x) * enthalpy(c.p, c.t)) / 20;
    EXPECT_NEAR(nodeOf(r, "乙").t, temperatureOf(c.p, h), 2e-3);
    expectBalances(d, r);
    EXPECT_LE(r.solve->residual, kPressureTolerance);

    // What the user sees: the reversed pipe's flow negative, read from its inlet 丙, and the path
    // to the critical consumer along the steam.
    EXPECT_EQ(cellText(s[2], &runOf(r, 2), Column::flow), formatFixed(-(20 - x), 3));
    EXPECT_EQ(cellText(s[2], &runOf(r, 2), Column::p0), formatFixed(seriesEnd({{s[3], 20 - x}}, 1.0, 300).p, 3));
    EXPECT_EQ(pathText(d, r, r.critical), "厂 → 丙 → 乙");
    EXPECT_NE(resultLines(d, r).find("管网求解 收敛"), std::string::npos);

    // Symmetric: 甲 and 丙 alike take 10 t/h each straight from the source; nothing passes 乙.
    d = ring(10, 0, 10);
    const PipelineResult even = calculatePipeline(d);
    EXPECT_NEAR(*runOf(even, 0).flow, 10, 1e-6);
    EXPECT_NEAR(*runOf(even, 3).flow, -10, 1e-6);
    EXPECT_EQ(runOf(even, 1).flow, 0.0);
    EXPECT_EQ(runOf(even, 1).message, "管段中没有蒸汽流动");
    EXPECT_EQ(nodeOf(even, "甲").p, nodeOf(even, "丙").p);
    EXPECT_NEAR(nodeOf(even, "甲").p, seriesEnd({{s[0], 10}}, 1.0, 300).p, 1e-12);
    EXPECT_FALSE(nodeOf(even, "乙").computed);
    expectBalances(d, even);
}

TEST(NetworkSolver, TwoSourcesAtDifferentPressuresShareOneConsumer)
{
    PipelineDocument d{.startPressure = 1.0, .startTemperature = 300};
    d.segments = {pipe("一线", "一厂", "用户", 200, 2000), pipe("二线", "二厂", "用户", 200, 1500)};
    d.nodes = {{.name = "一厂", .source = SourceKind::pressure},
               {.name = "二厂", .source = SourceKind::pressure, .sourcePressure = 0.95, .sourceTemperature = 280},
               {.name = "用户", .demand = 25}};
    const PipelineResult r = calculatePipeline(d);
    const auto one = [&](double x) { return seriesEnd({{d.segments[0], x}}, 1.0, 300); };
    const auto two = [&](double x) { return seriesEnd({{d.segments[1], 25 - x}}, 0.95, 280); };
    const double x = bisect([&](double x) { return one(x).p - two(x).p; }, 0.5, 24.5);
    EXPECT_NEAR(*runOf(r, 0).flow, x, 1e-3);
    EXPECT_NEAR(*runOf(r, 1).flow, 25 - x, 1e-3);
    ASSERT_EQ(r.sources.size(), 2U);
    EXPECT_NEAR(r.sources[0].flow, x, 1e-3);
    EXPECT_NEAR(r.sources[0].heatKw, x * enthalpy(1.0, 300) / 3.6, 1);
    // Its shares: each source's part of the consumer's steam, by the flows.
    const NodeRun& user = nodeOf(r, "用户");
    ASSERT_EQ(user.shares.size(), 2U);
    EXPECT_NEAR(user.shares[0], x / 25, 1e-4);
    EXPECT_NEAR(user.shares[0] + user.shares[1], 1, 1e-12);
    expectBalances(d, r);

    // The second plant raised: it takes over more of the load.
    d.nodes[1].sourcePressure = 1.05;
    const PipelineResult raised = calculatePipeline(d);
    EXPECT_LT(*runOf(raised, 0).flow, x - 1);
}

TEST(NetworkSolver, ALoopFlowReversesWhenTheDemandsChange)
{
    // 甲 takes most: part of its steam comes round by 丙 and 乙, against 甲乙's typed direction.
    PipelineDocument d = ring(20, 0, 5);
    const PipelineResult toA = calculatePipeline(d);
    EXPECT_LT(*runOf(toA, 1).flow, -0.1);
    EXPECT_TRUE(runOf(toA, 1).reversed);
    EXPECT_EQ(runOf(toA, 1).fromNode, std::optional<std::size_t>(2));  // its steam leaves 乙
    EXPECT_EQ(cellText(d.segments[1], &runOf(toA, 1), Column::flow).front(), '-');
    expectBalances(d, toA);
    // 丙 takes most: the flow turns, and by the ring's symmetry mirrors the one before.
    d = ring(5, 0, 20);
    const PipelineResult toC = calculatePipeline(d);
    EXPECT_GT(*runOf(toC, 1).flow, 0.1);
    EXPECT_FALSE(runOf(toC, 1).reversed);
    EXPECT_NEAR(*runOf(toC, 1).flow, -*runOf(toA, 2).flow, 1e-3);
    EXPECT_NEAR(nodeOf(toC, "乙").t, nodeOf(toA, "乙").t, 1e-3);
    expectBalances(d, toC);
}

TEST(NetworkSolver, WhatCannotBeSolvedSaysSoAndShowsNoNumbers)
{
    // A consumer joined to nothing that a source feeds: the rest is solved.
    PipelineDocument d = ring(5, 20, 0);
    d.segments.push_back(pipe("孤立", "外", "孤", 100, 100));
    d.nodes.push_back({.name = "孤", .demand = 1});
    PipelineResult r = calculatePipeline(d);
    EXPECT_TRUE(r.solve->converged);
    EXPECT_EQ(nodeOf(r, "孤").message, "没有定压热源与该节点相连");
    EXPECT_FALSE(nodeOf(r, "孤").computed);
    EXPECT_EQ(runOf(r, 4).status, SegmentStatus::notComputed);
    EXPECT_EQ(cellText(d.segments[4], &runOf(r, 4), Column::pend), "");
    EXPECT_TRUE(nodeOf(r, "乙").computed);

    // A demand the source's pressure cannot push through: no pressures, no temperatures.
    d = ring(5, 200, 0);
    r = calculatePipeline(d);
    ASSERT_TRUE(r.solve);
    EXPECT_FALSE(r.solve->converged);
    EXPECT_EQ(r.solve->message.find("热源压力不足以输送所需用汽量"), 0U) << r.solve->message;
    for (const NodeRun& node : r.nodes) EXPECT_FALSE(node.computed) << node.name;
    for (std::size_t i = 0; i < d.segments.size(); ++i) EXPECT_EQ(cellText(d.segments[i], &runOf(r, i), Column::pend), "");
    EXPECT_NE(resultLines(d, r).find(r.solve->message), std::string::npos);

    // No source with a pressure: nothing is solved, and the words say what to do.
    d = ring(5, 20, 0);
    d.nodes[0] = {.name = "厂", .source = SourceKind::flow, .sourceTemperature = 300, .sourceFlow = 25};
    r = calculatePipeline(d);
    EXPECT_EQ(r.solve->message, "管网没有定压热源：至少一个热源应给定压力");
    // A typed flow in a looped network is refused at its cell.
    d = ring(5, 20, 0);
    d.segments[1].flow = 3;
    r = calculatePipeline(d);
    EXPECT_EQ(runOf(r, 1).field, SegmentField::flow);
    EXPECT_FALSE(r.solve->converged);
}

TEST(NetworkSolver, AFixedFlowSourceSetsItsFlowAndTheNetworkItsPressure)
{
    PipelineDocument d = ring(5, 20, 0);
    d.segments.push_back(pipe("补汽", "二厂", "乙", 150, 500));
    d.nodes.push_back({.name = "二厂", .source = SourceKind::flow, .sourceTemperature = 290, .sourceFlow = 8});
    const PipelineResult r = calculatePipeline(d);
    expectBalances(d, r);
    EXPECT_NEAR(*runOf(r, 4).flow, 8, 1e-9);
    // Its pressure is what pushes 8 t/h to 乙: the pipe from it ends at 乙's pressure.
    const NodeRun& plant = nodeOf(r, "二厂");
    const End end = seriesEnd({{d.segments[4], 8}}, plant.p, 290);
    EXPECT_NEAR(end.p, nodeOf(r, "乙").p, 2e-5);
    EXPECT_NEAR(r.sources[0].flow, 17, 1e-6);
}

TEST(NetworkSolver, ATreeSolvedAgreesWithTheTreeComputedPipeAfterPipe)
{
    for (const TemperatureLaw law : {TemperatureLaw::heatLoss, TemperatureLaw::enthalpyBalance}) {
        PipelineDocument d = law == TemperatureLaw::heatLoss ? bench::thermalNetwork(60, true) : bench::wetNetwork(60);
        d.temperatureLaw = law;
        const PipelineResult march = calculatePipeline(d);
        const PipelineResult solved = solveNetwork(d, NetworkLayout(d));
        ASSERT_TRUE(solved.solve->converged) << solved.solve->message;
        EXPECT_EQ(solved.solve->iterations, 1);
        const auto near = [](double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(std::abs(a), 1.0); };
        for (std::size_t i = 0; i < d.segments.size(); ++i) {
            const SegmentRun &a = march.segments[i], &b = solved.segments[i];
            ASSERT_EQ(a.status, b.status) << i;
            if (a.status != SegmentStatus::computed) continue;
            EXPECT_TRUE(near(*a.flow, *b.flow) && near(a.p0, b.p0) && near(a.pend, b.pend) && near(a.tend, b.tend) &&
                        near(a.heatLossKw, b.heatLossKw))
                << i;
        }
        for (std::size_t n = 0; n < march.nodes.size(); ++n) {
            EXPECT_EQ(march.nodes[n].computed, solved.nodes[n].computed);
            EXPECT_TRUE(near(march.nodes[n].p, solved.nodes[n].p) && near(march.nodes[n].t, solved.nodes[n].t)) << n;
        }
    }
}

TEST(NetworkSolver, TheEnergyBalanceHoldsUnderTheEnergyBalanceLaw)
{
    PipelineDocument d = ring(5, 20, 3);
    d.temperatureLaw = TemperatureLaw::enthalpyBalance;
    d.segments.push_back(pipe("二线", "二厂", "乙", 150, 800));
    d.nodes.push_back({.name = "二厂", .source = SourceKind::pressure, .sourcePressure = 0.98, .sourceTemperature = 260});
    const PipelineResult r = calculatePipeline(d);
    expectBalances(d, r);
}

TEST(NetworkSolver, SourcesTakeTheirOwnStateTheirDemandOnceAndAreNeverFedBackwards)
{
    // 厂 with its own pressure but not its temperature: 1.1 MPa, the header's 300 ℃; its own
    // demand of 2 t/h is produced once, beside the 25 t/h it sends.
    PipelineDocument d = ring(5, 20, 0);
    d.nodes[0].sourcePressure = 1.1;
    d.nodes[0].demand = 2;
    PipelineResult r = calculatePipeline(d);
    ASSERT_TRUE(r.solve && r.solve->converged) << r.solve->message;
    EXPECT_EQ(std::pair(r.nodes[0].p, r.nodes[0].t), std::pair(1.1, 300.0));
    EXPECT_NEAR(r.sources[0].flow, 27, 1e-9);
    expectBalances(d, r);
    // What the text gives is what the solve did.
    EXPECT_NE(resultLines(d, r).find("计算各管段 " + std::to_string(r.solve->iterations) + " 次"), std::string::npos);

    // A fixed-flow source in the middle of a main, fed by a pipe as well: its steam mixes in.
    PipelineDocument chain{.startPressure = 1.0, .startTemperature = 300};
    chain.segments = {pipe("前段", "厂", "中", 200, 1000), pipe("后段", "中", "用户", 200, 800)};
    chain.nodes = {{.name = "厂", .source = SourceKind::pressure},
                   {.name = "中", .source = SourceKind::flow, .sourceTemperature = 260, .sourceFlow = 5},
                   {.name = "用户", .demand = 15}};
    r = calculatePipeline(chain);
    ASSERT_TRUE(r.solve && r.solve->converged) << r.solve->message;
    const End fed = seriesEnd({{chain.segments[0], 10}}, 1.0, 300);
    const double p = r.nodes[1].p, h = (10 * enthalpy(fed.p, fed.t) + 5 * enthalpy(p, 260)) / 15;
    EXPECT_NEAR(p, fed.p, 1e-12);
    EXPECT_NEAR(r.nodes[1].t, temperatureOf(p, h), 2e-3);
    EXPECT_NEAR(r.sources[1].heatKw, 5 * enthalpy(p, 260) / 3.6, 1e-6);
    EXPECT_NEAR(r.nodes[2].shares[1], 5.0 / 15, 1e-12);
    expectBalances(chain, r);

    // More fixed flow than the demands, or a plant that the other would feed: said, no numbers.
    chain.nodes[1].sourceFlow = 16;
    EXPECT_EQ(calculatePipeline(chain).solve->message, "定流量热源共供汽 16 t/h，多于总用汽量 15 t/h：多余的蒸汽将倒流入定压热源");
    chain.nodes[1] = {.name = "中", .demand = 1};
    chain.nodes[2] = {.name = "用户", .source = SourceKind::pressure, .sourcePressure = 0.6, .sourceTemperature = 280};
    r = calculatePipeline(chain);
    EXPECT_EQ(r.solve->message.find("热源“用户”的供汽量为 -"), 0U) << r.solve->message;
    EXPECT_FALSE(r.nodes[1].computed);
    EXPECT_EQ(r.nodes[1].kind, NodeKind::consumer);
}

TEST(NetworkSolver, StagnantPipesAndFailedSolvesKeepWhatIsKnown)
{
    // 乙 takes 0.05 t/h from both sides of a DN200 ring: its pipes crawl at a few cm/s, the steam
    // condenses, and 乙 gets condensate; across them only friction, so 乙's pressure is 甲's.
    PipelineDocument d = ring(10, 0.05, 10);
    PipelineResult r = calculatePipeline(d);
    ASSERT_TRUE(r.solve && r.solve->converged) << r.solve->message;
    EXPECT_NE(r.segments[1].message.find("近乎滞流"), std::string::npos) << r.segments[1].message;
    EXPECT_EQ(r.nodes[2].message, "上游近乎滞流，只有凝结水流到该节点");
    EXPECT_NEAR(*r.segments[1].flow, 0.025, 1e-6);
    expectBalances(d, r);

    // A network with a branch point that cannot be solved still says which node is which, and
    // what its consumers take; a pipe from a second, unmarked plant into the tree makes it one
    // to be solved (its pipe then carries nothing).
    d = ring(5, 200, 0);
    r = calculatePipeline(d);
    ASSERT_FALSE(r.solve->converged);
    EXPECT_EQ(std::pair(r.nodes[2].kind, r.totals.demand), std::pair(NodeKind::consumer, 205.0));
    d = ring(5, 20, 0);
    d.nodes.push_back({.name = "丁"});
    d.segments.push_back(pipe("丁丙", "丁", "丙", 100, 100));
    d.segments.push_back(pipe("丙丁", "丙", "丁", 100, 100));
    EXPECT_EQ(calculatePipeline(d).nodes[3].kind, NodeKind::branch);
    PipelineDocument tree{.startPressure = 1.0, .startTemperature = 300};
    tree.segments = {pipe("一", "S", "A", 200, 500), pipe("二", "B", "A", 200, 500)};
    tree.nodes = {{.name = "A", .demand = 5}};
    r = calculatePipeline(tree);
    ASSERT_TRUE(r.solve && r.solve->converged);
    EXPECT_EQ(r.segments[1].flow, 0.0);
    // Sizing walks a tree of one source: a ring is refused, marked or not.
    d = ring(5, 20, 0);
    d.nodes[0].source = SourceKind::none;
    ASSERT_TRUE(calculatePipeline(d).solve.has_value());
    EXPECT_EQ(sizeNetwork(d).problems, std::vector<std::string>{std::string(kLoopSizingMessage)});
}

TEST(NetworkSolver, ALoadCaseSolvesTheRingWithItsOwnSourceAndDemands)
{
    PipelineDocument d = ring(5, 20, 0);
    d.cases = {{.name = "低负荷", .startPressure = 1.1, .factor = 0.5}};
    const std::vector<PipelineResult> results = calculateCases(d);
    ASSERT_EQ(results.size(), 2U);
    // The case built by hand: the header's source, which 厂 takes, at 1.1 MPa; half the demands.
    PipelineDocument low = ring(2.5, 10, 0);
    low.startPressure = 1.1;
    const PipelineResult alone = calculatePipeline(low);
    ASSERT_TRUE(results[1].solve && results[1].solve->converged);
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        EXPECT_EQ(cellText(d.segments[i], &results[1].segments[i], Column::flow), cellText(low.segments[i], &alone.segments[i], Column::flow));
        EXPECT_EQ(cellText(d.segments[i], &results[1].segments[i], Column::pend), cellText(low.segments[i], &alone.segments[i], Column::pend));
    }
    EXPECT_NEAR(results[1].sources[0].flow, 12.5, 1e-9);
    EXPECT_EQ(results[1].nodes[0].p, 1.1);
}

TEST(NetworkSolver, SourcesAndPlacesRoundTripThroughTheFile)
{
    PipelineDocument d = ring(5, 20, 0);
    d.nodes[0].source = SourceKind::none;
    EXPECT_NE(writePipelineFile(d).find("\"version\": 2"), std::string::npos);  // nothing new: as before
    d.nodes[0] = {.name = "厂", .source = SourceKind::pressure, .sourcePressure = 1.1, .x = -12.5, .y = 300};
    d.nodes.push_back({.name = "二厂", .source = SourceKind::flow, .sourceFlow = 8, .notNumbers = {{"sourceTemperature", "热"}}});
    const std::string text = writePipelineFile(d);
    EXPECT_NE(text.find("\"version\": 6"), std::string::npos);
    // A place alone is kept too.
    PipelineDocument placed = ring(5, 20, 0);
    placed.nodes[0] = {.name = "厂", .x = 3, .y = 4};
    EXPECT_EQ(readPipelineFile(writePipelineFile(placed)).document, placed);
    const auto read = readPipelineFile(text);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(*read.document, d);
    EXPECT_EQ(writePipelineFile(*read.document), text);
    std::string lopsided = text;
    lopsided.replace(lopsided.find("\"y\": 300"), 8, "\"y\": null");
    EXPECT_FALSE(readPipelineFile(lopsided).document);
}

}  // namespace
}  // namespace dorvent
