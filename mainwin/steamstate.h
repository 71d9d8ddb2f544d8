#pragma once

#include <cstdint>

namespace dorvent {

/// Region codes of an evaluated state.
namespace region {
inline constexpr std::int16_t none = 0;          // no valid evaluation
inline constexpr std::int16_t water = 1;         // IF97 region 1, compressed water
inline constexpr std::int16_t steam = 2;         // IF97 region 2, superheated steam
inline constexpr std::int16_t nearCritical = 3;  // IF97 region 3
inline constexpr std::int16_t saturation = 4;    // IF97 region 4, on the saturation line
inline constexpr std::int16_t hotSteam = 5;      // IF97 region 5, high-temperature steam
inline constexpr std::int16_t boundary23 = 23;   // exactly on the region 2-3 boundary
}  // namespace region

/// The main window's evaluated steam state; all zero until the first evaluation.
struct SteamState {
    double p = 0.0;          ///< absolute pressure [MPa]
    double t = 0.0;          ///< temperature [K]
    double tsheshidu = 0.0;  ///< the same temperature [℃]
    float liuliang = 0.0f;   ///< design flow of the segment calculation
    std::int16_t area = region::none;
    double pbaohe = 0.0;      ///< saturation pressure at t [MPa]
    double tbaohe = 0.0;      ///< saturation temperature at p [K]
    double p23bianjie = 0.0;  ///< region 2-3 boundary pressure at t [MPa]
    double t23bianjie = 0.0;  ///< region 2-3 boundary temperature at p [K]
    double birong = 0.0;      ///< specific volume [m3/kg], refreshed by the pipe calculations
    double bihan = 0.0;       ///< specific enthalpy [kJ/kg], computed with birong
    double cp = 0.0;          ///< isobaric specific heat [kJ/(kg·K)], computed with birong
};

}  // namespace dorvent
