// Mains and networks under 温降计算：按焓平衡: every pipe by its energy balance, from where the pipe
// before it ended, into wet steam. The numbers marked "reference" are printed by
// tests/data/wetsteam_reference.py (case letters as there), an independent fine march of the
// same model; the program's 100 m sections are allowed what energybalance_test allows them.

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <string>

#include "pipeline/nodetable.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinetable.h"
#include "steam/regions.h"
#include "steam/wetsteam.h"

namespace dorvent {
namespace {

struct Pipe { double D, s, L, G, zeta, beta, ta, q; };
const Pipe kTrunk{159, 4.5, 500, 4, 0.15, 0.2, 0, 0.8};     // F trunk
const Pipe kDryBranch{108, 4, 500, 3.5, 0.15, 0.2, 0, 0.8};  // F1
const Pipe kWetBranch{57, 3.5, 1500, 0.5, 0.15, 0.2, 0, 0.8};  // F2

PipelineSegment pipe(const Pipe& p, std::string from = "", std::string to = "", bool typedFlow = true)
{
    return {.label = to, .from = std::move(from), .to = to, .outerDiameter = p.D, .wall = p.s, .length = p.L,
            .flow = typedFlow ? std::optional(p.G) : std::nullopt, .zeta = p.zeta, .beta = p.beta, .phi = 1,
            .ambient = p.ta, .dropPerKm = 5, .heatLoss = p.q};
}

PipelineDocument balanced(double p0, double t0, std::vector<PipelineSegment> segments)
{
    return {.startPressure = p0, .startTemperature = t0, .segments = std::move(segments),
            .temperatureLaw = TemperatureLaw::enthalpyBalance};
}

/// Case F as a network: the trunk to N1, from there a superheated branch to 甲 and a wet one to 乙.
PipelineDocument caseF()
{
    PipelineDocument d = balanced(1.0, 200, {pipe(kTrunk, "锅炉房", "N1", false), pipe(kDryBranch, "N1", "甲", false),
                                             pipe(kWetBranch, "N1", "乙", false)});
    d.nodes = {{.name = "甲", .demand = 3.5}, {.name = "乙", .demand = 0.5, .requiredTemperature = 150}};
    return d;
}

std::string cell(const PipelineDocument& d, const PipelineResult& r, std::size_t i, Column c) { return cellText(d.segments[i], &r.segments[i], c); }

double enthalpy(double p, double t)
{
    double v = 0, h = 0, cp = 0;
    quyu2(t + 273.15, p, v, h, cp);
    return h;
}

/// Every computed pipe lost what its flow's enthalpy fell by, from its start's enthalpy.
void expectEnergyBalance(const PipelineDocument& d, const PipelineResult& r, double h0)
{
    for (std::size_t i = 0; i < r.segments.size(); ++i) {
        const SegmentRun& run = r.segments[i];
        ASSERT_EQ(run.status, SegmentStatus::computed) << i << run.message;
        const std::optional<std::size_t> feed = r.network ? r.nodes[*run.fromNode].feed : i > 0 ? std::optional(i - 1) : std::nullopt;
        const double start = feed ? r.segments[*feed].balance->hend : h0;
        const double lost = *run.flow * *d.segments[i].phi * 1000 * (start - run.balance->hend) / 3600;  // kW
        EXPECT_NEAR(run.heatLossKw, lost, 1e-6 * lost) << i;
    }
}

TEST(WetPipeline, AMainCarriesItsEnthalpyIntoTheWetPipeAndShowsWhereItSaturates)
{
    // The trunk of case F and its wet branch in series.
    const PipelineDocument d = balanced(1.0, 200, {pipe(kTrunk), pipe(kWetBranch)});
    const PipelineResult r = calculatePipeline(d);
    expectEnergyBalance(d, r, enthalpy(1.0, 200));
    EXPECT_NEAR(r.segments[0].pend, 0.967008438, 1e-5);           // reference
    EXPECT_NEAR(r.segments[0].balance->hend, 2804.89442, 0.002);  // reference
    const SegmentRun& wet = r.segments[1];
    EXPECT_NEAR(wet.pend, 0.300795349, 5e-4);                      // reference
    EXPECT_NEAR(wet.tend, 133.615675, 0.05);                       // reference: Tsat at that pressure
    EXPECT_NEAR(wet.balance->dryness, 0.820414047, 5e-5);          // reference
    EXPECT_NEAR(wet.balance->condensate, 0.0897929763, 2e-5);      // reference
    EXPECT_NEAR(*wet.balance->saturationDistance, 85.932006, 0.1);  // reference
    // The sections carry the dryness for the profile: 1 on the superheated trunk, down to the end's on the branch.
    EXPECT_TRUE(std::ranges::all_of(r.segments[0].sections, [](const SectionEnd& e) { return e.dryness == 1; }));
    // The first point of the branch is where its steam saturates, at the saturation temperature.
    const SectionEnd& first = wet.sections.front();
    EXPECT_EQ(std::tuple(first.x, first.dryness, first.T), std::tuple(*wet.balance->saturationDistance, 1.0, saturationAt(first.p)->T));
    EXPECT_LT(wet.sections[1].dryness, 1);
    EXPECT_EQ(std::pair(wet.sections.back().dryness, r.profile.back().dryness), std::pair(wet.balance->dryness, wet.balance->dryness));
    // The comparison starts the heat-loss law where this law started: from the document's start
    // it is that law's own result; on the wet branch it reaches saturation and gives none.
    PipelineDocument heatLoss = d;
    heatLoss.temperatureLaw = TemperatureLaw::heatLoss;
    EXPECT_EQ(cell(d, r, 0, Column::heatLossLawTend), cell(heatLoss, calculatePipeline(heatLoss), 0, Column::tend));
    EXPECT_NEAR(*r.segments[0].balance->heatLossLawTend(), 190.474371, 0.002);  // reference
    const auto row = [&](std::size_t i) {
        return std::vector{cell(d, r, i, Column::dryness), cell(d, r, i, Column::condensate), cell(d, r, i, Column::saturationDistance),
                           cell(d, r, i, Column::heatLossLawTend), cell(d, r, i, Column::superheat)};
    };
    EXPECT_EQ(row(0), (std::vector<std::string>{"", "", "", "190.474", "11.236"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"0.820", "0.090", "86", "", "0.000"}));
    EXPECT_EQ(cell(d, r, 1, Column::remark), "末端为湿蒸汽（干度 0.820），没有过热度，低于裕量 5 ℃");
    EXPECT_EQ(totalsText(r, Column::condensate), "0.090");
}

TEST(WetPipeline, APipeStartingWetGoesOnUntilItsDrynessFallsBelowTheLowest)
{
    // Case E stops at x = 0.8 (reference: 1357.9 m); a pipe after it is not computed. With 0.75 it ends
    // at x 0.782813089 (reference); a second pipe starting in that wet steam goes on from its dryness.
    const Pipe e{57, 3.5, 1500, 0.3, 0.1, 0.2, 0, 0.6};
    PipelineDocument d = balanced(0.6, 170, {pipe(e), pipe({57, 3.5, 200, 0.3, 0.1, 0.2, 0, 0.6})});
    PipelineResult r = calculatePipeline(d);
    EXPECT_TRUE(cell(d, r, 0, Column::remark).starts_with("蒸汽干度在距管段起点约 135") && cell(d, r, 1, Column::remark) == "未计算：前面的管段未算出")
        << cell(d, r, 0, Column::remark) << cell(d, r, 1, Column::remark);

    d.lowestDryness = 0.75;
    r = calculatePipeline(d);
    expectEnergyBalance(d, r, enthalpy(0.6, 170));
    EXPECT_NEAR(r.segments[0].balance->dryness, 0.782813089, 3e-4);  // reference
    const BalanceRun& second = *r.segments[1].balance;
    EXPECT_EQ(second.startDryness, r.segments[0].balance->dryness);
    EXPECT_NEAR(second.condensate, 0.3 * (second.startDryness - second.dryness), 1e-9);
    EXPECT_FALSE(second.saturationDistance || second.heatLossLawTend());  // it entered wet
    EXPECT_EQ(cell(d, r, 1, Column::saturationDistance) + cell(d, r, 1, Column::heatLossLawTend), "");
    EXPECT_NEAR(*r.totals.condensate, r.segments[0].balance->condensate + second.condensate, 1e-12);
}

TEST(WetPipeline, SteamThatCondensesWhollyWithinASectionSaysWhereItFellBelowTheLowestDryness)
{
    // At 0.1 t/h 乙's branch falls to x = 0.1 within a section; lower, its steam is all water by the
    // end of the next, and the stop is placed within that one.
    PipelineDocument d = caseF();
    d.nodes[1].demand = 0.1;
    const auto stop = [&d](double lowest) {
        d.lowestDryness = lowest;
        const std::string remark = cell(d, calculatePipeline(d), 2, Column::remark);
        EXPECT_TRUE(remark.starts_with("蒸汽干度在距管段起点约 ")) << remark;
        return std::stod(remark.substr(std::string("蒸汽干度在距管段起点约 ").size()));
    };
    const double at10 = stop(0.1), at5 = stop(0.05);
    EXPECT_GT(at5, at10);
    EXPECT_GT(at5, 100 * std::ceil(at10 / 100));
    EXPECT_LE(at5, 100 * std::ceil(at10 / 100) + 100);
}

TEST(WetPipeline, ANetworkBranchGoesWetWhileItsSiblingStaysSuperheatedAndItsConsumerIsFlagged)
{
    const PipelineDocument d = caseF();
    const PipelineResult r = calculatePipeline(d);
    expectEnergyBalance(d, r, enthalpy(1.0, 200));
    EXPECT_NEAR(r.segments[1].pend, 0.726329113, 2e-5);                    // reference
    EXPECT_NEAR(r.segments[1].tend, 172.727508, 0.001);                    // reference
    EXPECT_DOUBLE_EQ(r.segments[1].balance->dryness, 1);
    EXPECT_NEAR(*r.segments[1].balance->heatLossLawTend(), 179.340495, 0.002);  // reference, from the same start
    EXPECT_NEAR(r.segments[2].balance->dryness, 0.820414047, 5e-5);        // reference

    const auto node = [&](std::size_t n) {
        std::vector<std::string> texts;
        for (const NodeColumn c : {NodeColumn::superheat, NodeColumn::dryness, NodeColumn::condensate, NodeColumn::remark})
            texts.push_back(nodeCellText(d, r.nodes[n], c));
        return texts;
    };
    EXPECT_EQ(node(2), (std::vector<std::string>{"6.280", "", "", ""}));  // 甲
    EXPECT_EQ(node(3), (std::vector<std::string>{"0.000", "0.820", "0.090", "温度不足；过热度不足：到达的是湿蒸汽（干度 0.820）"}));
    EXPECT_EQ(totalsText(r, Column::condensate), "0.090");

    // A margin above 甲's superheat flags its superheated end as such; a lowest dryness above 乙's
    // stops that branch, and the network's water is no total of what did not compute.
    PipelineDocument stricter = d;
    std::tie(stricter.superheatMargin, stricter.lowestDryness) = std::tuple(10, 0.85);
    const PipelineResult s = calculatePipeline(stricter);
    const std::string remark = cell(stricter, s, 1, Column::remark);
    EXPECT_TRUE(remark.starts_with("末端过热度 6.2") && remark.ends_with("低于裕量 10 ℃")) << remark;
    EXPECT_EQ(std::pair(s.segments[2].status, totalsText(s, Column::condensate)), std::pair(SegmentStatus::failed, std::string()));
}

TEST(WetPipeline, TheWaterReachingTheConsumersIsAllThatFormedInTheNetwork)
{
    // A trunk that ends wet shares its water among its branches by their flows; each branch adds its own.
    const Pipe small{57, 3.5, 300, 0.375, 0.1, 0.2, 0, 1.2};
    PipelineDocument d = balanced(0.6, 170, {pipe(small, "S", "N", false), pipe({57, 3.5, 200, 0.25, 0.1, 0.2, 0, 1.2}, "N", "C1", false),
                                             pipe({57, 3.5, 100, 0.125, 0.1, 0.2, 0, 1.2}, "N", "C2", false)});
    d.nodes = {{.name = "C1", .demand = 0.25}, {.name = "C2", .demand = 0.125}};
    const PipelineResult r = calculatePipeline(d);
    expectEnergyBalance(d, r, enthalpy(0.6, 170));
    ASSERT_LT(r.segments[0].balance->dryness, 0.99);
    double formed = 0;
    for (const SegmentRun& run : r.segments) formed += run.balance->condensate;
    EXPECT_NEAR(*r.nodes[2].condensate + *r.nodes[3].condensate, formed, 1e-12);
    EXPECT_NEAR(*r.totals.condensate, formed, 1e-12);
    EXPECT_NEAR(*r.nodes[1].condensate, r.segments[0].balance->condensate, 1e-12);  // N: what the trunk formed
}

}  // namespace
}  // namespace dorvent
