#pragma once

namespace dorvent {

// The IF97 property routines. One parameter list for all three, so that a caller picks the
// routine by region and calls it the same way: T [K] and p [MPa] in; specific volume v [m3/kg],
// specific enthalpy h [kJ/kg] and isobaric specific heat cp [kJ/(kg·K)] out, all three written
// on every call. None checks its range: the caller has placed the state in the region.
// They need T > 0 and p > 0; other inputs give non-finite outputs, never a crash.

/// Region 1, compressed water (273.15 K to 623.15 K, above the saturation pressure, up to 100 MPa).
void quyu1(double T, double p, double& v, double& h, double& cp);
/// Region 2, superheated steam (273.15 K to 1073.15 K, below saturation and the B23 boundary).
void quyu2(double T, double p, double& v, double& h, double& cp);
/// Region 5, high-temperature steam (1073.15 K to 2273.15 K, up to 10 MPa), in its 1997 form.
void quyu5(double T, double p, double& v, double& h, double& cp);

}  // namespace dorvent
