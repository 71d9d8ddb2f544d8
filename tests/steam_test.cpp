#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "steam/b23.h"
#include "steam/regions.h"
#include "steam/saturation.h"

namespace dorvent {

constexpr double kTolerance = 2e-8;  // relative, against the standard's 9-digit values

// The verification values and the ends of each range are taken; outside its range a routine
// refuses and leaves its output alone (42 here).
TEST(SaturationAndB23, MatchTheVerificationValuesAndRefuseOutsideTheirRanges)
{
    const std::string_view ts = "温度超出区域4饱和线范围", ps = "压力超出区域4饱和线范围",
                           t23 = "温度超出区域2、3边界线范围", p23 = "压力超出区域2、3边界线范围";
    const struct { Refusal (*routine)(double, double&); double in, out; std::string_view refusal = {}; } cases[] = {
        {qiupbaohe, 300.0, 0.00353658941},  {qiupbaohe, 500.0, 2.63889776},     {qiupbaohe, 600.0, 12.3443146},
        {qiupbaohe, 273.15, 0.000611212677}, {qiupbaohe, 647.096, 22.064},      {qiupbaohe, 273.14, 42, ts},
        {qiupbaohe, 647.1, 42, ts},         {qiupbaohe, -1.0, 42, ts},          {qiupbaohe, 1e300, 42, ts},
        {qiutbaohe, 0.1, 372.755919},       {qiutbaohe, 1.0, 453.035632},       {qiutbaohe, 10.0, 584.149488},
        {qiutbaohe, 0.000611213, 273.150007}, {qiutbaohe, 22.064, 647.096},     {qiutbaohe, 0.0, 42, ps},
        {qiutbaohe, 0.0006, 42, ps},        {qiutbaohe, 22.065, 42, ps},        {qiutbaohe, -5.0, 42, ps},
        {qiup23bianjie, 623.15, 16.5291643}, {qiup23bianjie, 863.15, 100.0},    {qiup23bianjie, 623.14, 42, t23},
        {qiup23bianjie, 863.16, 42, t23},   {qiut23bianjie, 100.0, 863.15},     {qiut23bianjie, 16.5292, 623.150347},
        // The standard's check value lies just below the accepted range; the bare equation takes it.
        {qiut23bianjie, 16.5291643, 42, p23}, {qiut23bianjie, 16.529, 42, p23}, {qiut23bianjie, 100.001, 42, p23},
    };
    for (const auto& c : cases) {
        double out = 42.0;
        EXPECT_EQ(c.routine(c.in, out).message, c.refusal) << c.in;
        EXPECT_NEAR(out, c.out, kTolerance * c.out) << c.in;
    }
    EXPECT_NEAR(b23Temperature(16.5291643), 623.15, kTolerance * 623.15);
}

// Region 5 in its 1997 form: the revised six-term fit would give h = 5219.76855 at 1500 K, 0.5 MPa.
TEST(Regions, MatchTheVerificationTables)
{
    const struct { void (*routine)(double, double, double&, double&, double&); double T, p, v, h, cp; } rows[] = {
        {quyu1, 300, 3, 0.00100215168, 115.331273, 4.17301218},  {quyu1, 300, 80, 0.000971180894, 184.142828, 4.01008987},
        {quyu1, 500, 3, 0.00120241800, 975.542239, 4.65580682},  {quyu2, 300, 0.0035, 39.4913866, 2549.91145, 1.91300162},
        {quyu2, 700, 0.0035, 92.3015898, 3335.68375, 2.08141274}, {quyu2, 700, 30, 0.00542946619, 2631.49474, 10.3505092},
        {quyu5, 1500, 0.5, 1.38455354, 5219.76332, 2.61610228},   {quyu5, 1500, 8, 0.0865156616, 5206.09634, 2.64453866},
        {quyu5, 2000, 8, 0.115743146, 6583.80291, 2.85306750},
    };
    for (const auto& r : rows) {
        double v = -1, h = -1, cp = -1;
        r.routine(r.T, r.p, v, h, cp);
        EXPECT_LE(std::max({std::fabs(v / r.v - 1), std::fabs(h / r.h - 1), std::fabs(cp / r.cp - 1)}), kTolerance)
            << v << " m3/kg, " << h << " kJ/kg, " << cp << " kJ/(kg·K) at " << r.T << " K, " << r.p << " MPa";
    }
}

// The upper ends of the bands are closed, and a computed boundary pressure is met exactly.
TEST(StateEvaluation, ClassifiesAndReportsInRangeStatesAndNamesTheRangeFaultsPressureFirst)
{
    const std::string notSteam = "\r\n蒸汽不是过热蒸汽，不能用本程序计算";
    const struct { double t, p; std::int16_t area; std::string report = {}; } cases[] = {
        {523.15, 1.0, region::steam,
         "蒸汽属于区域2：过热蒸汽\r\n蒸汽密度 4.297 kg/m3\r\n蒸汽比焓 2943.222 kJ/kg\r\n蒸汽定压比热 2.212 kJ/(kg·K)"},
        {1473.15, 10.0, region::hotSteam,
         "蒸汽属于区域5：超高温过热蒸汽\r\n蒸汽密度 14.719 kg/m3\r\n蒸汽比焓 5131.431 kJ/kg\r\n蒸汽定压比热 2.639 kJ/(kg·K)"},
        {473.15, 5.0, region::water,
         "蒸汽属于区域1：温度低于350℃(623.15K)的不饱和水\r\n不饱和水比容 0.001153 m3/kg\r\n不饱和水密度 867.270487 kg/m3\r\n"
         "不饱和水比焓 853.800452 kJ/kg\r\n不饱和水定压比热 4.474254 kJ/(kg·K)" + notSteam},
        {673.15, 40.0, region::nearCritical, "蒸汽属于区域3：临界点附近的水和蒸汽" + notSteam},
        {500.0, saturationPressure(500.0), region::saturation, "蒸汽属于区域4：饱和线" + notSteam},
        {700.0, b23Pressure(700.0), region::boundary23, "蒸汽属于区域2、3分界线" + notSteam},
        {500.0, 0.0, region::steam, "蒸汽属于区域2：过热蒸汽\r\n该状态下无法计算物性"},  // the routines need p > 0
        {473.15, 0.5, region::steam},         {573.15, 100.0, region::water},        {623.15, 20.0, region::water},
        {623.16, 20.0, region::nearCritical}, {1073.15, 80.0, region::steam},        {1073.15001, 1.0, region::hotSteam},
        {2273.15, 10.0, region::hotSteam},    {273.15, 0.0001, region::steam},
        {623.15, saturationPressure(623.15), region::saturation},
        {860.0, b23Pressure(860.0), region::boundary23},  {863.16, b23Pressure(860.0), region::steam},
        {573.15, 100.001, -1, "压力过高 "},  {1473.15, 10.5, -1, "压力过高 "},  {2373.15, 120.0, -1, "压力过高 温度过高"},
        {263.15, 1.0, -1, " 温度过低"},      {2273.16, 1.0, -1, " 温度过高"},  {500.0, -1.0, -1, "压力过低 "},
        {100.0, -1.0, -1, "压力过低 温度过低"}, {NAN, 1.0, -1, " 温度过低"},  {500.0, NAN, -1, "压力过低 "},
    };
    for (const auto& c : cases) {
        std::int16_t area = -1;  // left alone out of range
        std::string report;
        SteamState state;
        qiuzhuangtai(c.t, c.p, area, report, state);
        EXPECT_EQ(area, c.area) << c.t << " K, " << c.p << " MPa";
        EXPECT_TRUE(c.report.empty() || report == c.report) << report << " at " << c.t << " K, " << c.p << " MPa";
    }
}

// Each row read after 1 MPa, 250 ℃: 1 kgf/cm2 is exactly 0.1 MPa, as the engineers' tables round it;
// an unknown unit or a missing input keeps the last values; a blank is not missing input; a text
// without a number reads 0. A reading that leaves no region also resets the saturation pressure.
TEST(SteamInput, ConvertsTheUnitsAndLeavesNoRegionForMissingZeroOrEndlessInput)
{
    constexpr double inf = HUGE_VAL;
    const struct { const char *p, *pUnit, *t, *tUnit; double inMPa, inK, inCelsius; const char* report = nullptr; } rows[] = {
        {"500", "kPa", "200", "℃", 0.5, 200 + 273.15, 200},   {"5", "kgf/cm2", "200", "K", 0.5, 200, 200 - 273.15},
        {"7", "", "100", "", 1, 523.15, 250},                  {"0.0005", "MPa", "abc", "℃", 0.0005, 273.15, 0},
        {"", "MPa", "250", "℃", 1, 523.15, 250, "请输入压力"},  {"2", "MPa", "", "℃", 1, 523.15, 250, " 请输入温度"},
        {"0", "MPa", "250", "℃", 0, 523.15, 250, "压力不能为0"}, {"-0", "MPa", "250", "℃", 0, 523.15, 250, "压力不能为0"},
        {" ", "MPa", "250", "℃", 0, 523.15, 250, "压力不能为0"}, {"abc", "MPa", "250", "℃", 0, 523.15, 250, "压力不能为0"},
        {"1e-400", "MPa", "250", "℃", 0, 523.15, 250, "压力不能为0"}, {"1e400", "MPa", "250", "℃", inf, 523.15, 250, "压力过高 "},
        {"-1e400", "MPa", "250", "℃", -inf, 523.15, 250, "压力过低 "}, {"1", "MPa", "1e400", "℃", 1, inf, inf, " 温度过高"},
        {"1", "MPa", "-1e400", "℃", 1, -inf, -inf, " 温度过低"},     {"1", "MPa", "abc", "K", 1, 0, -273.15, " 温度过低"},
    };
    for (const auto& r : rows) {
        SteamState s;
        duqucanshu({"1", "MPa", "250", "℃"}, s);
        ASSERT_NE(s.pbaohe, 0.0);
        const std::string report = duqucanshu({r.p, r.pUnit, r.t, r.tUnit}, s);
        EXPECT_EQ(std::tuple(s.p, s.t, s.tsheshidu), std::tuple(r.inMPa, r.inK, r.inCelsius)) << r.p << r.pUnit << r.t << r.tUnit;
        EXPECT_TRUE(!r.report || std::tuple(report, s.area, s.pbaohe) == std::tuple(r.report, region::none, 0.0))
            << report << " from " << r.p << r.pUnit << r.t << r.tUnit;
    }
}

}  // namespace dorvent
