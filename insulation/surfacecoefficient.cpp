#include "insulation/surfacecoefficient.h"

#include <cmath>

namespace dorvent::insulation {
namespace {

// 5.8.4, radiation: 5.669 is the code's radiation constant of a black body, W/(m²·K⁴) × 10⁸, and
// the code adds 273 (not 273.15) to make kelvin.
constexpr double kBlackBody = 5.669;
constexpr double kKelvin = 273;

// 5.8.4, still air: αc = 26.4 / √(297 + 0.5 (Ts + Ta)) · ((Ts − Ta)/D)^0.25. Secondary sources give
// 297 or 397; the code's text was not at hand, and every public implementation of the 2013 code
// found uses 297 (docs/insulation.md), so 297 it is.
constexpr double kStillAirFactor = 26.4;
constexpr double kStillAirConstant = 297;

// 5.8.4, wind: a light wind W·D ≤ 0.8 takes αc = 0.008/D + 4.2 W^0.618 / D^0.382, a stronger one
// αc = 4.53 W^0.805 / D^0.195 (crossflow over a cylinder below and above Re ≈ 50 000 in air).
constexpr double kLightWindLimit = 0.8;

double fourth(double x) { return x * x * x * x; }

/// ((273 + T)/100)⁴ and its derivative by T.
double blackBodyTerm(double T) { return fourth((kKelvin + T) / 100); }
double blackBodySlope(double T)
{
    const double x = (kKelvin + T) / 100;
    return 4 * x * x * x / 100;
}

double windCoefficient(double D, double W)
{
    if (W * D > kLightWindLimit) return 4.53 * std::pow(W, 0.805) / std::pow(D, 0.195);
    return 0.008 / D + 4.2 * std::pow(W, 0.618) / std::pow(D, 0.382);
}

}  // namespace

double radiationCoefficient(double emissivity, double Ts, double Ta)
{
    if (Ts == Ta) return kBlackBody * emissivity * blackBodySlope(Ta);
    return kBlackBody * emissivity / (Ts - Ta) * (blackBodyTerm(Ts) - blackBodyTerm(Ta));
}

double convectionCoefficient(double Ts, double Ta, double D, double W)
{
    if (W > 0) return windCoefficient(D, W);
    const double rise = std::fmax(Ts - Ta, 0.0);
    return kStillAirFactor / std::sqrt(kStillAirConstant + 0.5 * (Ts + Ta)) * std::sqrt(std::sqrt(rise / D));
}

double surfaceCoefficient(double emissivity, double Ts, double Ta, double D, double W)
{
    return radiationCoefficient(emissivity, Ts, Ta) + convectionCoefficient(Ts, Ta, D, W);
}

SurfaceFlux surfaceFlux(double emissivity, double Ts, double Ta, double D, double W)
{
    SurfaceFlux radiation{kBlackBody * emissivity * (blackBodyTerm(Ts) - blackBodyTerm(Ta)),
                          kBlackBody * emissivity * blackBodySlope(Ts)};
    if (W > 0) {
        const double alpha = windCoefficient(D, W);
        return {radiation.flux + alpha * (Ts - Ta), radiation.slope + alpha};
    }
    // Still air: αc·(Ts − Ta) = 26.4 · r^1.25 · D^−0.25 · s^−0.5 with r = Ts − Ta, s = 297 + (Ts + Ta)/2.
    const double r = std::fmax(Ts - Ta, 0.0);
    const double s = kStillAirConstant + 0.5 * (Ts + Ta);
    const double quarter = std::sqrt(std::sqrt(r / D));  // (r/D)^0.25
    const double flux = kStillAirFactor * quarter * r / std::sqrt(s);
    const double slope = r > 0 ? flux * (1.25 / r - 0.25 / s) : 0.0;
    return {radiation.flux + flux, radiation.slope + slope};
}

}  // namespace dorvent::insulation
