#pragma once

#include <optional>
#include <string_view>

#include "insulation/materials.h"
#include "insulation/outcome.h"

namespace dorvent::insulation {

/// One layer of insulation: its material and thickness δ [mm].
struct Layer {
    Material material;
    double thickness;
};

/// The insulation construction (保温做法) on a pipe of outer diameter D0 [mm]: one layer, or an
/// inner and an outer layer of different materials.
struct Construction {
    double pipeDiameter;
    Layer inner;
    std::optional<Layer> outer;
};

/// The conditions the construction works in.
struct Surroundings {
    double medium;      ///< T0, steam temperature, taken as the pipe wall's [℃]
    double ambient;     ///< Ta [℃]
    double wind;        ///< W [m/s]; below about 1 m/s enter 0 (still air)
    double emissivity;  ///< ε of the jacket, 0..1
};

/// A solved construction. With one layer the interface temperature is the surface temperature
/// and both conductivities are the layer's.
struct HeatLoss {
    double surfaceTemperature;    ///< Ts [℃]
    double interfaceTemperature;  ///< T1 [℃], the outer face of the inner layer
    double perMetre;              ///< q [W/m of pipe]
    double perSquareMetre;        ///< Q [W/m² of outer surface]
    double outerDiameter;         ///< D1 (one layer) or D2 [mm]
    double innerConductivity;     ///< λ1 at (T0 + T1)/2 [W/(m·K)]
    double outerConductivity;     ///< λ2 at (T1 + Ts)/2 [W/(m·K)]
    double surfaceCoefficient;    ///< αs at Ts [W/(m²·K)]
};

/// Ts and T1 are found to within this [℃].
inline constexpr double kTemperatureTolerance = 1e-6;

/// Heat loss of a construction, GB 50264-2013 5.4 (loss), 5.5 (surface temperature) and 5.6
/// (interface temperature), each λ at its layer's mean temperature and αs at Ts (5.8.4):
///     q = (T0 − T1)·2π λ1 / ln(D1/D0) = (T1 − Ts)·2π λ2 / ln(D2/D1) = (Ts − Ta)·π D2 αs,  Q = q/(π D2)
/// Refused, with the reason, for input with no finite answer: a medium not hotter than the air,
/// a diameter or thickness not above zero, a negative wind, ε outside 0..1, an own material
/// whose λ is not positive between Ta and T0, numbers that are not finite.
/// previous: the answer for nearly the same conditions (the steam a little warmer or colder), from which
/// the search starts, so that the sections of a pipe take two or three steps each.
Outcome<HeatLoss> solveHeatLoss(const Construction& construction, const Surroundings& surroundings,
                                const HeatLoss* previous = nullptr);

}  // namespace dorvent::insulation
