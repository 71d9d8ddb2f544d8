#include "steam/gasconstant.h"
#include "steam/gibbssum.h"
#include "steam/regions.h"

namespace dorvent {
namespace {

struct IdealTerm {
    int J;
    double n;
};

struct ResidualTerm {
    int I;
    int J;
    double n;
};

// IF97 Table 37: exponents J°_i and coefficients n°_i of the ideal-gas part of region 5.
constexpr IdealTerm idealTerms[] = {
    {0, -0.13179983674201e2}, {1, 0.68540841634434e1}, {-3, -0.24805148933466e-1},
    {-2, 0.36901534980333},   {-1, -0.31161318213925e1}, {2, -0.32961626538917},
};

// IF97 (1997 release) Table 38: exponents I_i, J_i and coefficients n_i of the residual part
// of region 5. The later revision replaced these five terms by six; this program keeps these.
constexpr ResidualTerm residualTerms[] = {
    {1, 0, -0.12563183589592e-3}, {1, 1, 0.21774678714571e-2}, {1, 3, -0.45942820899910e-2},
    {2, 9, -0.39724828359569e-5}, {3, 3, 0.12919228289784e-6},
};

constexpr double pStar = 1.0;     // MPa
constexpr double TStar = 1000.0;  // K

constexpr auto preparedIdeal = prepare(idealTerms);
constexpr auto preparedResidual = prepare(residualTerms);

}  // namespace

void quyu5(double T, double p, double& v, double& h, double& cp)
{
    const double pi = p / pStar;
    const double tau = TStar / T;

    // Ideal-gas part: gamma° = ln(pi) + sum n° tau^J°
    const double idealPi = 1.0 / pi;
    const GibbsDerivatives ideal = gibbsDerivatives<preparedIdeal>(tau);

    // Residual part: gamma^r = sum n pi^I (tau)^J
    const double b = tau;
    const GibbsDerivatives residual = gibbsDerivatives<preparedResidual>(pi, b);

    v = (R * T / p) * pi * (idealPi + residual.a) / 1000.0;  // kJ/(kg·MPa) -> m3/kg
    h = R * T * tau * (ideal.b + residual.b);
    cp = -R * tau * tau * (ideal.bb + residual.bb);
}

}  // namespace dorvent
