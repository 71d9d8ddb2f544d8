#pragma once

#include <optional>

namespace dorvent {

/// Saturated water (′) and saturated steam (″) at one pressure.
struct SaturationProperties {
    double T;        ///< saturation temperature [K]
    double hLiquid;  ///< h′ [kJ/kg], region 1 at T
    double hVapour;  ///< h″ [kJ/kg], region 2 at T
    double vLiquid;  ///< v′ [m3/kg]
    double vVapour;  ///< v″ [m3/kg]
};

inline constexpr double kWetSteamHighestPressure = 16.5291643;  // MPa: saturation at 623.15 K, where regions 1 and 2 end

/// Saturation properties at p [MPa] for 611.213e-6 <= p <= kWetSteamHighestPressure (regions 1 and 2
/// at Tsat, Tsat from IF97 Eq. 31); none outside or for non-finite p.
std::optional<SaturationProperties> saturationAt(double p);

/// A state given by pressure and enthalpy: superheated (region 2 or 5) or wet (region 4).
struct EnthalpyState {
    double T;        ///< [K]; the saturation temperature when wet
    double v;        ///< specific volume [m3/kg]; v′ + x (v″ − v′) when wet (homogeneous mixture)
    double dryness;  ///< x = (h − h′)/(h″ − h′) when wet; 1 for superheated steam
    bool wet;
};

/// The state at p [MPa] and h [kJ/kg]:
///  - wet where h′ <= h <= h″, so that h = h″ exactly is wet with x = 1 at Tsat and v″; the
///    superheated temperature just above h″ starts from Tsat, so T is continuous there;
///  - superheated where h > h″, or above the lowest region 2 temperature where there is no wet
///    range: the B23 boundary temperature above kWetSteamHighestPressure, 273.15 K below the
///    triple-point pressure 611.213e-6 MPa. T comes from region 2 up to 1073.15 K, from region 5
///    above, by Newton steps on h(T) with cp kept inside a bracket, to |h(T) − h| <= 1e-9 kJ/kg
///    or a step below 1e-10 K.
/// None below h′ (water), in region 3 (above kWetSteamHighestPressure below the B23 boundary),
/// above 1073.15 K at more than 10 MPa (region 5's limit for the 1997 equation that quyu5 uses),
/// above 2273.15 K, at more than 100 MPa, at p <= 0 or so close to 0 that v overflows, and for
/// non-finite input.
/// At 1073.15 K the two regions' enthalpies differ by up to 0.02 kJ/kg (region 5's higher below
/// about 5 MPa); an h between them is given 1073.15 K with region 5's volume.
std::optional<EnthalpyState> stateAt(double p, double h);

/// Temperature [K] of superheated steam at p [MPa] with enthalpy h [kJ/kg]; none where stateAt
/// gives no superheated state.
std::optional<double> steamTemperature(double p, double h);

}  // namespace dorvent
