#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "steam/b23.h"
#include "steam/saturation.h"
#include "tests/shapes.h"

namespace dorvent {
namespace {

using namespace std::string_literals;

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

const std::string kNotSteam = "\r\n蒸汽不是过热蒸汽，不能用本程序计算";

TEST(StateReport, GivesTheLinesOfEachRegion)
{
    EXPECT_EQ(evaluate(523.15, 1.0).report,
              "蒸汽属于区域2：过热蒸汽\r\n蒸汽密度 4.297 kg/m3\r\n蒸汽比焓 2943.222 kJ/kg\r\n蒸汽定压比热 2.212 kJ/(kg·K)");
    EXPECT_EQ(evaluate(1473.15, 10.0).report,
              "蒸汽属于区域5：超高温过热蒸汽\r\n蒸汽密度 14.719 kg/m3\r\n蒸汽比焓 5131.431 kJ/kg\r\n"
              "蒸汽定压比热 2.639 kJ/(kg·K)");
    EXPECT_EQ(evaluate(473.15, 5.0).report,
              "蒸汽属于区域1：温度低于350℃(623.15K)的不饱和水\r\n不饱和水比容 0.001153 m3/kg\r\n"
              "不饱和水密度 867.270487 kg/m3\r\n不饱和水比焓 853.800452 kJ/kg\r\n不饱和水定压比热 4.474254 kJ/(kg·K)" +
                  kNotSteam);
    EXPECT_EQ(evaluate(673.15, 40.0).report, "蒸汽属于区域3：临界点附近的水和蒸汽" + kNotSteam);
    EXPECT_EQ(evaluate(500.0, saturationPressure(500.0)).report, "蒸汽属于区域4：饱和线" + kNotSteam);
    EXPECT_EQ(evaluate(700.0, b23Pressure(700.0)).report, "蒸汽属于区域2、3分界线" + kNotSteam);
}

TEST(StateEvaluation, ClassifiesByTemperatureBandThenPressure)
{
    const struct {
        double t, p;
        std::int16_t area;
    } cases[] = {
        {473.15, 0.5, region::steam},          {473.15, 5.0, region::water},
        {573.15, 100.0, region::water},        {623.15, 20.0, region::water},  // 623.15 K: still judged by saturation
        {623.16, 20.0, region::nearCritical},  {1073.15, 80.0, region::steam},   // first band up to 1073.15 K
        {1073.15001, 1.0, region::hotSteam},   {1473.15, 10.0, region::hotSteam},
        {2273.15, 1.0, region::hotSteam},      {273.15, 0.0001, region::steam},
        {1073.15, 50.0, region::steam},        {300.0, 0.0, region::steam},
    };
    for (const auto& c : cases) EXPECT_EQ(evaluate(c.t, c.p).area, c.area) << c.t << " K, " << c.p << " MPa";

    // Exactly on a computed boundary pressure: the upper ends of the bands are closed.
    EXPECT_EQ(evaluate(623.15, saturationPressure(623.15)).area, region::saturation);
    EXPECT_EQ(evaluate(860.0, b23Pressure(860.0)).area, region::boundary23);
    EXPECT_EQ(evaluate(863.16, b23Pressure(860.0)).area, region::steam);
}

TEST(StateEvaluation, UpdatesOnlyTheBoundaryValuesInTheirRanges)
{
    Evaluation e;
    e.state.tbaohe = e.state.pbaohe = e.state.t23bianjie = e.state.p23bianjie = -1.0;
    qiuzhuangtai(1473.15, 30.0, e.area, e.report, e.state);  // out of range: nothing touched
    EXPECT_EQ(e.area, -1);
    EXPECT_EQ(e.state.tbaohe, -1.0);

    qiuzhuangtai(700.0, 20.0, e.area, e.report, e.state);
    EXPECT_EQ(e.state.tbaohe, saturationTemperature(20.0));
    EXPECT_EQ(e.state.t23bianjie, b23Temperature(20.0));
    EXPECT_EQ(e.state.p23bianjie, b23Pressure(700.0));
    EXPECT_EQ(e.state.pbaohe, -1.0);  // 700 K lies above the critical temperature
}

TEST(StateEvaluation, ReportsOutOfRangeStatesPressureFirst)
{
    const struct {
        double t, p;
        const char* report;
    } cases[] = {
        {573.15, 100.001, "压力过高 "},     {1473.15, 10.5, "压力过高 "},  {2373.15, 120.0, "压力过高 温度过高"},
        {263.15, 1.0, " 温度过低"},          {2273.16, 1.0, " 温度过高"},  {500.0, -1.0, "压力过低 "},
        {100.0, -1.0, "压力过低 温度过低"}, {NAN, 1.0, " 温度过低"},      {500.0, NAN, "压力过低 "},
    };
    for (const auto& c : cases) {
        const Evaluation e = evaluate(c.t, c.p);
        EXPECT_EQ(e.report, c.report) << c.t << " K, " << c.p << " MPa";
        EXPECT_EQ(e.area, -1);
    }
    EXPECT_EQ(evaluate(573.15, 100.0).area, region::water);
    EXPECT_EQ(evaluate(2273.15, 10.0).area, region::hotSteam);
}

TEST(StateEvaluation, SteamAtZeroPressureHasNoPropertiesToShow)
{
    const Evaluation e = evaluate(500.0, 0.0);
    EXPECT_EQ(e.area, region::steam);
    EXPECT_EQ(e.report, "蒸汽属于区域2：过热蒸汽\r\n该状态下无法计算物性");
}

TEST(SteamInput, ConvertsTheUnits)
{
    SteamState state;
    evaluateTexts(state, "500", "200", "kPa");
    EXPECT_EQ(state.p, 0.5);
    evaluateTexts(state, "5", "200", "kgf/cm2");
    EXPECT_EQ(state.p, 0.5);
    EXPECT_EQ(state.t, 200 + 273.15);
    EXPECT_EQ(state.tsheshidu, 200.0);
    EXPECT_EQ(state.area, region::steam);

    evaluateTexts(state, "1", "523.15", "MPa", "K");
    EXPECT_EQ(state.t, 523.15);
    EXPECT_EQ(state.tsheshidu, 523.15 - 273.15);

    // No unit chosen: the value of the last evaluation stays.
    evaluateTexts(state, "7", "100", "", "");
    EXPECT_EQ(state.p, 1.0);
    EXPECT_EQ(state.t, 523.15);
}

TEST(SteamInput, ReportsMissingAndZeroInputWithRegionZero)
{
    SteamState state;
    EXPECT_EQ(evaluateTexts(state, "1", "250"), evaluate(523.15, 1.0).report);
    EXPECT_EQ(state.area, region::steam);
    EXPECT_NE(state.pbaohe, 0.0);

    EXPECT_EQ(evaluateTexts(state, "", "250"), "请输入压力");
    EXPECT_EQ(state.area, region::none);
    EXPECT_EQ(state.pbaohe, 0.0);
    EXPECT_EQ(state.p, 1.0);  // kept from the last reading

    evaluateTexts(state, "1", "250");
    EXPECT_EQ(evaluateTexts(state, "2", ""), " 请输入温度");
    EXPECT_EQ(state.area, region::none);
    EXPECT_EQ(state.p, 1.0);

    for (const char* zero : {"0", "abc", " ", "0.000", "-0", "1e-400"}) {
        evaluateTexts(state, "1", "250");
        EXPECT_EQ(evaluateTexts(state, zero, "250"), "压力不能为0") << zero;
        EXPECT_EQ(state.area, region::none);
    }
    // A temperature without a number reads as 0 ℃.
    EXPECT_EQ(evaluateTexts(state, "0.0005", "abc"), evaluate(273.15, 0.0005).report);
    EXPECT_EQ(evaluateTexts(state, "1", "abc", "MPa", "K"), " 温度过低");
}

TEST(SteamInput, AnyTextGivesOneOfTheReports)
{
    const std::string hostile[] = {
        std::string(20000, '9'), "1" + std::string(400, '0'), "1e400", "-1e400", "1e-400", "1e-310",
        "-", "+", ".", "-.", "e", "1e+", "\0"s, "1\0" "2"s, "压力", "１２３", "\xff\xfe", "1e308",
        std::string(5000, '.') + "5", "0." + std::string(400, '0') + "1", "-0", "1D-3", "２５０",
    };
    SteamState state;
    for (const std::string& pressure : hostile) {
        for (const std::string& temperature : hostile) {
            for (const char* temperatureUnit : {"℃", "K"}) {
                const std::string report = evaluateTexts(state, pressure, temperature, "MPa", temperatureUnit);
                EXPECT_TRUE(shapes::isStateReport(report)) << report;
            }
        }
    }
    EXPECT_EQ(evaluateTexts(state, "1e400", "250"), "压力过高 ");
    EXPECT_EQ(evaluateTexts(state, "-1e400", "250"), "压力过低 ");
    EXPECT_EQ(evaluateTexts(state, "1", "1e400"), " 温度过高");
    EXPECT_EQ(evaluateTexts(state, "1", "-1e400"), " 温度过低");
}

}  // namespace
}  // namespace dorvent
