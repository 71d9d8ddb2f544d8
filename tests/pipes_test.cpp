#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

constexpr std::string_view kHot = kNotSuperheatedMessage, kWall = kWallThicknessMessage, kNaN = kNotComputableMessage;

TEST(Qiuliusu, GivesRoundedVelocityAndFrictionOrRefusesLeavingTheOutputsAlone)
{
    constexpr float inf = HUGE_VALF;
    // Each call starts from w = 7, R = 8, which a refusal leaves. States are refused before walls.
    const struct { std::int16_t area; float G; double rho, D, s, w, R; std::string_view message; } cases[] = {
        {2, 10, 5, 108, 4, 70.736, 2926.437, ""},  // R from the rounded velocity; 70.73553... would give 2926.398
        {2, 20, 10, 219, 6, 16.508, 128.046, ""},       {5, 100, 20, 426, 7, 10.418, 43.66, ""},
        {2, 0, 5, 108, 4, 0.0, 0.0, ""},                {2, -10, 5, 108, 4, -70.736, 2926.437, ""},
        {0, 10, 5, 108, 60, 7, 8, kHot},  {1, 10, 5, 108, 60, 7, 8, kHot},   {3, 10, 5, 108, 60, 7, 8, kHot},
        {4, 10, 5, 108, 60, 7, 8, kHot},  {23, 10, 5, 108, 60, 7, 8, kHot},  {5, 10, 5, 108, 54, 7, 8, kWall},
        {5, 10, 5, 108, 60, 7, 8, kWall}, {5, 10, 5, 108, inf, 7, 8, kWall}, {5, 10, 5, 108, NAN, 7, 8, kWall},
        {2, 10, 0.0, 108, 4, 7, 8, kNaN}, {2, inf, 5, 108, 4, 7, 8, kNaN},   {2, 10, NAN, 108, 4, 7, 8, kNaN},
        {2, 10, -0.0, 108, 4, 7, 8, kNaN},
    };
    for (const auto& c : cases) {
        double w = 7, R = 8;
        const std::string_view message = qiuliusu(c.area, c.G, c.rho, c.D, c.s, w, R).message;
        EXPECT_EQ(std::tuple(message, w, R), std::tuple(c.message, c.w, c.R)) << c.area << ", " << c.G << " t/h, " << c.rho;
    }
    // Where the friction law's denominator nearly vanishes the answer is huge but finite.
    double w = 0, R = 0;
    EXPECT_FALSE(qiuliusu(region::steam, 10, 5, 10.0 + 0.2 * std::pow(10.0, -0.57), 5.0, w, R));
    EXPECT_TRUE(std::isfinite(w) && std::isfinite(R));
}

TEST(Proposal, ListsThePipesInsideTheirVelocityBandBothEndsIncludedElseTheNearest)
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
    for (const auto& [pipe, velocity, row] :
         {std::tuple{guanjing[12], 40.0, "DN250  40.000m/s  "}, {guanjing[13], 50.0, "DN200  50.000m/s  "}}) {
        const double d = pipe.waijing - 2.0 * pipe.bihou;
        const float G = toSinglePrecision(velocity * 0.7853981f * d * d * 3.6 * 8 / 1e6);
        const PipeProposal proposal = proposeForDensity(region::steam, 8, formatShortest(G));
        EXPECT_TRUE(std::ranges::any_of(proposal.rows, [&](const std::string& r) { return r.starts_with(row); }) &&
                    proposal.message.empty())
            << row << " not among " << testing::PrintToString(proposal.rows);
    }
}

TEST(PipeChecks, NeedASuperheatedStateAndTakeTheDensityOfItsRegion)
{
    // Neither check reads the flow before it knows the state is superheated steam.
    for (std::int16_t area : {0, 1, 3, 4, 23}) {
        SteamState state{.area = area};
        const std::string_view message = area == region::none ? kStateFirstMessage : kHot;
        EXPECT_EQ(proposePipeSizes(state, "").message, message) << area;
        EXPECT_EQ(evaluateChosenPipe(state, {"", "DN100", "108", "4"}).message, message) << area;
    }
    // 10 MPa, 1200 ℃ is region 5 (14.719 kg/m3): 40 t/h run DN250, 273 x 6, at 40/3.6/14.719/(π/4 · 0.261²) m/s.
    SteamState state{.p = 10.0, .t = 1473.15, .area = region::hotSteam};
    const ChosenPipeResult chosen = evaluateChosenPipe(state, {"40", "DN250", "273", "6"});
    EXPECT_EQ(std::tuple(chosen.computed, chosen.velocity, chosen.message), std::tuple(true, "14.109", ""));
    double v = 0, h = 0, cp = 0;
    quyu5(1473.15, 10.0, v, h, cp);
    EXPECT_EQ(state.birong, v);
    EXPECT_FALSE(proposePipeSizes(state, "100").rows.empty());

    state = SteamState{.p = 1.0, .t = 523.15, .area = region::steam, .birong = -1.0};
    EXPECT_EQ(proposePipeSizes(state, "").message, kFlowMissingMessage);
    EXPECT_EQ(state.birong, -1.0);  // nothing recomputed before the flow is there
    // 1 MPa, 250 ℃ (4.297 kg/m3), 10 t/h: DN150 at about 36.6 m/s is the one pipe in its band.
    const PipeProposal proposal = proposePipeSizes(state, "10");
    quyu2(523.15, 1.0, v, h, cp);
    EXPECT_EQ(std::pair(state.birong, state.bihan), std::pair(v, h));
    ASSERT_EQ(proposal.rows.size(), 1u);
    EXPECT_TRUE(proposal.rows.front().starts_with("DN150  36.5") && proposal.message.empty()) << proposal.rows.front();
}

TEST(ChosenPipe, ShowsTheResultsOrSaysWhatIsMissing)
{
    using Shown = std::tuple<bool, std::string, std::string_view>;
    const std::string_view noFlow = kFlowMissingMessage, zeroWall = "壁厚不能为0";
    const struct { ChosenPipeTexts texts; Shown shown; } cases[] = {
        {{"10", "DN100", "108", "4"}, {true, "70.736 2926.437", ""}}, {{"10", "DN100", "108", "60"}, {true, "0.000 0.000", kWall}},
        {{"", "DN100", "108", "4"}, {false, "", noFlow}},     {{"0", "DN100", "108", "4"}, {false, "", noFlow}},
        {{"abc", "DN100", "108", "0"}, {false, "", noFlow}},  {{"10", "DN100", "108", "0"}, {false, "", zeroWall}},
        {{"10", "DN100", "108", "x"}, {false, "", zeroWall}}, {{"1e39", "DN100", "108", "4"}, {false, "", kNaN}},
        // A deleted wall thickness, or one typed before any pipe was chosen, keeps the old results silently.
        {{"10", "DN100", "108", ""}, {false, "", ""}},  {{"10", "", "", "4"}, {false, "", ""}},  {{"", "", "", ""}, {false, "", ""}},
    };
    for (const auto& c : cases) {
        const ChosenPipeResult r = checkPipe(region::steam, 5, c.texts);
        EXPECT_EQ(Shown(r.computed, r.computed ? r.velocity + " " + r.friction : "", r.message), c.shown) << c.texts.bihou;
    }
    // The wall thickness shown is used, not the catalogue's: a smaller bore makes faster steam.
    EXPECT_GT(std::stod(checkPipe(region::steam, 5, {"10", "DN100", "108", "4.5"}).velocity), 70.736);
}

}  // namespace dorvent
