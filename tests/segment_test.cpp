#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/readnumber.h"
#include "pipes/chosenpipe.h"
#include "pipes/qiuliusu.h"
#include "segment/guanduanjisuan.h"
#include "segment/segmentcommand.h"

namespace dorvent {
namespace {

SteamState stateAt(const char* pressure, const char* temperature)
{
    SteamState state;
    duqucanshu({pressure, "MPa", temperature, "℃"}, state);
    return state;
}

/// The inputs of the worked design: DN200 219 x 6 at 1 MPa, 250 ℃, 10 t/h over 250 m.
SegmentTexts workedCase()
{
    return {.dn = "DN200", .waijing = "219", .bihou = "6", .length = "250", .zeta = "0.2", .beta = "0.2",
            .phi = "1", .ambient = "20", .heatLoss = "3.02", .drop = "5", .flow = "10", .friction = "74.501"};
}

/// The worked design as a SegmentInput.
SegmentInput workedInput(const SteamState& state) { return readSegmentInput(workedCase(), state); }

std::vector<double> numbersOf(const std::string& report)
{
    std::vector<double> numbers;
    std::size_t start = 0;
    for (std::size_t end = report.find("\r\n"); start <= report.size(); end = report.find("\r\n", start)) {
        const std::string line = report.substr(start, end - start);
        const std::size_t blank = line.find(' ');
        numbers.push_back(readNumber(line.substr(blank)));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return numbers;
}

TEST(Segment, WorkedCaseGivesTheEndStateToTheLastDigit)
{
    SteamState state = stateAt("1", "250");
    ASSERT_EQ(state.area, region::steam);
    // The friction loss the chosen pipe shows, which the calculation takes as its first guess.
    SteamState copy = state;
    EXPECT_EQ(checkPipe(copy.area, refreshDensity(copy), {"10", "DN200", "219", "6"}).friction, "74.501");

    const std::string report = runSegmentCalculation(workedCase(), state);
    const std::vector<std::string> lines = {"末端压力 ", "末端温度 ", "管段热损失 ", "管段温度降 ", "每km温度降 ", "平均比摩阻 "};
    const std::vector<std::string> units = {" MPa", " ℃", " kW", " ℃", " ℃", " Pa/m"};
    const std::vector<double> expected = {0.978, 240.801, 56.718, 9.199, 36.796, 89.525};
    const std::vector<double> numbers = numbersOf(report);
    ASSERT_EQ(numbers.size(), 6u) << report;
    std::size_t at = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(numbers[i], expected[i], 0.002) << lines[i];
        at = report.find(lines[i], at);
        ASSERT_NE(at, std::string::npos) << lines[i];
        EXPECT_EQ(report.find(units[i] + (i < 5 ? "\r\n" : ""), at) != std::string::npos, true) << units[i];
    }
    EXPECT_NE(report.substr(report.size() - 2), "\r\n");
    EXPECT_EQ(state.liuliang, 10.0f);

    // The per-km and mean results divide by the entered length, not the rounded one.
    const SegmentOutcome outcome = guanduanjisuan(workedInput(state), state);
    ASSERT_EQ(outcome.failure, "");
    EXPECT_DOUBLE_EQ(outcome.result.dTkm, outcome.result.dTsum / 0.25);
    EXPECT_DOUBLE_EQ(outcome.result.Rmean, 1e6 * (state.p - outcome.result.pend) / 250.0);
    // An empty friction box only changes the first guess.
    SegmentTexts noFriction = workedCase();
    noFriction.friction = "";
    const std::vector<double> again = numbersOf(runSegmentCalculation(noFriction, state));
    ASSERT_EQ(again.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(again[i], expected[i], 0.002) << lines[i];
}

TEST(Segment, CutsTheLengthIntoSectionsOfAHundredMetres)
{
    const struct {
        float L;
        std::vector<double> sections;
    } cases[] = {
        {100, {100}},          {99.6f, {99.6f}},       {250, {100, 100, 50}}, {300, {100, 100, 100}},
        {150.5f, {100, 50}},   {151.5f, {100, 52}},    {250.4f, {100, 100, 50}},
        {299.7f, {100, 100, 100}}, {0.5f, {}},          {0.6f, {0.6f}},        {100.5f, {100.5f}},
    };
    for (const auto& c : cases) EXPECT_EQ(sectionLengths(c.L), c.sections) << c.L;
    EXPECT_EQ(sectionLengths(3276600).size(), 32766u);
}

TEST(Segment, HeatAndFrictionFollowTheirCoefficients)
{
    SteamState state = stateAt("1", "250");
    SegmentInput in = workedInput(state);
    in.L = 100;
    for (float beta : {0.0f, 0.2f}) {
        in.beta = beta;
        in.zeta = 0;
        const SegmentOutcome outcome = guanduanjisuan(in, state);
        ASSERT_EQ(outcome.failure, "");
        // One section: the loss through the insulation at the mean of start and end temperature.
        const double meanCelsius = (state.t + outcome.result.Tend) / 2 - 273.15;
        EXPECT_NEAR(outcome.result.Qsum, (1 + beta) * 3.02 * (meanCelsius - 20) * 100, 1e-3 * outcome.result.Qsum);
    }
    // Without local resistances the drop is the pipe's own friction loss over the length.
    in.beta = 0;
    const double plain = guanduanjisuan(in, state).result.Rmean;
    EXPECT_NEAR(plain, 74.501, 0.5);
    in.zeta = 0.5f;
    EXPECT_NEAR(guanduanjisuan(in, state).result.Rmean / plain, 1.5, 0.01);

    // Half the simultaneous use is half the flow, for friction and temperature drop alike.
    SegmentInput halfUse = workedInput(state);
    halfUse.phi = 0.5f;
    SegmentInput halfFlow = workedInput(state);
    halfFlow.G = 5;
    const SegmentOutcome a = guanduanjisuan(halfUse, state);
    EXPECT_EQ(state.liuliang, 5.0f);
    const SegmentOutcome b = guanduanjisuan(halfFlow, state);
    EXPECT_EQ(a.result.pend, b.result.pend);
    EXPECT_EQ(a.result.dTsum, b.result.dTsum);
    EXPECT_GT(a.result.dTsum, guanduanjisuan(workedInput(state), state).result.dTsum);

    // Air warmer than the steam warms it: negative loss and drop, and the calculation goes on.
    SegmentInput warm = workedInput(state);
    warm.ta = 300;
    const SegmentOutcome warmed = guanduanjisuan(warm, state);
    ASSERT_EQ(warmed.failure, "");
    EXPECT_LT(warmed.result.Qsum, 0);
    EXPECT_LT(warmed.result.dTsum, 0);
    EXPECT_GT(warmed.result.Tend, state.t);
}

TEST(Segment, StartsInRegionFiveAndStopsWhenTheEndIsNoLongerSteam)
{
    SteamState hot = stateAt("5", "1200");
    ASSERT_EQ(hot.area, region::hotSteam);
    SegmentTexts texts = workedCase();
    texts.flow = "50";
    texts.length = "1000";
    const std::vector<double> numbers = numbersOf(runSegmentCalculation(texts, hot));
    ASSERT_EQ(numbers.size(), 6u);
    EXPECT_LT(numbers[0], 5.0);
    EXPECT_LT(numbers[1], 1200.0);
    EXPECT_GT(numbers[2], 0.0);

    SteamState nearSaturation = stateAt("1", "185");  // 5 K above saturation
    texts = workedCase();
    texts.length = "5000";
    EXPECT_EQ(runSegmentCalculation(texts, nearSaturation), kEndNotSuperheatedMessage);

    SteamState steam = stateAt("1", "250");
    texts = workedCase();
    texts.flow = "60";
    texts.length = "2000";
    EXPECT_EQ(runSegmentCalculation(texts, steam), kEndNotSuperheatedMessage);  // the pressure runs out
}

TEST(Segment, AsksForTheFirstMissingInputInItsOrder)
{
    SteamState state = stateAt("1", "250");
    const auto without = [&state](std::initializer_list<std::string SegmentTexts::*> fields) {
        SegmentTexts texts = workedCase();
        for (auto field : fields) texts.*field = "";
        return runSegmentCalculation(texts, state);
    };
    EXPECT_EQ(without({&SegmentTexts::dn, &SegmentTexts::length}), "请输入管道规格");
    EXPECT_EQ(without({&SegmentTexts::bihou}), "请输入管道规格");
    EXPECT_EQ(without({&SegmentTexts::length}), "请输入管段长度");
    EXPECT_EQ(without({&SegmentTexts::zeta, &SegmentTexts::beta, &SegmentTexts::phi}), "请输入局部阻力系数");
    EXPECT_EQ(without({&SegmentTexts::beta, &SegmentTexts::phi}), "请输入同时使用系数");
    EXPECT_EQ(without({&SegmentTexts::beta}), "请输入局部热损失系数");
    EXPECT_EQ(without({&SegmentTexts::ambient, &SegmentTexts::drop}), "请输入环境温度");
    EXPECT_EQ(without({&SegmentTexts::heatLoss}), "请输入单位热损失");
    EXPECT_EQ(without({&SegmentTexts::drop}), "请输入每km假设温降");
    // The flow is not asked for, but without it there is nothing to compute.
    EXPECT_EQ(without({&SegmentTexts::flow}), "蒸汽流量与同时使用系数之积不能为0");
}

TEST(Segment, RefusesOnceWhatItCannotCompute)
{
    SteamState state = stateAt("1", "250");
    const auto with = [&state](std::string SegmentTexts::*field, const char* text) {
        SegmentTexts texts = workedCase();
        texts.*field = text;
        return runSegmentCalculation(texts, state);
    };
    EXPECT_EQ(with(&SegmentTexts::length, "0.4"), "管段长度应不小于0.5m");
    EXPECT_EQ(with(&SegmentTexts::length, "   "), "管段长度应不小于0.5m");
    EXPECT_EQ(with(&SegmentTexts::length, "-250"), "管段长度应不小于0.5m");
    EXPECT_EQ(with(&SegmentTexts::length, "1e7"), "管段长度不能超过3276600m");
    EXPECT_EQ(with(&SegmentTexts::length, "1e39"), "输入数值超出计算范围，无法计算");
    EXPECT_EQ(with(&SegmentTexts::drop, "0"), "假设每km温降不能为0");
    EXPECT_EQ(with(&SegmentTexts::phi, "0"), "蒸汽流量与同时使用系数之积不能为0");
    EXPECT_EQ(with(&SegmentTexts::flow, "1e39"), "输入数值超出计算范围，无法计算");
    EXPECT_EQ(with(&SegmentTexts::ambient, "1e400"), "输入数值超出计算范围，无法计算");
    EXPECT_EQ(with(&SegmentTexts::bihou, "200"), kWallThicknessMessage);
    EXPECT_EQ(with(&SegmentTexts::heatLoss, "0"), "管段温度降为0（单位热损失为0或蒸汽温度等于环境温度），无法迭代计算");

    SteamState none;
    EXPECT_EQ(runSegmentCalculation(workedCase(), none), kStateFirstMessage);
    SteamState water = stateAt("5", "200");
    ASSERT_EQ(water.area, region::water);
    EXPECT_EQ(runSegmentCalculation(workedCase(), water), "管段起点蒸汽不是过热蒸汽，不能用本程序计算");
}

// Inputs found by a random search over steam states and segment inputs, far outside any design,
// for the two guards that need an iteration under way.
TEST(Segment, StopsIterationsThatCannotFinish)
{
    const auto outcome = [](const char* pressure, const char* temperature, SegmentInput in) {
        SteamState state = stateAt(pressure, temperature);
        in.p0 = state.p;
        in.T0 = state.t;
        in.region0 = state.area;
        return std::string(guanduanjisuan(in, state).failure);
    };
    SegmentInput meanInRegion1{261.797272f, 1.80777907f, 0.773589969f, 1.13652039f, 324.42078342581163,
                               48.336474951129269, 1009.3924188224219, 255.8627630405459, 108, 4,
                               93991.668553399126};
    EXPECT_EQ(outcome("37.450312", "454.269203", meanInRegion1), "管段平均状态不是过热蒸汽，无法求出比热");

    SegmentInput oscillating{81.7081985f, 1.262532f, 1.75493693f, 0.772214234f, 103.98360059279608,
                             35.103862124886234, 2794.531220184243, 187.11832796764557, 108, 4,
                             41109.827693872801};
    EXPECT_EQ(outcome("21.587526", "685.473267", oscillating), "迭代100次仍未收敛，无法求出管段末端参数");
}

}  // namespace
}  // namespace dorvent
