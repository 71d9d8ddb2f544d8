#pragma once

#include "steam/refusal.h"

namespace dorvent {

/// Pressure [MPa] of the region 2-3 boundary at T [K], IF97 Eq. 5, without range check.
double b23Pressure(double T);
/// Temperature [K] of the region 2-3 boundary at p [MPa], IF97 Eq. 6, without range check.
double b23Temperature(double p);

/// Boundary pressure p23 [MPa] at T [K] for 623.15 <= T <= 863.15; outside that range
/// p23 is left as it was and the refusal says so.
[[nodiscard]] Refusal qiup23bianjie(double T, double& p23);
/// Boundary temperature T23 [K] at p [MPa] for 16.5292 <= p <= 100; outside that range
/// T23 is left as it was and the refusal says so.
[[nodiscard]] Refusal qiut23bianjie(double p, double& T23);

}  // namespace dorvent
