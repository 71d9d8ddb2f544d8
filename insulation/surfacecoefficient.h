#pragma once

namespace dorvent::insulation {

// The outer-surface coefficient αs = αr + αc of GB 50264-2013, 5.8.4 [W/(m²·K)]. Temperatures in
// ℃, D the outer diameter of the insulation in m, W the wind speed in m/s, ε the jacket's
// emissivity.

/// Radiation αr = 5.669 ε / (Ts − Ta) · [((273 + Ts)/100)⁴ − ((273 + Ta)/100)⁴]; its limit at Ts = Ta.
double radiationCoefficient(double emissivity, double Ts, double Ta);

/// Convection αc: still air (W = 0), a light wind (W·D ≤ 0.8) or a wind (W·D > 0.8).
double convectionCoefficient(double Ts, double Ta, double D, double W);

/// αs = αr + αc.
double surfaceCoefficient(double emissivity, double Ts, double Ta, double D, double W);

/// The heat the outer surface gives off, αs·(Ts − Ta) [W/m²], and its derivative by Ts, for the
/// solve's Newton steps. Computed without dividing by Ts − Ta, so it holds at Ts = Ta too.
struct SurfaceFlux {
    double flux;
    double slope;
};
SurfaceFlux surfaceFlux(double emissivity, double Ts, double Ta, double D, double W);

}  // namespace dorvent::insulation
