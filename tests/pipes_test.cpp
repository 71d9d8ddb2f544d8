#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "mainwin/stateevaluation.h"
#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "pipes/chosenpipe.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "steam/regions.h"

namespace dorvent {
namespace {

using Rows = std::vector<std::string>;
const std::string kNearest = "没有合适的管径，已求出最相近管径";
const std::string kNone = "没有合适的管径";

TEST(Qiuliusu, GivesVelocityAndFrictionRoundedToThreeDecimals)
{
    const struct {
        float G;
        double rho, D, s, w, R;
    } cases[] = {
        {10, 5, 108, 4, 70.736, 2926.437},  // R from the rounded velocity; 70.73553... would give 2926.398
        {20, 10, 219, 6, 16.508, 128.046},
        {100, 20, 426, 7, 10.418, 43.66},
        {0, 5, 108, 4, 0.0, 0.0},
        {-10, 5, 108, 4, -70.736, 2926.437},
    };
    for (const auto& c : cases) {
        double w = -1, R = -1;
        EXPECT_FALSE(qiuliusu(region::steam, c.G, c.rho, c.D, c.s, w, R));
        EXPECT_EQ(w, c.w) << c.G << " t/h in " << c.D << " x " << c.s;
        EXPECT_EQ(R, c.R) << c.G << " t/h in " << c.D << " x " << c.s;
    }
}

TEST(Qiuliusu, RefusesStatesBeforeWallsAndLeavesTheOutputsAlone)
{
    for (std::int16_t area : {0, 1, 3, 4, 23}) {
        double w = 7, R = 8;
        EXPECT_EQ(qiuliusu(area, 10, 5, 108, 60, w, R).message, kNotSuperheatedMessage) << area;
        EXPECT_EQ(w, 7);
        EXPECT_EQ(R, 8);
    }
    for (double s : {54.0, 60.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
        double w = 7, R = 8;
        EXPECT_EQ(qiuliusu(region::hotSteam, 10, 5, 108, s, w, R).message, kWallThicknessMessage) << s;
        EXPECT_EQ(w, 7);
        EXPECT_EQ(R, 8);
    }
    const struct {
        float G;
        double rho;
    } undefined[] = {{10, 0.0}, {std::numeric_limits<float>::infinity(), 5}, {10, std::nan("")}, {10, -0.0}};
    for (const auto& c : undefined) {
        double w = 7, R = 8;
        EXPECT_EQ(qiuliusu(region::steam, c.G, c.rho, 108, 4, w, R).message, kNotComputableMessage) << c.rho;
        EXPECT_EQ(w, 7);
        EXPECT_EQ(R, 8);
    }
    // Where the friction law's denominator nearly vanishes the answer is huge but finite.
    const double d = 0.2 * std::pow(10.0, -0.57);
    double w = 0, R = 0;
    EXPECT_FALSE(qiuliusu(region::steam, 10, 5, 10.0 + d, 5.0, w, R));
    EXPECT_TRUE(std::isfinite(w) && std::isfinite(R));
}

TEST(Proposal, ListsThePipesInsideTheirVelocityBand)
{
    const struct {
        double rho;
        const char* flow;
        Rows rows;
        std::string message;
    } cases[] = {
        {8, "20", {"DN150  39.298m/s  867.473Pa/m"}, ""},
        {8, "200", {"DN450  41.425m/s  240.049Pa/m", "DN400  52.090m/s  436.599Pa/m"}, ""},
        {8, "1", {"DN40  27.631m/s  2315.569Pa/m"}, ""},
        {5, "10", {"DN150  31.438m/s  346.980Pa/m", "DN125  45.271m/s  904.509Pa/m"}, ""},
        {8, "26", {"DN150  51.087m/s  1466.006Pa/m", "DN200  26.826m/s  270.506Pa/m"}, kNearest},
        {8, "49", {"DN200  50.556m/s  960.752Pa/m"}, kNearest},
        {8, "6", {"DN80  40.430m/s  1998.774Pa/m"}, kNearest},
        {5, "3000", {"DN1400  110.786m/s  284.981Pa/m"}, kNearest},
        {8, "0.04", {}, kNone},
        {8, "0", {}, kNone},
        {8, "abc", {}, kNone},
        {8, "-5", {}, kNone},
        {8, "   ", {}, kNone},
        {8, "1e39", {}, std::string(kNotComputableMessage)},
        {8, "1e400", {}, std::string(kNotComputableMessage)},
        {0, "10", {}, std::string(kNotComputableMessage)},
    };
    for (const auto& c : cases) {
        const PipeProposal proposal = proposeForDensity(region::steam, c.rho, c.flow);
        EXPECT_EQ(proposal.rows, c.rows) << c.flow << " t/h at " << c.rho << " kg/m3";
        EXPECT_EQ(proposal.message, c.message) << c.flow << " t/h at " << c.rho << " kg/m3";
    }
}

// The flow at which a catalogue pipe runs at exactly the given velocity in three decimals.
std::string flowFor(double velocity, const PipeSize& pipe, double rho)
{
    const double d = pipe.waijing - 2.0 * pipe.bihou;
    const float G = toSinglePrecision(velocity * 0.7853981f * d * d * 3.6 * rho / 1e6);
    double w = 0, R = 0;
    EXPECT_FALSE(qiuliusu(region::steam, G, rho, pipe.waijing, pipe.bihou, w, R));
    EXPECT_EQ(w, velocity) << "no flow found for " << velocity << " m/s";
    return formatShortest(G);
}

TEST(Proposal, TheBandEdgesBelongToTheBand)
{
    const PipeSize& dn250 = guanjing[12];
    const PipeSize& dn200 = guanjing[13];
    const PipeProposal at40 = proposeForDensity(region::steam, 8, flowFor(40.0, dn250, 8));
    ASSERT_FALSE(at40.rows.empty());
    EXPECT_EQ(at40.rows.front().rfind("DN250  40.000m/s  ", 0), 0u) << at40.rows.front();

    const PipeProposal at50 = proposeForDensity(region::steam, 8, flowFor(50.0, dn200, 8));
    ASSERT_FALSE(at50.rows.empty());
    EXPECT_EQ(at50.rows.back().rfind("DN200  50.000m/s  ", 0), 0u) << at50.rows.back();
    EXPECT_EQ(at50.message, "");
}

TEST(Proposal, NeedsAnEvaluatedSuperheatedStateAndAFlow)
{
    SteamState state;
    state.birong = -1.0;
    EXPECT_EQ(proposePipeSizes(state, "").message, kStateFirstMessage);
    for (std::int16_t area : {1, 3, 4, 23}) {
        state.area = area;
        EXPECT_EQ(proposePipeSizes(state, "10").message, kNotSuperheatedMessage) << area;
    }
    state.area = region::steam;
    state.t = 523.15;
    state.p = 1.0;
    EXPECT_EQ(proposePipeSizes(state, "").message, kFlowMissingMessage);
    EXPECT_EQ(state.birong, -1.0);  // nothing recomputed before the flow is there

    // 1 MPa, 250 ℃ (4.297 kg/m3), 10 t/h: DN150 at about 36.6 m/s is the one pipe in its band.
    const PipeProposal proposal = proposePipeSizes(state, "10");
    double v = 0, h = 0, cp = 0;
    quyu2(523.15, 1.0, v, h, cp);
    EXPECT_EQ(state.birong, v);
    EXPECT_EQ(state.bihan, h);
    ASSERT_EQ(proposal.rows.size(), 1u);
    EXPECT_EQ(proposal.rows.front().rfind("DN150  36.5", 0), 0u) << proposal.rows.front();
    EXPECT_EQ(proposal.message, "");

    // 10 MPa at 1200 ℃, region 5: the density comes from the region 5 equation.
    state = SteamState{};
    state.area = region::hotSteam;
    state.t = 1473.15;
    state.p = 10.0;
    EXPECT_FALSE(proposePipeSizes(state, "100").rows.empty());
    quyu5(1473.15, 10.0, v, h, cp);
    EXPECT_EQ(state.birong, v);
}

TEST(ChosenPipe, ShowsVelocityAndFrictionOfTheListedOrTypedPipe)
{
    const ChosenPipeResult dn100 = checkPipe(region::steam, 5, {"10", "DN100", "108", "4"});
    EXPECT_TRUE(dn100.computed);
    EXPECT_EQ(dn100.velocity, "70.736");
    EXPECT_EQ(dn100.friction, "2926.437");
    EXPECT_EQ(dn100.message, "");

    const ChosenPipeResult thicker = checkPipe(region::steam, 5, {"10", "DN100", "108", "4.5"});
    EXPECT_TRUE(thicker.computed);
    EXPECT_GT(std::stod(thicker.velocity), 70.736);  // smaller bore, faster steam

    const ChosenPipeResult tooThick = checkPipe(region::steam, 5, {"10", "DN100", "108", "60"});
    EXPECT_TRUE(tooThick.computed);
    EXPECT_EQ(tooThick.velocity, "0.000");
    EXPECT_EQ(tooThick.friction, "0.000");
    EXPECT_EQ(tooThick.message, kWallThicknessMessage);
}

TEST(ChosenPipe, AsksForWhatIsMissingAndKeepsTheResultsOtherwise)
{
    const struct {
        ChosenPipeTexts texts;
        std::string_view message;
    } cases[] = {
        {{"", "DN100", "108", "4"}, kFlowMissingMessage},
        {{"0", "DN100", "108", "4"}, kFlowMissingMessage},
        {{"abc", "DN100", "108", "0"}, kFlowMissingMessage},
        {{"10", "DN100", "108", "0"}, "壁厚不能为0"},
        {{"10", "DN100", "108", "x"}, "壁厚不能为0"},
        {{"10", "DN100", "108", ""}, ""},  // wall thickness deleted: old results stay, no message
        {{"10", "", "", "4"}, ""},         // wall typed before any pipe was chosen
        {{"", "", "", ""}, ""},
        {{"1e39", "DN100", "108", "4"}, kNotComputableMessage},
    };
    for (const auto& c : cases) {
        const ChosenPipeResult result = checkPipe(region::steam, 5, c.texts);
        EXPECT_FALSE(result.computed) << c.texts.flow << " / " << c.texts.bihou;
        EXPECT_EQ(result.message, c.message) << c.texts.flow << " / " << c.texts.bihou;
    }

    SteamState state;
    EXPECT_EQ(evaluateChosenPipe(state, {"10", "DN100", "108", "4"}).message, kStateFirstMessage);
    state.area = region::water;
    EXPECT_EQ(evaluateChosenPipe(state, {"10", "DN100", "108", "4"}).message, kNotSuperheatedMessage);
}

}  // namespace
}  // namespace dorvent
