#include "steam/b23.h"

#include <cmath>

namespace dorvent {
namespace {

// IF97 Table 1: n1 ... n5 of the B23 equation.
constexpr double n[6] = {
    0.0,  // unused, so that n[i] reads as the standard's n_i
    0.34805185628969e3,
    -0.11671859879975e1,
    0.10192970039326e-2,
    0.57254459862746e3,
    0.13918839778870e2,
};

}  // namespace

double b23Pressure(double T)
{
    const double theta = T;  // T* = 1 K
    return n[1] + n[2] * theta + n[3] * theta * theta;  // p* = 1 MPa
}

double b23Temperature(double p)
{
    const double pi = p;  // p* = 1 MPa
    return n[4] + std::sqrt((pi - n[5]) / n[3]);  // T* = 1 K
}

Refusal qiup23bianjie(double T, double& p23)
{
    if (!(T >= 623.15 && T <= 863.15)) return {"温度超出区域2、3边界线范围"};
    p23 = b23Pressure(T);
    return {};
}

Refusal qiut23bianjie(double p, double& T23)
{
    if (!(p >= 16.5292 && p <= 100.0)) return {"压力超出区域2、3边界线范围"};
    T23 = b23Temperature(p);
    return {};
}

}  // namespace dorvent
