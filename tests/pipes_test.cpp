#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "pipes/chosenpipe.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "steam/regions.h"

namespace dorvent {
namespace {

constexpr std::string_view kHot = kNotSuperheatedMessage, kWall = kWallThicknessMessage, kNaN = kNotComputableMessage;
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(Qiuliusu, GivesRoundedVelocityAndFrictionOrRefusesLeavingTheOutputsAlone)
{
    // Each call starts from w = 7, R = 8, which a refusal leaves. States are refused before walls.
    const struct { std::int16_t area; float G; double rho, D, s, w, R; std::string_view message; } cases[] = {
        {2, 10, 5, 108, 4, 70.736, 2926.437, ""},  // R from the rounded velocity; 70.73553... would give 2926.398
        {2, 20, 10, 219, 6, 16.508, 128.046, ""},       {5, 100, 20, 426, 7, 10.418, 43.66, ""},
        {2, 0, 5, 108, 4, 0.0, 0.0, ""},                {2, -10, 5, 108, 4, -70.736, 2926.437, ""},
        {0, 10, 5, 108, 60, 7, 8, kHot},  {1, 10, 5, 108, 60, 7, 8, kHot},   {3, 10, 5, 108, 60, 7, 8, kHot},
        {4, 10, 5, 108, 60, 7, 8, kHot},  {23, 10, 5, 108, 60, 7, 8, kHot},  {5, 10, 5, 108, 54, 7, 8, kWall},
        {5, 10, 5, 108, 60, 7, 8, kWall}, {5, 10, 5, 108, kInf, 7, 8, kWall}, {5, 10, 5, 108, kNan, 7, 8, kWall},
        {2, 10, 0.0, 108, 4, 7, 8, kNaN}, {2, kInf, 5, 108, 4, 7, 8, kNaN},   {2, 10, kNan, 108, 4, 7, 8, kNaN},
        {2, 10, -0.0, 108, 4, 7, 8, kNaN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "area " << c.area << ", " << c.G << " t/h, " << c.rho << " kg/m3, wall " << c.s);
        double w = 7, R = 8;
        EXPECT_EQ(qiuliusu(c.area, c.G, c.rho, c.D, c.s, w, R).message, c.message);
        EXPECT_EQ(std::pair(w, R), std::pair(c.w, c.R));
    }
    // Where the friction law's denominator nearly vanishes the answer is huge but finite.
    double w = 0, R = 0;
    EXPECT_FALSE(qiuliusu(region::steam, 10, 5, 10.0 + 0.2 * std::pow(10.0, -0.57), 5.0, w, R));
    EXPECT_TRUE(std::isfinite(w) && std::isfinite(R));
}

TEST(Proposal, ListsThePipesInsideTheirVelocityBandElseTheNearest)
{
    const std::string_view nearest = "没有合适的管径，已求出最相近管径", none = "没有合适的管径";
    const struct { double rho; const char* flow; std::vector<std::string> rows; std::string_view message; } cases[] = {
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
        EXPECT_EQ(proposal.rows, c.rows) << c.flow << " t/h at " << c.rho << " kg/m3";
        EXPECT_EQ(proposal.message, c.message) << c.flow << " t/h at " << c.rho << " kg/m3";
    }
}

TEST(Proposal, TheBandEdgesBelongToTheBand)
{
    // At 8 kg/m3, the flows that run DN250 at exactly 40 m/s and DN200 at exactly 50 m/s in three decimals.
    for (const auto& [pipe, velocity, row] :
         {std::tuple{guanjing[12], 40.0, "DN250  40.000m/s  "}, {guanjing[13], 50.0, "DN200  50.000m/s  "}}) {
        const double d = pipe.waijing - 2.0 * pipe.bihou;
        const float G = toSinglePrecision(velocity * 0.7853981f * d * d * 3.6 * 8 / 1e6);
        const PipeProposal proposal = proposeForDensity(region::steam, 8, formatShortest(G));
        EXPECT_TRUE(std::ranges::any_of(proposal.rows, [&](const std::string& r) { return r.starts_with(row); }))
            << row << " not among " << testing::PrintToString(proposal.rows);
        EXPECT_EQ(proposal.message, "") << row;
    }
}

// Neither check reads the flow before it knows the state is superheated steam.
TEST(PipeChecks, NeedAnEvaluatedSuperheatedState)
{
    for (std::int16_t area : {0, 1, 3, 4, 23}) {
        SteamState state{.area = area};
        const std::string_view message = area == region::none ? kStateFirstMessage : kHot;
        EXPECT_EQ(proposePipeSizes(state, "").message, message) << area;
        EXPECT_EQ(evaluateChosenPipe(state, {"", "DN100", "108", "4"}).message, message) << area;
    }
}

TEST(Proposal, NeedsAFlowAndRefreshesTheDensityOfTheState)
{
    SteamState state{.p = 1.0, .t = 523.15, .area = region::steam, .birong = -1.0};
    EXPECT_EQ(proposePipeSizes(state, "").message, kFlowMissingMessage);
    EXPECT_EQ(state.birong, -1.0);  // nothing recomputed before the flow is there

    // 1 MPa, 250 ℃ (4.297 kg/m3), 10 t/h: DN150 at about 36.6 m/s is the one pipe in its band.
    const PipeProposal proposal = proposePipeSizes(state, "10");
    ASSERT_EQ(proposal.rows.size(), 1u);
    EXPECT_TRUE(proposal.rows.front().starts_with("DN150  36.5")) << proposal.rows.front();
    EXPECT_EQ(proposal.message, "");
    double v = 0, h = 0, cp = 0;
    quyu2(523.15, 1.0, v, h, cp);
    EXPECT_EQ(std::pair(state.birong, state.bihan), std::pair(v, h));

    // 10 MPa at 1200 ℃, region 5: the density comes from the region 5 equation.
    state = SteamState{.p = 10.0, .t = 1473.15, .area = region::hotSteam};
    EXPECT_FALSE(proposePipeSizes(state, "100").rows.empty());
    quyu5(1473.15, 10.0, v, h, cp);
    EXPECT_EQ(state.birong, v);
}

TEST(ChosenPipe, ShowsTheResultsOrSaysWhatIsMissing)
{
    const auto check = [](ChosenPipeTexts texts) {
        const ChosenPipeResult r = checkPipe(region::steam, 5, texts);
        return std::tuple(r.computed, r.computed ? r.velocity + " " + r.friction : "", std::string(r.message));
    };
    using Shown = std::tuple<bool, std::string, std::string>;
    EXPECT_EQ(check({"10", "DN100", "108", "4"}), Shown(true, "70.736 2926.437", ""));
    EXPECT_EQ(check({"10", "DN100", "108", "60"}), Shown(true, "0.000 0.000", kWall));
    // The wall thickness shown is used, not the catalogue's: a smaller bore makes faster steam.
    EXPECT_GT(std::stod(checkPipe(region::steam, 5, {"10", "DN100", "108", "4.5"}).velocity), 70.736);

    const std::string_view noFlow = kFlowMissingMessage, zeroWall = "壁厚不能为0";
    const struct { ChosenPipeTexts texts; std::string_view message; } cases[] = {
        {{"", "DN100", "108", "4"}, noFlow},      {{"0", "DN100", "108", "4"}, noFlow},
        {{"abc", "DN100", "108", "0"}, noFlow},   {{"10", "DN100", "108", "0"}, zeroWall},
        {{"10", "DN100", "108", "x"}, zeroWall},  {{"1e39", "DN100", "108", "4"}, kNaN},
        // A deleted wall thickness, or one typed before any pipe was chosen, keeps the old results silently.
        {{"10", "DN100", "108", ""}, ""},  {{"10", "", "", "4"}, ""},  {{"", "", "", ""}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check(c.texts), Shown(false, "", c.message)) << c.texts.flow << " / " << c.texts.bihou;
    }
}

}  // namespace
}  // namespace dorvent
