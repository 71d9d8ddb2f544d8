#pragma once

#include <string>
#include <string_view>

#include "mainwin/steamstate.h"

namespace dorvent {

/// The texts of the steam-parameter frame: pressure, its unit, temperature, its unit.
struct SteamInputTexts {
    std::string_view pressure;         // Text1
    std::string_view pressureUnit;     // Combo1: "MPa", "kPa", "kgf/cm2"
    std::string_view temperature;      // Text2
    std::string_view temperatureUnit;  // Combo2: "℃", "K"
};

/// Reads the steam parameters into state (p in MPa, t in K), evaluates the state and returns
/// the text of the report box. Runs on every change of the four texts.
std::string duqucanshu(const SteamInputTexts& texts, SteamState& state);

}  // namespace dorvent
