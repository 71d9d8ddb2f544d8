#include <gtest/gtest.h>

#include <cmath>

#include "steam/regions.h"

namespace dorvent {
namespace {

constexpr double kTolerance = 2e-8;  // relative, against the standard's 9-digit values

struct Verification {
    double T, p, v, h, cp;
};

using PropertyRoutine = void (*)(double, double, double&, double&, double&);

void expectVerified(PropertyRoutine routine, const Verification& row)
{
    double v = -1.0, h = -1.0, cp = -1.0;
    routine(row.T, row.p, v, h, cp);
    EXPECT_NEAR(v, row.v, kTolerance * row.v) << "v at " << row.T << " K, " << row.p << " MPa";
    EXPECT_NEAR(h, row.h, kTolerance * row.h) << "h at " << row.T << " K, " << row.p << " MPa";
    EXPECT_NEAR(cp, row.cp, kTolerance * row.cp) << "cp at " << row.T << " K, " << row.p << " MPa";
}

TEST(Region1, MatchesTheVerificationTable)
{
    for (const Verification& row : {Verification{300, 3, 0.00100215168, 115.331273, 4.17301218},
                                     Verification{300, 80, 0.000971180894, 184.142828, 4.01008987},
                                     Verification{500, 3, 0.00120241800, 975.542239, 4.65580682}}) {
        expectVerified(quyu1, row);
    }
}

TEST(Region2, MatchesTheVerificationTable)
{
    for (const Verification& row : {Verification{300, 0.0035, 39.4913866, 2549.91145, 1.91300162},
                                     Verification{700, 0.0035, 92.3015898, 3335.68375, 2.08141274},
                                     Verification{700, 30, 0.00542946619, 2631.49474, 10.3505092}}) {
        expectVerified(quyu2, row);
    }
}

TEST(Region5, MatchesThe1997VerificationTableNotTheRevisedOne)
{
    for (const Verification& row : {Verification{1500, 0.5, 1.38455354, 5219.76332, 2.61610228},
                                     Verification{1500, 8, 0.0865156616, 5206.09634, 2.64453866},
                                     Verification{2000, 8, 0.115743146, 6583.80291, 2.85306750}}) {
        expectVerified(quyu5, row);
    }
    double v = 0, h = 0, cp = 0;
    quyu5(1500, 0.5, v, h, cp);
    EXPECT_GT(std::abs(h - 5219.76855), 1e-3);  // the revised six-term fit would give this
}

}  // namespace
}  // namespace dorvent
