#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "mainwin/steaminput.h"
#include "pipes/qiuliusu.h"
#include "segment/guanduanjisuan.h"
#include "segment/segmentcommand.h"

namespace dorvent {

using T = SegmentTexts;
using Changes = std::vector<std::pair<std::string T::*, const char*>>;

static SteamState stateAt(const char* pressure, const char* temperature)
{
    SteamState state;
    duqucanshu({pressure, "MPa", temperature, "℃"}, state);
    return state;
}

/// The worked design, DN200 219 x 6 at 1 MPa, 250 ℃, 10 t/h over 250 m, with changes on top.
static T workedCase(const Changes& changes = {})
{
    T texts{.dn = "DN200", .waijing = "219", .bihou = "6", .length = "250", .zeta = "0.2", .beta = "0.2",
            .phi = "1", .ambient = "20", .heatLoss = "3.02", .drop = "5", .flow = "10", .friction = "74.501"};
    for (const auto& [field, text] : changes) texts.*field = text;
    return texts;
}

static SegmentResult resultOf(const Changes& changes, SteamState& state)
{
    const SegmentOutcome outcome = guanduanjisuan(readSegmentInput(workedCase(changes), state), state);
    EXPECT_EQ(outcome.failure, "");
    return outcome.result;
}

TEST(Segment, WorkedDesignGivesTheKnownEndStateAndTheCoefficientsScaleIt)
{
    const std::string worked = "末端压力 0.978 MPa\r\n末端温度 240.801 ℃\r\n管段热损失 56.718 kW\r\n"
                               "管段温度降 9.199 ℃\r\n每km温度降 36.796 ℃\r\n平均比摩阻 89.525 Pa/m";
    SteamState state = stateAt("1", "250");
    EXPECT_EQ(runSegmentCalculation(workedCase(), state), worked);
    // The friction loss of the chosen pipe is only the first guess: without it the end state is the same.
    EXPECT_EQ(runSegmentCalculation(workedCase({{&T::friction, ""}}), state), worked);
    // 250.4 m runs the sections of 250 m, but per km and per metre count the length entered.
    const SegmentResult longer = resultOf({{&T::length, "250.4"}}, state);
    EXPECT_NEAR(longer.Qsum / 3600, 56.718, 0.002);
    EXPECT_NEAR(longer.dTkm * 0.2504, 9.199, 0.002);
    EXPECT_NEAR(longer.Rmean * 250.4, 89.525 * 250, 0.5);
    // One section: the loss through the insulation, (1 + beta) times, at the mean of start and end temperature;
    // without local resistances the drop is the pipe's own friction loss, and zeta lengthens the pipe.
    const SegmentResult plain = resultOf({{&T::length, "100"}, {&T::zeta, "0"}}, state);
    EXPECT_NEAR(plain.Qsum, 1.2 * 3.02 * ((state.t + plain.Tend) / 2 - 273.15 - 20) * 100, 1e-3 * plain.Qsum);
    EXPECT_NEAR(plain.Rmean, 74.501, 0.5);
    EXPECT_NEAR(resultOf({{&T::length, "100"}, {&T::zeta, "0.5"}}, state).Rmean / plain.Rmean, 1.5, 0.01);
    const SegmentResult halfUse = resultOf({{&T::phi, "0.5"}}, state);
    EXPECT_EQ(std::pair(state.liuliang, halfUse.dTsum), std::pair(5.0f, resultOf({{&T::flow, "5"}}, state).dTsum));
    // Air warmer than the steam warms it, and the calculation goes on.
    const SegmentResult warmed = resultOf({{&T::ambient, "300"}}, state);
    EXPECT_TRUE(warmed.Qsum < 0 && warmed.Tend > state.t) << warmed.Qsum << " kJ/h " << warmed.Tend << " K";
    SteamState hot = stateAt("5", "1200");  // region 5 at the start
    const SegmentResult r = resultOf({{&T::flow, "50"}, {&T::length, "1000"}}, hot);
    EXPECT_TRUE(hot.area == region::hotSteam && r.pend < 5 && r.Tend < hot.t && r.Qsum > 0) << r.pend << " MPa " << r.Tend;
}

// Whole metres, a tie to the even number; below 100.5 m one section of exactly the length.
TEST(Segment, CutsTheRoundedLengthIntoSectionsOfAHundredMetres)
{
    const struct { float L; std::vector<double> sections; } cases[] = {
        {250, {100, 100, 50}}, {250.4f, {100, 100, 50}}, {299.7f, {100, 100, 100}}, {150.5f, {100, 50}},
        {151.5f, {100, 52}}, {100.5f, {100.5f}}, {99.6f, {99.6f}}, {0.6f, {0.6f}}, {0.5f, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(sectionLengths(c.L), c.sections) << c.L;
    EXPECT_EQ(sectionLengths(3276600).size(), 32766u);
}

TEST(Segment, AnswersEveryReasonForNoResultWithItsMessage)
{
    const std::string_view noFlow = "蒸汽流量与同时使用系数之积不能为0", tooShort = "管段长度应大于0.5m",
                           range = "输入数值超出计算范围，无法计算", tooLong = "管段长度不能超过3276600.5m";
    // The start state is 1 MPa, 250 ℃ unless a row names another; nullptr: none evaluated.
    struct Row { Changes changes; std::string_view message; const char *pressure = "1", *temperature = "250"; };
    const Row rows[] = {
        // The first missing input in the order the engineer is asked; the flow is not asked for.
        {{{&T::dn, ""}, {&T::length, ""}}, "请输入管道规格"}, {{{&T::bihou, ""}}, "请输入管道规格"},
        {{{&T::length, ""}}, "请输入管段长度"}, {{{&T::zeta, ""}, {&T::beta, ""}, {&T::phi, ""}}, "请输入局部阻力系数"},
        {{{&T::beta, ""}, {&T::phi, ""}}, "请输入同时使用系数"}, {{{&T::beta, ""}}, "请输入局部热损失系数"},
        {{{&T::ambient, ""}, {&T::drop, ""}}, "请输入环境温度"}, {{{&T::heatLoss, ""}}, "请输入单位热损失"},
        {{{&T::drop, ""}}, "请输入每km假设温降"}, {{{&T::flow, ""}}, noFlow}, {{{&T::phi, "0"}}, noFlow},
        // Values it cannot start from; blanks are not missing, they read 0. 0.5 m rounds to no whole metre;
        // 3276600.5 m is the longest of 32766 sections, and the next longer single-precision length needs one more.
        {{{&T::length, "0.4"}}, tooShort}, {{{&T::length, "0.5"}}, tooShort}, {{{&T::length, "   "}}, tooShort},
        {{{&T::length, "3276600.5"}}, kEndNotSuperheatedMessage}, {{{&T::length, "3276600.75"}}, tooLong},
        {{{&T::length, "1e7"}}, tooLong}, {{{&T::length, "1e39"}}, range},
        {{{&T::flow, "1e39"}}, range}, {{{&T::ambient, "1e400"}}, range}, {{{&T::bihou, "200"}}, kWallThicknessMessage},
        {{{&T::drop, "0"}}, "假设每km温降不能为0"},
        {{{&T::heatLoss, "0"}}, "管段温度降为0（单位热损失为0或蒸汽温度等于环境温度），无法迭代计算"},
        {{}, kStateFirstMessage, nullptr}, {{}, "管段起点蒸汽不是过热蒸汽，不能用本程序计算", "5", "200"},  // water
        // The end leaves superheated steam: the temperature (5 K above saturation) or the pressure runs out.
        {{{&T::length, "5000"}}, kEndNotSuperheatedMessage, "1", "185"},
        {{{&T::flow, "60"}, {&T::length, "2000"}}, kEndNotSuperheatedMessage},
    };
    for (const auto& row : rows) {
        SteamState state = row.pressure == nullptr ? SteamState{} : stateAt(row.pressure, row.temperature);
        EXPECT_EQ(runSegmentCalculation(workedCase(row.changes), state), row.message) << "row " << &row - rows;
    }
    // Inputs found by a random search, far outside any design, for the guards of an iteration under way.
    const struct { const char *pressure, *temperature; SegmentInput in; std::string_view message; } stuck[] = {
        {"37.450312", "454.269203", {261.797272f, 1.80777907f, 0.773589969f, 1.13652039f, 324.42078342581163,
         48.336474951129269, 1009.3924188224219, 255.8627630405459, 108, 4, 93991.668553399126}, "管段平均状态不是过热蒸汽，无法求出比热"},
        {"21.587526", "685.473267", {81.7081985f, 1.262532f, 1.75493693f, 0.772214234f, 103.98360059279608,
         35.103862124886234, 2794.531220184243, 187.11832796764557, 108, 4, 41109.827693872801}, "迭代100次仍未收敛，无法求出管段末端参数"},
    };
    for (auto [pressure, temperature, in, message] : stuck) {
        SteamState state = stateAt(pressure, temperature);
        std::tie(in.p0, in.T0, in.region0) = std::tuple(state.p, state.t, state.area);
        EXPECT_EQ(guanduanjisuan(in, state).failure, message) << pressure;
    }
}

}  // namespace dorvent
