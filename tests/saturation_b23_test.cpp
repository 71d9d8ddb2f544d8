#include <gtest/gtest.h>

#include "steam/b23.h"
#include "steam/saturation.h"

namespace dorvent {
namespace {

constexpr double kTolerance = 2e-8;  // relative, against the standard's 9-digit values

void expectRelative(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, kTolerance * std::abs(expected)) << what;
}

// Verification values of the standard, and the range ends, which are accepted.
TEST(Saturation, MatchesTheVerificationValuesAndAcceptsTheRangeEnds)
{
    const struct {
        double T, p;
    } table[] = {
        {300.0, 0.00353658941}, {500.0, 2.63889776}, {600.0, 12.3443146},
        {273.15, 0.000611212677}, {647.096, 22.064},
    };
    for (const auto& row : table) {
        double ps = -1.0;
        EXPECT_FALSE(qiupbaohe(row.T, ps));
        expectRelative(ps, row.p, "qiupbaohe");
    }
    double ps = 0.0;
    ASSERT_FALSE(qiupbaohe(647.096, ps));
    EXPECT_NEAR(ps, 22.064, 22.064e-9);

    const struct {
        double p, T;
    } inverse[] = {
        {0.1, 372.755919}, {1.0, 453.035632}, {10.0, 584.149488}, {0.000611213, 273.150007}, {22.064, 647.096},
    };
    for (const auto& row : inverse) {
        double Ts = -1.0;
        EXPECT_FALSE(qiutbaohe(row.p, Ts));
        expectRelative(Ts, row.T, "qiutbaohe");
    }
}

TEST(Saturation, TemperatureAndPressureAreInverseAlongTheLine)
{
    for (double T = 273.15; T <= 647.0; T += 7.3) {
        EXPECT_NEAR(saturationTemperature(saturationPressure(T)), T, 1e-9 * T) << T;
    }
}

TEST(Saturation, RefusesOutOfRangeInputAndLeavesTheOutputAlone)
{
    for (double T : {273.14, 647.1, -1.0, 1e300}) {
        double ps = 42.0;
        const Refusal refusal = qiupbaohe(T, ps);
        EXPECT_EQ(refusal.message, "温度超出区域4饱和线范围") << T;
        EXPECT_EQ(ps, 42.0);
    }
    for (double p : {0.0, 0.0006, 22.065, -5.0}) {
        double Ts = 42.0;
        EXPECT_EQ(qiutbaohe(p, Ts).message, "压力超出区域4饱和线范围") << p;
        EXPECT_EQ(Ts, 42.0);
    }
}

TEST(B23, MatchesTheVerificationValuesAndAcceptsTheRangeEnds)
{
    double p23 = 0.0;
    ASSERT_FALSE(qiup23bianjie(623.15, p23));
    expectRelative(p23, 16.5291643, "p23 at 623.15 K");
    ASSERT_FALSE(qiup23bianjie(863.15, p23));
    expectRelative(p23, 100.000000, "p23 at 863.15 K");

    double T23 = 0.0;
    ASSERT_FALSE(qiut23bianjie(100.0, T23));
    expectRelative(T23, 863.150000, "T23 at 100 MPa");
    ASSERT_FALSE(qiut23bianjie(16.5292, T23));
    expectRelative(T23, 623.150347, "T23 at the lowest accepted pressure");

    // The standard's check value lies just below the accepted range: the bare equation takes it.
    expectRelative(b23Temperature(16.5291643), 623.150000, "bare B23 at 16.5291643 MPa");
    double refused = 7.0;
    EXPECT_TRUE(qiut23bianjie(16.5291643, refused));
    EXPECT_EQ(refused, 7.0);
}

TEST(B23, RefusesOutOfRangeInputAndLeavesTheOutputAlone)
{
    for (double T : {623.14, 863.16}) {
        double p23 = 42.0;
        EXPECT_EQ(qiup23bianjie(T, p23).message, "温度超出区域2、3边界线范围") << T;
        EXPECT_EQ(p23, 42.0);
    }
    for (double p : {16.529, 100.001}) {
        double T23 = 42.0;
        EXPECT_EQ(qiut23bianjie(p, T23).message, "压力超出区域2、3边界线范围") << p;
        EXPECT_EQ(T23, 42.0);
    }
}

}  // namespace
}  // namespace dorvent
