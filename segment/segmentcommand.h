#pragma once

#include <string>
#include <string_view>

#include "mainwin/steamstate.h"
#include "segment/guanduanjisuan.h"

namespace dorvent {

/// The texts the segment calculation reads at the click.
struct SegmentTexts {
    std::string dn;        // Combo3, only tested for presence
    std::string waijing;   // Combo4, outer diameter [mm]
    std::string bihou;     // Combo5, wall thickness [mm]
    std::string length;    // Text7 [m]
    std::string zeta;      // Text8, local resistance coefficient
    std::string beta;      // Text9, local heat-loss coefficient
    std::string phi;       // Text10, simultaneous-use coefficient
    std::string ambient;   // Text11 [℃]
    std::string heatLoss;  // Combo6, unit heat loss [kJ/(m·h·℃)]
    std::string drop;      // Text12, assumed temperature drop [℃/km]
    std::string flow;      // Text4 [t/h], not tested for presence
    std::string friction;  // Text6 [Pa/m], not tested for presence
};

/// The inputs as the calculation takes them: every text read as a number, the start state from
/// the evaluated steam state.
SegmentInput readSegmentInput(const SegmentTexts& texts, const SteamState& state);

/// The text of the segment result box: a request for the first missing input, the six result
/// lines, or why there are none. Works on the state of the main window.
std::string runSegmentCalculation(const SegmentTexts& texts, SteamState& state);

}  // namespace dorvent
