// The calculations without a window: number texts, IF97 routines, state evaluation, pipe sizing, segments.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/completenumber.h"
#include "numtext/decimalsum.h"
#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "numtext/readnumber.h"
#include "pipes/chosenpipe.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "segment/guanduanjisuan.h"
#include "segment/segmentcommand.h"
#include "steam/b23.h"
#include "steam/regions.h"
#include "steam/saturation.h"

namespace dorvent {

constexpr double kInf = std::numeric_limits<double>::infinity(), kLargest = std::numeric_limits<double>::max();

TEST(NumberTexts, ReadTheLeadingDecimalNumberAndRoundHalvesAwayFromZeroOnTheFifteenDigitText)
{
    const std::pair<std::string, double> reads[] = {
        {"250", 250.0}, {" 1 2", 12.0}, {"\t1\n.\n5", 1.5}, {"-3.25", -3.25}, {"+7", 7.0}, {"1D3", 1000.0}, {"1d3", 1000.0},
        {"1e3", 1000.0}, {"1E-2", 0.01}, {"1e", 1.0}, {"1e+", 1.0}, {"2e+x", 2.0}, {".5e1x", 5.0}, {"-.5", -0.5},
        {"1.", 1.0}, {"0.05", 0.05}, {"00012.50", 12.5}, {"1.2.3", 1.2}, {"12abc", 12.0}, {"1 e 2", 100.0}, {"1-2", 1.0},
        {"--1", 0.0}, {"abc", 0.0}, {"", 0.0}, {"&H10", 0.0}, {"nan", 0.0}, {"inf", 0.0}, {"-", 0.0}, {".", 0.0},
        {"+.", 0.0}, {"e5", 0.0}, {"0x1A", 0.0}, {"1,5", 1.0}, {"５", 0.0}, {"3\r", 3.0}, {std::string("4\0" "5", 3), 4.0},
        {"1e0000000000000000000002", 100.0}, {"0.000000000000000000001e21", 1.0}, {"0.1", 0.1}, {"2.0005", 2.0005},
        {"123456789012345678901234567890", 123456789012345678901234567890.0}, {std::string(30000, '9'), kInf},
        {"0." + std::string(5000, '0') + "1e5000", 0.1}, {"1e400", kInf}, {"-1e400", -kInf}, {"1e309", kInf},
        {"1e99999999999999999999", kInf}, {"1e308", 1e308}, {"1e-400", 0.0}, {"0e999999", 0.0},
    };
    for (const auto& [text, value] : reads) EXPECT_EQ(readNumber(text), value) << '"' << text.substr(0, 40) << '"';
    EXPECT_TRUE(std::signbit(readNumber("-1e-400")));

    const struct { double value; int decimals; const char* text; } formats[] = {
        {2.0005, 3, "2.001"},  // binary 2.000499999...; its 15-digit text ends in 5
        {0.125, 2, "0.13"}, {-0.125, 2, "-0.13"}, {1.0005, 3, "1.001"}, {2.0004999, 3, "2.000"}, {0.0, 3, "0.000"},
        {-0.0, 3, "0.000"}, {-0.0004, 3, "0.000"}, {-0.0005, 3, "-0.001"}, {0.0005, 3, "0.001"}, {0.00049, 3, "0.000"},
        {9.9995, 3, "10.000"}, {999.9996, 3, "1000.000"}, {0.5, 0, "1"}, {5.123456789, 6, "5.123457"},
        {0.001002151675, 6, "0.001002"}, {1234567.891, 2, "1234567.89"}, {1e-300, 6, "0.000000"}, {12.3, 3, "12.300"},
        {1e20, 3, "100000000000000000000.000"}, {kInf, 3, "inf"}, {-kInf, 3, "-inf"}, {NAN, 3, "nan"},
        {std::numeric_limits<double>::denorm_min(), 6, "0.000000"},
    };
    for (const auto& c : formats) EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value;
    // The largest double keeps 15 significant digits, which lie beyond it: its text reads back as infinity.
    const std::string largest = formatFixed(kLargest, 6);
    EXPECT_EQ(largest.substr(0, 15) + " " + std::to_string(largest.size()), "179769313486232 316");
    EXPECT_EQ(std::pair(readNumber(largest), readNumber(formatFixed(-kLargest, 2))), std::pair(kInf, -kInf));
    for (auto [value, text] : {std::pair{2.01f, "2.01"}, {18.0f, "18"}, {4.5f, "4.5"}}) EXPECT_EQ(formatShortest(value), text);

    // The tables of our own read whole numbers only; Chinese input methods type full-width forms.
    const std::pair<std::string, std::optional<double>> cells[] = {
        {"1,200", 1200}, {"12,345.5", 12345.5}, {"1,200,000", 1.2e6}, {"１２００", 1200}, {"－５", -5}, {"＋５", 5},
        {"+5", 5}, {"０．５", 0.5}, {"１ｅ３", 1000}, {"12　", 12}, {" 250 ", 250}, {".5", 0.5}, {"-.5e-2", -0.005},
        {"8,5", {}}, {"1234,567", {}}, {"1,2345", {}}, {"12,34,567", {}}, {"14。5", {}}, {"30t", {}}, {"1e", {}},
        {"abc", {}}, {"inf", {}}, {"nan", {}}, {"", {}}, {"-", {}}, {"1 2", {}},
    };
    for (const auto& [text, value] : cells) EXPECT_EQ(readCompleteNumber(text), value) << text;

    // Sums of typed numbers as a person adds them; beyond nine decimals, as the machine does.
    const std::pair<std::pair<double, double>, std::string> sums[] = {
        {{0.1, 0.2}, "0.3"}, {{-0.1, 0.3}, "0.2"}, {{123456.789, 0.001}, "123456.79"}, {{1.5e-10, 1}, "1.00000000015"},
        {{1e9, 1e-9}, "1000000000"}};
    for (const auto& [terms, sum] : sums) EXPECT_EQ(formatShortest(addDecimals(terms.first, terms.second)), sum) << terms.first;
}

constexpr double kTolerance = 2e-8;  // relative, against the standard's 9-digit values

// The verification values and the ends of each range are taken; outside its range a routine
// refuses and leaves its output alone (42 here). Region 5 in its 1997 form: the revised six-term
// fit would give h = 5219.76855 at 1500 K, 0.5 MPa.
TEST(IF97, MatchesTheVerificationValuesAndRefusesOutsideTheRanges)
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

static SteamState stateAt(const char* pressure, const char* temperature)
{
    SteamState state;
    duqucanshu({pressure, "MPa", temperature, "℃"}, state);
    return state;
}

// The upper ends of the bands are closed, and a computed boundary pressure is met exactly.
TEST(StateEvaluation, ClassifiesReportsAndReadsTheTypedUnits)
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
        EXPECT_TRUE(area == c.area && (c.report.empty() || report == c.report)) << area << " " << report << " at " << c.t << " K, " << c.p << " MPa";
    }

    // Each row read after 1 MPa, 250 ℃: 1 kgf/cm2 is exactly 0.1 MPa, as the engineers' tables round it;
    // an unknown unit or a missing input keeps the last values; a blank is not missing input; a text
    // without a number reads 0. A reading that leaves no region also resets the saturation pressure.
    struct Row { const char *p, *t; double mpa, kelvin, celsius; const char *report = nullptr, *pUnit = "MPa", *tUnit = "℃"; };
    const Row rows[] = {
        {"500", "200", 0.5, 200 + 273.15, 200, nullptr, "kPa"}, {"5", "200", 0.5, 200, 200 - 273.15, nullptr, "kgf/cm2", "K"},
        {"7", "100", 1, 523.15, 250, nullptr, "", ""},          {"0.0005", "abc", 0.0005, 273.15, 0},
        {"", "250", 1, 523.15, 250, "请输入压力"},   {"2", "", 1, 523.15, 250, " 请输入温度"},
        {"0", "250", 0, 523.15, 250, "压力不能为0"},  {"-0", "250", 0, 523.15, 250, "压力不能为0"},
        {" ", "250", 0, 523.15, 250, "压力不能为0"},  {"abc", "250", 0, 523.15, 250, "压力不能为0"},
        {"1e-400", "250", 0, 523.15, 250, "压力不能为0"}, {"1e400", "250", kInf, 523.15, 250, "压力过高 "},
        {"-1e400", "250", -kInf, 523.15, 250, "压力过低 "}, {"1", "1e400", 1, kInf, kInf, " 温度过高"},
        {"1", "-1e400", 1, -kInf, -kInf, " 温度过低"},      {"1", "abc", 1, 0, -273.15, " 温度过低", "MPa", "K"},
    };
    for (const auto& r : rows) {
        SteamState s = stateAt("1", "250");
        ASSERT_NE(s.pbaohe, 0.0);
        const std::string report = duqucanshu({r.p, r.pUnit, r.t, r.tUnit}, s);
        EXPECT_EQ(std::tuple(s.p, s.t, s.tsheshidu), std::tuple(r.mpa, r.kelvin, r.celsius)) << r.p << r.pUnit << r.t << r.tUnit;
        EXPECT_TRUE(!r.report || std::tuple(report, s.area, s.pbaohe) == std::tuple(r.report, region::none, 0.0))
            << report << " from " << r.p << r.pUnit << r.t << r.tUnit;
    }
}

constexpr std::string_view kHot = kNotSuperheatedMessage, kWall = kWallThicknessMessage, kNaN = kNotComputableMessage;

TEST(PipeHydraulics, GiveRoundedVelocityAndFrictionOrRefuseLeavingTheOutputsAlone)
{
    // Each call starts from w = 7, R = 8, which a refusal leaves. States are refused before walls.
    const struct { std::int16_t area; float G; double rho, D, s, w, R; std::string_view message; } cases[] = {
        {2, 10, 5, 108, 4, 70.736, 2926.437, ""},  // R from the rounded velocity; 70.73553... would give 2926.398
        {2, 20, 10, 219, 6, 16.508, 128.046, ""},       {5, 100, 20, 426, 7, 10.418, 43.66, ""},
        {2, 0, 5, 108, 4, 0.0, 0.0, ""},                {2, -10, 5, 108, 4, -70.736, 2926.437, ""},
        {0, 10, 5, 108, 60, 7, 8, kHot},  {1, 10, 5, 108, 60, 7, 8, kHot},   {3, 10, 5, 108, 60, 7, 8, kHot},
        {4, 10, 5, 108, 60, 7, 8, kHot},  {23, 10, 5, 108, 60, 7, 8, kHot},  {5, 10, 5, 108, 54, 7, 8, kWall},
        {5, 10, 5, 108, 60, 7, 8, kWall}, {5, 10, 5, 108, HUGE_VAL, 7, 8, kWall}, {5, 10, 5, 108, NAN, 7, 8, kWall},
        {2, 10, 0.0, 108, 4, 7, 8, kNaN}, {2, HUGE_VALF, 5, 108, 4, 7, 8, kNaN},   {2, 10, NAN, 108, 4, 7, 8, kNaN},
        {2, 10, -0.0, 108, 4, 7, 8, kNaN},
    };
    for (const auto& c : cases) {
        double w = 7, R = 8;
        const std::string_view message = qiuliusu(c.area, c.G, c.rho, c.D, c.s, w, R).message;
        EXPECT_EQ(std::tuple(message, w, R), std::tuple(c.message, c.w, c.R)) << c.area << ", " << c.G << " t/h, " << c.rho;
    }
    // Where the friction law's denominator nearly vanishes the answer is huge but finite.
    double w = 0, R = 0;
    EXPECT_TRUE(!qiuliusu(region::steam, 10, 5, 10.0 + 0.2 * std::pow(10.0, -0.57), 5.0, w, R) && std::isfinite(w) && std::isfinite(R));

    // The chosen pipe from the texts shown: the results, or what is missing.
    using Shown = std::tuple<bool, std::string, std::string_view>;
    const std::string_view noFlow = kFlowMissingMessage, zeroWall = "壁厚不能为0";
    const struct { ChosenPipeTexts texts; Shown shown; } chosen[] = {
        {{"10", "DN100", "108", "4"}, {true, "70.736 2926.437", ""}},
        {{"10", "DN100", "108", "60"}, {true, "0.000 0.000", kWall}}, {{"1e39", "DN100", "108", "4"}, {false, "", kNaN}},
        {{"", "DN100", "108", "4"}, {false, "", noFlow}},     {{"0", "DN100", "108", "4"}, {false, "", noFlow}},
        {{"abc", "DN100", "108", "0"}, {false, "", noFlow}},  {{"10", "DN100", "108", "0"}, {false, "", zeroWall}},
        {{"10", "DN100", "108", "x"}, {false, "", zeroWall}},
        // A deleted wall thickness, or one typed before any pipe was chosen, keeps the old results silently.
        {{"10", "DN100", "108", ""}, {false, "", ""}},  {{"10", "", "", "4"}, {false, "", ""}},  {{"", "", "", ""}, {}},
    };
    for (const auto& c : chosen) {
        const ChosenPipeResult r = checkPipe(region::steam, 5, c.texts);
        EXPECT_EQ(Shown(r.computed, r.computed ? r.velocity + " " + r.friction : "", r.message), c.shown) << c.texts.bihou;
    }
    // The wall thickness shown is used, not the catalogue's: a smaller bore makes faster steam.
    EXPECT_GT(std::stod(checkPipe(region::steam, 5, {"10", "DN100", "108", "4.5"}).velocity), 70.736);
}

TEST(Proposal, ListsThePipesInsideTheirVelocityBandElseTheNearestAndNeedsASuperheatedState)
{
    const std::string_view nearest = "没有合适的管径，已求出最相近管径", none = "没有合适的管径";
    const struct { double rho; std::string flow; std::vector<std::string> rows; std::string_view message; } cases[] = {
        {8, "20", {"DN150  39.298m/s  867.473Pa/m"}, ""},  {8, "1", {"DN40  27.631m/s  2315.569Pa/m"}, ""},
        {8, "200", {"DN450  41.425m/s  240.049Pa/m", "DN400  52.090m/s  436.599Pa/m"}, ""},
        {5, "10", {"DN150  31.438m/s  346.980Pa/m", "DN125  45.271m/s  904.509Pa/m"}, ""},
        {8, "26", {"DN150  51.087m/s  1466.006Pa/m", "DN200  26.826m/s  270.506Pa/m"}, nearest},
        {8, "49", {"DN200  50.556m/s  960.752Pa/m"}, nearest}, {8, "6", {"DN80  40.430m/s  1998.774Pa/m"}, nearest},
        {5, "3000", {"DN1400  110.786m/s  284.981Pa/m"}, nearest},
        {8, "0.04", {}, none}, {8, "0", {}, none}, {8, "abc", {}, none}, {8, "-5", {}, none}, {8, "   ", {}, none},
        {8, "1e39", {}, kNaN}, {8, "1e400", {}, kNaN}, {0, "10", {}, kNaN},
    };
    for (const auto& c : cases) {
        const PipeProposal proposal = proposeForDensity(region::steam, c.rho, c.flow);
        EXPECT_EQ(std::tie(proposal.rows, proposal.message), std::tie(c.rows, c.message)) << c.flow << " t/h, " << c.rho;
    }
    // At 8 kg/m3, the flows that run DN250 at exactly 40 m/s and DN200 at exactly 50 m/s in three decimals.
    for (const auto& [pipe, velocity, row] : {std::tuple{guanjing[12], 40.0, "DN250  40.000m/s  "}, {guanjing[13], 50.0, "DN200  50.000m/s  "}}) {
        const double d = pipe.waijing - 2.0 * pipe.bihou;
        const float G = toSinglePrecision(velocity * 0.7853981f * d * d * 3.6 * 8 / 1e6);
        const PipeProposal proposal = proposeForDensity(region::steam, 8, formatShortest(G));
        EXPECT_TRUE(std::ranges::any_of(proposal.rows, [&](const std::string& r) { return r.starts_with(row); }) && proposal.message.empty())
            << row << " not among " << testing::PrintToString(proposal.rows);
    }

    // Neither check reads the flow before it knows the state is superheated steam.
    for (std::int16_t area : {0, 1, 3, 4, 23}) {
        SteamState state{.area = area};
        const std::string_view message = area == region::none ? kStateFirstMessage : kHot;
        EXPECT_EQ(std::pair(proposePipeSizes(state, "").message, evaluateChosenPipe(state, {"", "DN100", "108", "4"}).message),
                  std::pair(message, message)) << area;
    }
    // 10 MPa, 1200 ℃ is region 5 (14.719 kg/m3): 40 t/h run DN250, 273 x 6, at 40/3.6/14.719/(π/4 · 0.261²) m/s.
    SteamState state{.p = 10.0, .t = 1473.15, .area = region::hotSteam};
    const ChosenPipeResult chosen = evaluateChosenPipe(state, {"40", "DN250", "273", "6"});
    double v = 0, h = 0, cp = 0;
    quyu5(1473.15, 10.0, v, h, cp);
    EXPECT_EQ(std::tuple(chosen.computed, chosen.velocity, chosen.message, state.birong, proposePipeSizes(state, "100").rows.empty()),
              std::tuple(true, "14.109", "", v, false));

    state = SteamState{.p = 1.0, .t = 523.15, .area = region::steam, .birong = -1.0};
    // Nothing recomputed before the flow is there.
    EXPECT_EQ(std::pair(proposePipeSizes(state, "").message, state.birong), std::pair(std::string_view(kFlowMissingMessage), -1.0));
    EXPECT_EQ(proposePipeSizes(state, "10").rows.size(), 1u);  // 1 MPa, 250 ℃, 10 t/h: DN150 at 36.6 m/s alone
    quyu2(523.15, 1.0, v, h, cp);
    EXPECT_EQ(std::pair(state.birong, state.bihan), std::pair(v, h));
}

using T = SegmentTexts;
using Changes = std::vector<std::pair<std::string T::*, const char*>>;

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

// The worked design's own end state is checked through the main window, where Command5 computes it.
TEST(Segment, WorkedDesignVariantsScaleWithTheCoefficients)
{
    SteamState state = stateAt("1", "250");
    // The friction loss of the chosen pipe is only the first guess: without it the end state is the same.
    EXPECT_EQ(runSegmentCalculation(workedCase({{&T::friction, ""}}), state), runSegmentCalculation(workedCase(), state));
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
    // Air warmer than the steam warms it, and the calculation goes on; frost and absolute zero are no refusal.
    const SegmentResult warmed = resultOf({{&T::ambient, "300"}}, state);
    EXPECT_TRUE(warmed.Qsum < 0 && warmed.Tend > state.t) << warmed.Qsum << " kJ/h " << warmed.Tend << " K";
    const double frost = resultOf({{&T::ambient, "-30"}}, state).Qsum;
    EXPECT_TRUE(resultOf({}, state).Qsum < frost && frost < resultOf({{&T::ambient, "-273.15"}}, state).Qsum) << frost;
    SteamState hot = stateAt("5", "1200");  // region 5 at the start
    const SegmentResult r = resultOf({{&T::flow, "50"}, {&T::length, "1000"}}, hot);
    EXPECT_TRUE(hot.area == region::hotSteam && r.pend < 5 && r.Tend < hot.t && r.Qsum > 0) << r.pend << " MPa " << r.Tend;
}

TEST(Segment, CutsTheRoundedLengthIntoSectionsAndAnswersEveryReasonForNoResultWithItsMessage)
{
    // Whole metres, a tie to the even number, in sections of 100 m; below 100.5 m one section of exactly the length.
    const struct { float L; std::vector<double> sections; } cases[] = {
        {250, {100, 100, 50}}, {250.4f, {100, 100, 50}}, {299.7f, {100, 100, 100}}, {150.5f, {100, 50}},
        {151.5f, {100, 52}}, {100.5f, {100.5f}}, {99.6f, {99.6f}}, {0.6f, {0.6f}}, {0.5f, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(sectionLengths(c.L), c.sections) << c.L;
    EXPECT_EQ(sectionLengths(3276600).size(), 32766u);

    const std::string_view noFlow = "蒸汽流量与同时使用系数之积不能为0", tooShort = "管段长度应大于0.5m", range = "输入数值超出计算范围，无法计算",
                           tooLong = "管段长度不能超过3276600.5m";
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
        // Inputs that would let the steam gain heat or pressure, named in the order the engineer is asked.
        {{{&T::bihou, "-6"}, {&T::zeta, "-1"}}, "壁厚不能为负数"}, {{{&T::zeta, "-0.2"}}, "局部阻力系数不能为负数"},
        {{{&T::phi, "-1"}, {&T::flow, "-10"}}, "同时使用系数不能为负数"}, {{{&T::beta, "-0.2"}}, "局部热损失系数不能为负数"},
        {{{&T::ambient, "-273.16"}}, "环境温度不能低于-273.15℃"}, {{{&T::heatLoss, "-3.02"}}, "单位热损失不能为负数"},
        {{{&T::flow, "-10"}}, "蒸汽流量不能为负数"},
        {{{&T::heatLoss, "0"}}, "管段温度降为0（单位热损失为0或蒸汽温度等于环境温度），无法迭代计算"},
        {{}, kStateFirstMessage, nullptr}, {{}, "管段起点蒸汽不是过热蒸汽，不能用本程序计算", "5", "200"},  // water
        // The end leaves superheated steam: the temperature (5 K above saturation) or the pressure runs out.
        {{{&T::length, "5000"}}, kEndNotSuperheatedMessage, "1", "185"},
        {{{&T::flow, "60"}, {&T::length, "2000"}}, kEndNotSuperheatedMessage},
        // Inputs found by a random search, far outside any design, for the guards of an iteration under way.
        {{{&T::length, "261.797272"}, {&T::zeta, "1.80777907"}, {&T::beta, "0.773589969"}, {&T::phi, "1.13652039"},
          {&T::ambient, "324.42078342581163"}, {&T::heatLoss, "48.336474951129269"}, {&T::drop, "1009.3924188224219"},
          {&T::flow, "255.8627630405459"}, {&T::waijing, "108"}, {&T::bihou, "4"}, {&T::friction, "93991.668553399126"}},
         "管段平均状态不是过热蒸汽，无法求出比热", "37.450312", "454.269203"},
        {{{&T::length, "81.7081985"}, {&T::zeta, "1.262532"}, {&T::beta, "1.75493693"}, {&T::phi, "0.772214234"},
          {&T::ambient, "103.98360059279608"}, {&T::heatLoss, "35.103862124886234"}, {&T::drop, "2794.531220184243"},
          {&T::flow, "187.11832796764557"}, {&T::waijing, "108"}, {&T::bihou, "4"}, {&T::friction, "41109.827693872801"}},
         "迭代100次仍未收敛，无法求出管段末端参数", "21.587526", "685.473267"},
    };
    for (const auto& row : rows) {
        SteamState state = row.pressure == nullptr ? SteamState{} : stateAt(row.pressure, row.temperature);
        EXPECT_EQ(runSegmentCalculation(workedCase(row.changes), state), row.message) << "row " << &row - rows;
    }
}

}  // namespace dorvent
