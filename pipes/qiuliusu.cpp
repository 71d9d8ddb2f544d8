#include "pipes/qiuliusu.h"

#include <cmath>

#include "numtext/precision.h"

namespace dorvent {
namespace {

constexpr float kCrossSectionFactor = 0.7853981f;  // area = factor * d^2, held in single precision
constexpr double kRoughness = 0.2;                 // mm, absolute roughness of the pipe wall

}  // namespace

Refusal qiuliusu(std::int16_t area, float G, double rho, double D, double s, double& w, double& R)
{
    if (area != 2 && area != 5) return {kNotSuperheatedMessage};
    const double d = D - 2.0 * s;  // inner diameter, mm
    if (!(d > 0.0)) return {kWallThicknessMessage};

    const double A = kCrossSectionFactor * d * d;  // mm2
    const double velocity = 1000000.0 * G / (A * 3.6 * rho);
    if (!std::isfinite(velocity)) return {kNotComputableMessage};
    const double roundedVelocity = roundDecimal(velocity, 3);

    // Rough-pipe law 1/sqrt(lambda) = 1.14 + 2 lg(d/K), independent of the Reynolds number.
    const double root = 1.14 + 2.0 * (std::log(d / kRoughness) / std::log(10.0));
    const double lambda = 1.0 / (root * root);
    // Darcy-Weisbach with the rounded velocity, as the velocity is shown.
    const double friction = lambda / (d / 1000.0) * rho * roundedVelocity * roundedVelocity / 2.0;
    if (!std::isfinite(friction)) return {kNotComputableMessage};

    w = roundedVelocity;
    R = roundDecimal(friction, 3);
    return {};
}

}  // namespace dorvent
