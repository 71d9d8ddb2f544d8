#pragma once

// A pipe computed by its energy balance: the state (p, h) marched section by section, the
// temperature T(p, h) from IF97. Unlike the heat-loss law of the segment calculation, this law
// keeps the throttling cooling of superheated steam as its pressure falls, and it goes on past
// saturation into wet steam (homogeneous flow), down to a lowest dryness.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "segment/guanduanjisuan.h"

namespace dorvent {

inline constexpr std::string_view kStartOutsideRegionsMessage = "管段起点蒸汽状态超出IF97过热蒸汽区和湿蒸汽区的范围，不能计算";

/// Where the pipe ends and what it lost and formed on the way.
struct BalanceResult {
    double pend = 0;        ///< end pressure [MPa]
    double Tend = 0;        ///< end temperature [K]; the saturation temperature when wet
    double hend = 0;        ///< end enthalpy [kJ/kg]
    double dryness = 1;     ///< at the end; 1 for superheated steam
    double Qsum = 0;        ///< heat loss [kJ/h]
    double dTsum = 0;       ///< temperature drop [K]
    double dTkm = 0;        ///< temperature drop per km of the entered length [K/km]
    double Rmean = 0;       ///< mean specific friction loss [Pa/m]
    double condensate = 0;  ///< condensate formed in the pipe [t/h]: G (x at the start − x at the end)
    /// Distance from the start [m] where steam that entered superheated becomes saturated.
    std::optional<double> saturationDistance{};
};

/// The state at the end of one section, for a profile along the pipe.
struct BalanceSection {
    double x;        ///< distance from the start of the pipe [m]
    double p;        ///< [MPa]
    double T;        ///< [K]
    double dryness;  ///< 1 for superheated steam
};

/// A result, or the reason there is none (failure not empty).
struct BalanceOutcome {
    BalanceResult result;
    std::string failure;
};

/// Computes the pipe of in from the start pressure in.p0 and start enthalpy h0 [kJ/kg] (in.T0 is
/// not used), in the sections and with the friction law and tolerances of the segment
/// calculation. Heat lost in a section is taken at its mean steam temperature and lowers h at
/// constant flow. The calculation stops, saying where, when the dryness falls below
/// lowestDryness. With a trace, the end of every section is appended to it.
BalanceOutcome energyBalance(const SegmentInput& in, double h0, double lowestDryness,
                             std::vector<BalanceSection>* trace = nullptr);

}  // namespace dorvent
