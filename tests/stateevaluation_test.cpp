#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "steam/b23.h"
#include "steam/saturation.h"

namespace dorvent {
namespace {

struct Evaluation {
    std::int16_t area = -1;
    std::string report;
    SteamState state;
};

Evaluation evaluate(double t, double p)
{
    Evaluation e;
    qiuzhuangtai(t, p, e.area, e.report, e.state);
    return e;
}

std::string evaluateTexts(SteamState& state, std::string_view pressure, std::string_view temperature,
                          std::string_view pressureUnit = "MPa", std::string_view temperatureUnit = "℃")
{
    return duqucanshu({pressure, pressureUnit, temperature, temperatureUnit}, state);
}

TEST(StateReport, GivesTheLinesOfEachRegion)
{
    const std::string notSteam = "\r\n蒸汽不是过热蒸汽，不能用本程序计算";
    EXPECT_EQ(evaluate(523.15, 1.0).report,
              "蒸汽属于区域2：过热蒸汽\r\n蒸汽密度 4.297 kg/m3\r\n蒸汽比焓 2943.222 kJ/kg\r\n蒸汽定压比热 2.212 kJ/(kg·K)");
    EXPECT_EQ(evaluate(1473.15, 10.0).report,
              "蒸汽属于区域5：超高温过热蒸汽\r\n蒸汽密度 14.719 kg/m3\r\n蒸汽比焓 5131.431 kJ/kg\r\n"
              "蒸汽定压比热 2.639 kJ/(kg·K)");
    EXPECT_EQ(evaluate(473.15, 5.0).report,
              "蒸汽属于区域1：温度低于350℃(623.15K)的不饱和水\r\n不饱和水比容 0.001153 m3/kg\r\n"
              "不饱和水密度 867.270487 kg/m3\r\n不饱和水比焓 853.800452 kJ/kg\r\n不饱和水定压比热 4.474254 kJ/(kg·K)" +
                  notSteam);
    EXPECT_EQ(evaluate(673.15, 40.0).report, "蒸汽属于区域3：临界点附近的水和蒸汽" + notSteam);
    EXPECT_EQ(evaluate(500.0, saturationPressure(500.0)).report, "蒸汽属于区域4：饱和线" + notSteam);
    EXPECT_EQ(evaluate(700.0, b23Pressure(700.0)).report, "蒸汽属于区域2、3分界线" + notSteam);
    // The steam routines need p > 0.
    EXPECT_EQ(evaluate(500.0, 0.0).report, "蒸汽属于区域2：过热蒸汽\r\n该状态下无法计算物性");
}

TEST(StateEvaluation, ClassifiesInRangeStatesAndReportsOthersPressureFirst)
{
    // The upper ends of the bands are closed, and a computed boundary pressure is met exactly.
    const struct {
        double t, p;
        std::int16_t area;  // -1: out of range, the area is left alone
        const char* report = nullptr;
    } cases[] = {
        {473.15, 0.5, region::steam},         {473.15, 5.0, region::water},          {573.15, 100.0, region::water},
        {623.15, 20.0, region::water},        {623.16, 20.0, region::nearCritical},  {1073.15, 80.0, region::steam},
        {1073.15001, 1.0, region::hotSteam},  {1473.15, 10.0, region::hotSteam},     {2273.15, 10.0, region::hotSteam},
        {273.15, 0.0001, region::steam},      {300.0, 0.0, region::steam},
        {623.15, saturationPressure(623.15), region::saturation},
        {860.0, b23Pressure(860.0), region::boundary23},  {863.16, b23Pressure(860.0), region::steam},
        {573.15, 100.001, -1, "压力过高 "},  {1473.15, 10.5, -1, "压力过高 "},  {2373.15, 120.0, -1, "压力过高 温度过高"},
        {263.15, 1.0, -1, " 温度过低"},      {2273.16, 1.0, -1, " 温度过高"},  {500.0, -1.0, -1, "压力过低 "},
        {100.0, -1.0, -1, "压力过低 温度过低"}, {NAN, 1.0, -1, " 温度过低"},  {500.0, NAN, -1, "压力过低 "},
    };
    for (const auto& c : cases) {
        const Evaluation e = evaluate(c.t, c.p);
        EXPECT_EQ(e.area, c.area) << c.t << " K, " << c.p << " MPa";
        if (c.report != nullptr) {
            EXPECT_EQ(e.report, c.report) << c.t << " K, " << c.p << " MPa";
        }
    }
}

TEST(StateEvaluation, UpdatesOnlyTheBoundaryValuesInTheirRanges)
{
    Evaluation e;
    SteamState& s = e.state;
    s.tbaohe = s.pbaohe = s.t23bianjie = s.p23bianjie = -1.0;
    qiuzhuangtai(1473.15, 30.0, e.area, e.report, s);  // out of range: nothing touched
    EXPECT_EQ(std::tuple(s.tbaohe, s.pbaohe, s.t23bianjie, s.p23bianjie), std::tuple(-1.0, -1.0, -1.0, -1.0));
    qiuzhuangtai(700.0, 20.0, e.area, e.report, s);  // above the critical temperature: no saturation pressure
    EXPECT_EQ(std::tuple(s.tbaohe, s.pbaohe, s.t23bianjie, s.p23bianjie),
              std::tuple(saturationTemperature(20.0), -1.0, b23Temperature(20.0), b23Pressure(700.0)));
}

TEST(SteamInput, ConvertsTheUnits)
{
    SteamState state;
    evaluateTexts(state, "500", "200", "kPa");
    EXPECT_EQ(state.p, 0.5);
    evaluateTexts(state, "5", "200", "kgf/cm2");  // exactly 0.1 MPa, as the engineers' tables round it
    EXPECT_EQ(state.p, 0.5);
    EXPECT_EQ(std::pair(state.t, state.tsheshidu), std::pair(200 + 273.15, 200.0));
    evaluateTexts(state, "1", "523.15", "MPa", "K");
    EXPECT_EQ(std::pair(state.t, state.tsheshidu), std::pair(523.15, 523.15 - 273.15));
    evaluateTexts(state, "7", "100", "", "");  // no unit chosen: the values of the last evaluation stay
    EXPECT_EQ(std::pair(state.p, state.t), std::pair(1.0, 523.15));
}

TEST(SteamInput, MissingZeroAndEndlessInputLeaveNoRegion)
{
    // A blank is not missing input; a temperature without a number reads as 0.
    const struct {
        const char *pressure, *temperature, *report;
        const char* temperatureUnit = "℃";
    } rows[] = {
        {"", "250", "请输入压力"},        {"2", "", " 请输入温度"},         {"0", "250", "压力不能为0"},
        {"-0", "250", "压力不能为0"},     {" ", "250", "压力不能为0"},      {"abc", "250", "压力不能为0"},
        {"1e-400", "250", "压力不能为0"}, {"1e400", "250", "压力过高 "},    {"-1e400", "250", "压力过低 "},
        {"1", "1e400", " 温度过高"},      {"1", "-1e400", " 温度过低"},     {"1", "abc", " 温度过低", "K"},
    };
    for (const auto& r : rows) {
        SteamState state;
        ASSERT_EQ(evaluateTexts(state, "1", "250"), evaluate(523.15, 1.0).report);
        ASSERT_NE(state.pbaohe, 0.0);
        EXPECT_EQ(evaluateTexts(state, r.pressure, r.temperature, "MPa", r.temperatureUnit), r.report)
            << r.pressure << " / " << r.temperature;
        EXPECT_EQ(std::pair(state.area, state.pbaohe), std::pair(region::none, 0.0)) << r.pressure;
    }
    SteamState state;
    evaluateTexts(state, "1", "250");
    evaluateTexts(state, "2", "");
    EXPECT_EQ(state.p, 1.0);  // nothing is read while an input is missing
    EXPECT_EQ(evaluateTexts(state, "0.0005", "abc"), evaluate(273.15, 0.0005).report);  // 0 ℃
}

}  // namespace
}  // namespace dorvent
