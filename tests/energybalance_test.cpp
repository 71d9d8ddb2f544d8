// A pipe computed by its energy balance against an independent fine march: the numbers marked
// "reference" are printed by tests/data/wetsteam_reference.py, which integrates the same model
// (IF97 typed from the release and checked against its verification tables, the rough-pipe
// friction law without rounding) by RK4 in 0.5 m steps; its comments give the derivation.
// The program marches 100 m sections with the segment calculation's rounding and tolerances, so
// each comparison allows what that costs, far less than what tells the two laws apart. Case F, a
// trunk and its two branches, is checked in a main and a network (wetpipeline_test.cpp).

#include <gtest/gtest.h>

#include <string>

#include "segment/energybalance.h"
#include "steam/regions.h"
#include "steam/wetsteam.h"

namespace dorvent {
namespace {

struct Pipe { double D, s, L, G, zeta, beta, ta, q; };

SegmentInput input(const Pipe& pipe, double p0, double T0Celsius = 0)
{
    return {.L = static_cast<float>(pipe.L), .zeta = static_cast<float>(pipe.zeta), .beta = static_cast<float>(pipe.beta), .phi = 1,
            .ta = pipe.ta, .q = pipe.q, .d = 5, .G = pipe.G, .D = pipe.D, .s = pipe.s, .R0 = 100, .p0 = p0, .T0 = T0Celsius + 273.15, .region0 = 2};
}

double enthalpy(double p, double Tcelsius)
{
    double v = 0, h = 0, cp = 0;
    quyu2(Tcelsius + 273.15, p, v, h, cp);
    return h;
}

BalanceResult march(const SegmentInput& in, double h0)
{
    const BalanceOutcome outcome = energyBalance(in, h0, 0.8);
    EXPECT_EQ(outcome.failure, "");
    return outcome.result;
}

// The case letters are those of the reference script.
const Pipe kA{273, 7, 3000, 25, 0.15, 0.2, 20, 1.2};
const Pipe kD{219, 12, 2000, 60, 0.15, 0.2, 20, 1.0};

TEST(EnergyBalance, SuperheatedMainsEndColderThanByTheHeatLossLaw)
{
    const struct { Pipe pipe; double p0, t0, pend, tend, heatKw, heatLossLawTend; } rows[] = {  // reference
        {kA, 1.6, 300, 1.22457453, 274.313197, 320.602005, 279.106553},
        {kD, 8.0, 480, 6.38108744, 463.956648, 301.454406, 472.608904},
    };
    for (const auto& r : rows) {
        const SegmentInput in = input(r.pipe, r.p0, r.t0);
        const BalanceResult b = march(in, enthalpy(r.p0, r.t0));
        EXPECT_NEAR(b.pend, r.pend, 5e-5) << r.p0;
        EXPECT_NEAR(b.Tend - 273.15, r.tend, 0.002) << r.p0;
        EXPECT_NEAR(b.Qsum / 3600, r.heatKw, 0.001) << r.p0;
        EXPECT_TRUE(b.dryness == 1 && b.condensate == 0 && !b.saturationDistance) << r.p0;

        // The heat-loss law on the same pipe ends warmer by about the throttling cooling.
        SteamState state;
        const SegmentOutcome heatLossLaw = guanduanjisuan(in, state);
        ASSERT_EQ(heatLossLaw.failure, "");
        EXPECT_NEAR(heatLossLaw.result.Tend - b.Tend, r.heatLossLawTend - r.tend, 0.002) << r.p0;
    }
}

TEST(EnergyBalance, GoesOnPastSaturationAndSaysWhereAndHowMuchCondenses)
{
    const double superheat2 = saturationAt(0.8)->T - 273.15 + 2;
    const struct { std::string_view name; Pipe pipe; double p0, t0, pend, tend, dryness, condensate, saturation; } rows[] = {  // reference
        {"B low load, wet mid-pipe", {89, 4, 600, 0.8, 0.15, 0.2, 0, 0.6}, 1.0, 200,
         0.960794715, 178.155004, 0.976910224, 0.0184718211, 305.025046},
        {"C starts 2 ℃ superheated", {159, 4.5, 800, 5, 0.15, 0.2, 10, 0.8}, 0.8, superheat2,
         0.698089181, 164.842533, 0.9934966, 0.0325169999, 210.833888},
    };
    for (const auto& r : rows) {
        const double h0 = enthalpy(r.p0, r.t0);
        const BalanceResult b = march(input(r.pipe, r.p0, r.t0), h0);
        EXPECT_NEAR(b.pend, r.pend, 1e-5) << r.name;
        EXPECT_NEAR(b.Tend - 273.15, r.tend, 0.001) << r.name;
        EXPECT_NEAR(b.dryness, r.dryness, 5e-5) << r.name;
        EXPECT_NEAR(b.condensate, r.condensate, 5e-5 * r.pipe.G) << r.name;
        ASSERT_TRUE(b.saturationDistance) << r.name;
        EXPECT_NEAR(*b.saturationDistance, r.saturation, 0.2) << r.name;
        // Every kJ lost came out of the flow's enthalpy.
        EXPECT_NEAR(b.Qsum, r.pipe.G * 1000 * (h0 - b.hend), 1e-6 * b.Qsum) << r.name;
    }
}

TEST(EnergyBalance, StopsWhereTheDrynessFallsBelowTheLowest)
{
    const Pipe e{57, 3.5, 1500, 0.3, 0.1, 0.2, 0, 0.6};
    const SegmentInput in = input(e, 0.6, 170);
    const BalanceOutcome stopped = energyBalance(in, enthalpy(0.6, 170), 0.8);
    // reference: x = 0.8 at 1357.9 m; the section's straight line puts it within a metre
    const std::string before = "蒸汽干度在距管段起点约 ", after = " m 处降至最低干度 0.8 以下，均相流计算到此为止";
    ASSERT_TRUE(stopped.failure.starts_with(before) && stopped.failure.ends_with(after)) << stopped.failure;
    EXPECT_NEAR(std::stod(stopped.failure.substr(before.size())), 1357.9, 1.0);

    const BalanceOutcome lower = energyBalance(in, enthalpy(0.6, 170), 0.75);
    ASSERT_EQ(lower.failure, "");
    EXPECT_NEAR(lower.result.dryness, 0.782813089, 3e-4);  // reference; a low dryness, the coarsest
    EXPECT_NEAR(lower.result.pend, 0.282870888, 1e-4);     // reference
}

TEST(EnergyBalance, AnInsulatedPipeLosesWhatItsInsulationLosesAndATraceFollowsTheSections)
{
    SegmentInput in = input({219, 6, 250, 10, 0.15, 0.2, 20, 0}, 1.0, 250);
    in.lossPerMetre = [](double t) { return t < 240 ? 100.0 : 120.0; };  // W/m, below and above 240 ℃
    std::vector<BalanceSection> trace;
    const double h0 = enthalpy(1.0, 250);
    const BalanceOutcome outcome = energyBalance(in, h0, 0.8, &trace);
    ASSERT_EQ(outcome.failure, "");
    // 1.2 · 3.6 kJ/h per W: 120 W/m over the first two sections, whose steam stays above 240 ℃.
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_TRUE(trace[0].x == 100 && trace[2].x == 250 && trace[2].p < trace[1].p);
    EXPECT_NEAR(outcome.result.Qsum, (1.0 + in.beta) * 3.6 * 120 * 250, 1e-6);
    EXPECT_NEAR(outcome.result.hend, h0 - outcome.result.Qsum / 10000, 1e-9);
}

TEST(EnergyBalance, RefusesWhatItCannotCompute)
{
    const Pipe small{57, 3.5, 1000, 1, 0.1, 0.2, 0, 0.6};
    EXPECT_EQ(energyBalance(input(small, 0.6), 500, 0.8).failure, "管段起点蒸汽状态超出IF97过热蒸汽区和湿蒸汽区的范围，不能计算");  // water
    const SaturationProperties sat = *saturationAt(0.6);
    EXPECT_EQ(energyBalance(input(small, 0.6), sat.hLiquid + 0.7 * (sat.hVapour - sat.hLiquid), 0.8).failure,
              "蒸汽干度在距管段起点约 0 m 处降至最低干度 0.8 以下，均相流计算到此为止");
    EXPECT_EQ(energyBalance(input({57, 3.5, 3000, 20, 0.1, 0.2, 0, 0.6}, 0.6), enthalpy(0.6, 200), 0.8).failure,
              "压降过大，管段末端压力降至0以下，无法计算");
    EXPECT_EQ(energyBalance(input({57, 30, 100, 1, 0.1, 0.2, 0, 0.6}, 0.6), enthalpy(0.6, 200), 0.8).failure, "壁厚不符合实际");
    // No heat lost, nothing to iterate: only the throttling cools the steam.
    const BalanceResult adiabatic = march(input({219, 6, 1000, 30, 0.15, 0.2, 20, 0}, 1.6, 300), enthalpy(1.6, 300));
    EXPECT_TRUE(adiabatic.Qsum == 0 && adiabatic.Tend < 300 + 273.15) << adiabatic.Qsum;
    EXPECT_DOUBLE_EQ(adiabatic.hend, enthalpy(1.6, 300));
}

}  // namespace
}  // namespace dorvent
