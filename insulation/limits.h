#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "insulation/allowedloss.h"
#include "insulation/heatloss.h"

namespace dorvent::insulation {

/// The highest surface temperature GB 50264-2013 5.1.1 allows: 50 ℃ where the ambient is at most
/// 25 ℃, else the ambient + 25 ℃.
double surfaceTemperatureLimit(double ambient);

/// What a construction is checked against. Both may be typed; codeLimits gives the code's.
struct Limits {
    double surfaceTemperature;          ///< [℃]
    std::optional<double> allowedLoss;  ///< Q [W/m²]; none: not checked
};
Limits codeLimits(const Surroundings& surroundings, Operation operation);

/// A solved construction checked against the limits and its materials.
struct Findings {
    bool surfaceTooHot = false;       ///< Ts above the surface limit
    bool lossTooHigh = false;         ///< Q above the allowed loss
    bool lossUnchecked = false;       ///< no allowed loss to check Q against
    bool innerLayerTooHot = false;    ///< T0 above the inner material's limit
    bool outerLayerTooHot = false;    ///< T1 above the outer material's limit
    bool interfaceTooHot = false;     ///< T1 above 0.9 of the outer material's limit (5.6.3)

    bool anyBroken() const
    {
        return surfaceTooHot || lossTooHigh || innerLayerTooHot || outerLayerTooHot || interfaceTooHot;
    }
};
Findings checkLimits(const Construction& construction, const Surroundings& surroundings, const HeatLoss& loss,
                     const Limits& limits);

/// The findings as the window shows them, one sentence each.
std::vector<std::string_view> findingTexts(const Findings& findings);

}  // namespace dorvent::insulation
