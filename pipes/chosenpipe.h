#pragma once

#include <string>
#include <string_view>

#include "mainwin/steamstate.h"

namespace dorvent {

/// The texts the check of a chosen pipe reads.
struct ChosenPipeTexts {
    std::string_view flow;     // Text4, t/h
    std::string_view dn;       // Combo3, e.g. "DN100"
    std::string_view waijing;  // Combo4, outer diameter in mm
    std::string_view bihou;    // Combo5, wall thickness in mm, picked or typed
};

/// What the check shows: the velocity and friction texts when it computed them, and the
/// message to show (empty for none). Texts not computed stay as the window shows them.
struct ChosenPipeResult {
    bool computed = false;
    std::string velocity{};  // Text5, "0.000" m/s
    std::string friction{};  // Text6, "0.000" Pa/m
    std::string_view message;
};

/// Velocity and specific friction loss of the chosen pipe for the evaluated state and flow.
/// Refreshes birong, bihan and cp of the state.
ChosenPipeResult evaluateChosenPipe(SteamState& state, const ChosenPipeTexts& texts);

/// The same check for superheated steam (area 2 or 5) of density rho [kg/m3].
ChosenPipeResult checkPipe(std::int16_t area, double rho, const ChosenPipeTexts& texts);

}  // namespace dorvent
