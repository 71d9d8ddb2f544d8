// Wet steam (IF97 region 4) and the temperature of superheated steam from its enthalpy.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "steam/b23.h"
#include "steam/regions.h"
#include "steam/saturation.h"
#include "steam/wetsteam.h"

namespace dorvent {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Routine = void (*)(double, double, double&, double&, double&);

/// The specific volume and enthalpy a region's routine gives.
std::pair<double, double> volumeAndEnthalpy(Routine routine, double T, double p)
{
    double v = 0, h = 0, cp = 0;
    routine(T, p, v, h, cp);
    return {v, h};
}
double enthalpy(Routine routine, double T, double p) { return volumeAndEnthalpy(routine, T, p).second; }
double volume(Routine routine, double T, double p) { return volumeAndEnthalpy(routine, T, p).first; }

// Published values, and where none could be had, the values this code gives, kept so that a change shows:
//  - Tsat: IAPWS R7-97(2012), Table 36 (Eq. 31 check values, nine digits);
//  - 275 K and 450 K: IAPWS R6-95(2018), Table 8, the saturated states of IAPWS-95 (nine digits).
//    IF97 was fitted to IAPWS-95 and differs from it by more than that table's last digit, so the
//    tolerance here is what separates the two formulations at those states (h′ at 450 K: 0.165 kJ/kg),
//    with room, not the printed digits;
//  - h′, h″, v′, v″ at 0.1 to 16 MPa: no printed IF97 table was at hand, so these come from
//    tests/data/wetsteam_reference.py, IF97 typed anew from the release and checked on every run
//    against its verification Tables 5, 15, 35 and 36. The gas constant here is held in single
//    precision, 1.4e-8 relative from the release's, hence the tolerance of 3e-8.
TEST(WetSteamSaturation, MatchesPublishedAndIndependentValues)
{
    for (auto [p, T] : {std::pair{0.1, 372.755919}, {1.0, 453.035632}, {10.0, 584.149488}}) EXPECT_NEAR(saturationAt(p)->T, T, 2e-8 * T) << p;

    struct Iapws95 { double T, p, rhoLiquid, rhoVapour, hLiquid, hVapour; };
    for (const Iapws95& r : {Iapws95{275.0, 0.698451167e-3, 0.999887406e3, 0.550664919e-2, 0.775972202e1, 0.250428995e4},
                             Iapws95{450.0, 0.932203564, 0.890341250e3, 0.481200360e1, 0.749161585e3, 0.277441078e4}}) {
        const SaturationProperties s = saturationAt(r.p).value();
        EXPECT_NEAR(s.T, r.T, 0.02) << r.T;
        EXPECT_NEAR(s.hLiquid, r.hLiquid, 0.25) << r.T;
        EXPECT_NEAR(s.hVapour, r.hVapour, 0.05) << r.T;
        EXPECT_NEAR(s.vLiquid * r.rhoLiquid, 1.0, 2e-5) << r.T;
        EXPECT_NEAR(s.vVapour * r.rhoVapour, 1.0, 2e-4) << r.T;
    }

    const std::pair<double, SaturationProperties> rows[] = {
        {0.1, {372.755919, 417.436486, 2674.94964, 0.00104314784, 1.69402252}},
        {1.0, {453.035632, 762.682844, 2777.11954, 0.00112723375, 0.194348884}},
        {5.0, {537.092871, 1154.50204, 2794.22707, 0.00128640561, 0.0394462712}},
        {10.0, {584.149488, 1407.86750, 2725.47257, 0.00145261990, 0.0180335752}},
        {16.0, {620.506534, 1649.67194, 2580.80443, 0.00170953685, 0.00930812999}},
    };
    for (const auto& [p, expected] : rows) {
        const SaturationProperties s = saturationAt(p).value();
        using S = SaturationProperties;
        for (double S::*field : {&S::T, &S::hLiquid, &S::hVapour, &S::vLiquid, &S::vVapour})
            EXPECT_NEAR(s.*field, expected.*field, 3e-8 * expected.*field) << p << " MPa, expecting " << expected.*field;
    }
}

// From the triple-point pressure to the saturation pressure at 623.15 K (IF97 Table 3's B23 check
// value, where regions 1 and 2 end); nothing outside or for what is not a number.
TEST(WetSteamSaturation, CoversTheRangeOfRegions1And2AndNothingElse)
{
    EXPECT_NEAR(saturationAt(611.213e-6)->T, 273.150007, 1e-6);
    EXPECT_NEAR(saturationAt(kWetSteamHighestPressure)->T, 623.15, 1e-6);
    const double outside[] = {611.212e-6, 0.0, -1.0, std::nextafter(kWetSteamHighestPressure, kInf), 16.6, 22.064, kNaN, kInf, -kInf};
    for (double p : outside) EXPECT_FALSE(saturationAt(p)) << p;
}

// Between h′ and h″ the state is wet, at Tsat, with x on the enthalpy's scale and the volume of
// the homogeneous mixture; h″ itself is still wet (x = 1), and just above it the superheated
// temperature starts at Tsat and the volume at v″. Below h′ lies water, which is refused.
TEST(WetSteamState, GivesDrynessAndMixtureVolumeBetweenTheSaturatedStates)
{
    for (double p : {611.213e-6, 0.01, 0.1, 1.0, 5.0, 10.0, 16.0, kWetSteamHighestPressure}) {
        const SaturationProperties s = saturationAt(p).value();
        const double quarter = s.hLiquid + 0.25 * (s.hVapour - s.hLiquid);
        for (auto [h, x] : {std::pair{s.hLiquid, 0.0}, {quarter, 0.25}, {(s.hLiquid + s.hVapour) / 2, 0.5}, {s.hVapour, 1.0}}) {
            const EnthalpyState state = stateAt(p, h).value();
            EXPECT_TRUE(state.wet && state.T == s.T) << p << " MPa, x " << x;
            EXPECT_NEAR(state.dryness, x, 1e-12) << p;
            EXPECT_NEAR(state.v, s.vLiquid + x * (s.vVapour - s.vLiquid), 1e-12 * s.vVapour) << p << " MPa, x " << x;
            EXPECT_FALSE(steamTemperature(p, h)) << p;
        }
        EXPECT_EQ(std::pair(stateAt(p, s.hLiquid)->dryness, stateAt(p, s.hVapour)->dryness), std::pair(0.0, 1.0)) << p;
        EXPECT_FALSE(stateAt(p, std::nextafter(s.hLiquid, -kInf)) || stateAt(p, s.hLiquid - 100.0)) << p;

        const EnthalpyState above = stateAt(p, std::nextafter(s.hVapour, kInf)).value();
        EXPECT_TRUE(!above.wet && above.dryness == 1.0) << p;
        EXPECT_NEAR(above.T, s.T, 1e-8) << p;
        EXPECT_NEAR(above.v, s.vVapour, 1e-8 * s.vVapour) << p;
        EXPECT_EQ(steamTemperature(p, std::nextafter(s.hVapour, kInf)), above.T);
    }
    EXPECT_FALSE(stateAt(16.6, 2000.0));  // below the critical pressure, but above where regions 1 and 2 end
}

// h(p, T(p, h)) = h over superheated steam: region 2 from 0.01 K above saturation (above the B23
// boundary beyond 16.53 MPa) to 1073 K, region 5 from 1073.16 K to 2273.15 K.
TEST(WetSteamState, RoundTripsSuperheatedSteamInRegions2And5)
{
    auto roundTrip = [](auto routine, double p, double T) {
        const double h = enthalpy(routine, T, p);
        const std::optional<EnthalpyState> state = stateAt(p, h);
        ASSERT_TRUE(state) << p << " MPa, " << T << " K";
        EXPECT_TRUE(!state->wet && state->dryness == 1.0) << p << " MPa, " << T << " K";
        EXPECT_LE(std::fabs(enthalpy(routine, state->T, p) - h), 1e-9) << p << " MPa, " << T << " K";
        EXPECT_NEAR(state->T, T, 1e-6) << p << " MPa, " << T << " K";
        EXPECT_NEAR(state->v, volume(routine, T, p), 1e-8 * state->v) << p << " MPa, " << T << " K";
        EXPECT_EQ(steamTemperature(p, h), state->T);
    };
    for (double p : {0.0005, 0.01, 0.1, 0.5, 1.0, 2.0, 5.0, 10.0, 13.0, 16.0, 16.5, 17.0, 20.0, 50.0, 100.0}) {
        const double lowest = p < 611.213e-6               ? 273.15  // below the triple point
                              : p <= kWetSteamHighestPressure ? saturationTemperature(p)
                                                              : b23Temperature(p);
        for (double T = lowest + 0.01; T < 1073.0; T = T < lowest + 10.0 ? T * 1.002 : T + 7.3) roundTrip(quyu2, p, T);
        roundTrip(quyu2, p, 1073.0);
    }
    for (double p : {0.01, 0.1, 1.0, 5.0, 10.0}) {
        for (double T = 1073.16; T < 2273.15; T += 23.7) roundTrip(quyu5, p, T);
        roundTrip(quyu5, p, 2273.15);
    }
}

// Region 3 lies below the B23 temperature above 16.53 MPa; region 5 ends at 10 MPa in the 1997
// form that quyu5 keeps (the revised release's 50 MPa belongs to its new coefficients), and at
// 2273.15 K; regions 2 and 5 end at 100 MPa. Between region 2's enthalpy at 1073.15 K and region
// 5's, a little higher, the state is the boundary temperature. At 1e-310 MPa v would overflow.
TEST(WetSteamState, RefusesRegion3WhatLiesBeyondRegions2And5AndWhatIsNoNumber)
{
    for (double p : {17.0, 20.0, 22.064, 50.0, 100.0}) {
        const double T23 = b23Temperature(p), h23 = enthalpy(quyu2, T23, p);
        EXPECT_FALSE(stateAt(p, std::nextafter(h23, -kInf)) || stateAt(p, enthalpy(quyu2, T23 - 5.0, p))) << p;
        EXPECT_NEAR(stateAt(p, h23)->T, T23, 1e-9) << p;
    }
    EXPECT_TRUE(stateAt(10.0, enthalpy(quyu5, 1500.0, 10.0)));
    for (double p : {10.01, 20.0, 50.0}) EXPECT_FALSE(steamTemperature(p, enthalpy(quyu5, 1500.0, p))) << p;
    EXPECT_NEAR(steamTemperature(50.0, enthalpy(quyu2, 1073.0, 50.0)).value(), 1073.0, 1e-6);

    const double top = enthalpy(quyu5, 2273.15, 1.0);
    EXPECT_NEAR(steamTemperature(1.0, top).value(), 2273.15, 1e-9);
    EXPECT_FALSE(stateAt(1.0, std::nextafter(top, kInf)));
    const double region2End = enthalpy(quyu2, 1073.15, 1.0), region5Start = enthalpy(quyu5, 1073.15, 1.0);
    ASSERT_LT(region2End, region5Start);
    EXPECT_EQ(stateAt(1.0, (region2End + region5Start) / 2)->T, 1073.15);
    EXPECT_EQ(stateAt(1.0, (region2End + region5Start) / 2)->v, volume(quyu5, 1073.15, 1.0));
    EXPECT_EQ(steamTemperature(1.0, region5Start), 1073.15);
    for (double p : {1.0, 9.4}) {  // a root a hair inside the end of region 2
        const double h = enthalpy(quyu2, 1073.15, p) - 3e-9;
        EXPECT_LE(std::fabs(enthalpy(quyu2, steamTemperature(p, h).value(), p) - h), 1e-9) << p;
    }

    // Below the triple-point pressure there is no wet range, and region 2 starts at 273.15 K.
    EXPECT_NEAR(steamTemperature(0.0005, enthalpy(quyu2, 300.0, 0.0005)).value(), 300.0, 1e-6);
    EXPECT_FALSE(stateAt(0.0005, enthalpy(quyu2, 273.14, 0.0005)));
    for (auto [p, h] : {std::pair{100.01, 3000.0}, {0.0, 3000.0}, {1e-310, 3000.0}, {-1.0, 3000.0}, {kNaN, 3000.0},
                        {kInf, 3000.0}, {1.0, kNaN}, {1.0, kInf}, {1.0, -kInf}, {1.0, 1e300}, {1.0, -1e300}})
        EXPECT_FALSE(stateAt(p, h)) << p << " MPa, " << h << " kJ/kg";
}

}  // namespace
}  // namespace dorvent
