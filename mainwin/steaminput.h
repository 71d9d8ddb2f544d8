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

/// Steam parameters as numbers, each with its unit as the unit lists name it.
struct SteamParameters {
    double pressure;
    std::string_view pressureUnit;  // "MPa", "kPa", "kgf/cm2"
    double temperature;
    std::string_view temperatureUnit;  // "℃", "K"
};

/// Reads the steam parameters into state (p in MPa, t in K), evaluates the state and returns
/// the text of the report box. Runs on every change of the four texts.
std::string duqucanshu(const SteamInputTexts& texts, SteamState& state);

/// The same evaluation from numbers that have been read already: converts them to p [MPa] and
/// t [K] in state, evaluates the state and returns the report.
std::string evaluateSteamParameters(const SteamParameters& given, SteamState& state);

}  // namespace dorvent
