#include "steam/saturation.h"

#include <cmath>

namespace dorvent {
namespace {

// IF97 Table 34: n1 ... n10 of the saturation-pressure and saturation-temperature equations.
constexpr double n[11] = {
    0.0,  // unused, so that n[i] reads as the standard's n_i
    0.11670521452767e4,
    -0.72421316703206e6,
    -0.17073846940092e2,
    0.12020824702470e5,
    -0.32325550322333e7,
    0.14915108613530e2,
    -0.48232657361591e4,
    0.40511340542057e6,
    -0.23855557567849,
    0.65017534844798e3,
};

constexpr double kLowestTemperature = 273.15;     // K, triple-point end of region 4
constexpr double kCriticalTemperature = 647.096;  // K
constexpr double kLowestPressure = 611.213e-6;    // MPa, saturation pressure at 273.15 K
constexpr double kCriticalPressure = 22.064;      // MPa

}  // namespace

double saturationPressure(double T)
{
    const double theta = T + n[9] / (T - n[10]);  // T* = 1 K
    const double A = theta * theta + n[1] * theta + n[2];
    const double B = n[3] * theta * theta + n[4] * theta + n[5];
    const double C = n[6] * theta * theta + n[7] * theta + n[8];
    const double root = 2.0 * C / (-B + std::sqrt(B * B - 4.0 * A * C));
    return (root * root) * (root * root);  // p* = 1 MPa
}

namespace {

// IF97 Eq. 31, kept local so that qiutbaohe inlines it instead of calling it.
inline double equation31(double p)
{
    const double betaSquared = std::sqrt(p);       // (p/p*)^0.5, p* = 1 MPa
    const double beta = std::sqrt(betaSquared);    // (p/p*)^0.25
    const double E = betaSquared + n[3] * beta + n[6];
    const double F = n[1] * betaSquared + n[4] * beta + n[7];
    const double G = n[2] * betaSquared + n[5] * beta + n[8];
    const double D = 2.0 * G / (-F - std::sqrt(F * F - 4.0 * E * G));
    return (n[10] + D - std::sqrt((n[10] + D) * (n[10] + D) - 4.0 * (n[9] + n[10] * D))) / 2.0;  // T* = 1 K
}

}  // namespace

double saturationTemperature(double p) { return equation31(p); }

Refusal qiupbaohe(double T, double& ps)
{
    if (!(T >= kLowestTemperature && T <= kCriticalTemperature)) return {"温度超出区域4饱和线范围"};
    ps = saturationPressure(T);
    return {};
}

Refusal qiutbaohe(double p, double& Ts)
{
    if (!(p >= kLowestPressure && p <= kCriticalPressure)) return {"压力超出区域4饱和线范围"};
    Ts = equation31(p);
    return {};
}

}  // namespace dorvent
