#pragma once

#include "steam/refusal.h"

namespace dorvent {

/// Saturation pressure [MPa] at T [K], IF97 Eq. 30, without range check.
double saturationPressure(double T);
/// Saturation temperature [K] at p [MPa], IF97 Eq. 31, without range check.
double saturationTemperature(double p);

/// Saturation pressure ps [MPa] at T [K] for 273.15 <= T <= 647.096; outside that range
/// ps is left as it was and the refusal says so.
[[nodiscard]] Refusal qiupbaohe(double T, double& ps);
/// Saturation temperature Ts [K] at p [MPa] for 0.000611213 <= p <= 22.064; outside that
/// range Ts is left as it was and the refusal says so.
[[nodiscard]] Refusal qiutbaohe(double p, double& Ts);

}  // namespace dorvent
