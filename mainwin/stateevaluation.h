#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "mainwin/steamstate.h"

namespace dorvent {

/// Names of the IF97 regions 1 to 5, as the state report writes them.
inline constexpr std::array<std::string_view, 5> quyumingcheng = {
    "温度低于350℃(623.15K)的不饱和水",
    "过热蒸汽",
    "临界点附近的水和蒸汽",
    "饱和线",
    "超高温过热蒸汽",
};

/// Evaluates the state at temperature t [K] and absolute pressure p [MPa]: checks the range,
/// classifies the state into a region and replaces report with the state report (lines joined
/// by "\r\n"). On success area receives the region code; out of range it is left untouched.
/// Updates the saturation and boundary values of state that lie in their own range.
void qiuzhuangtai(double t, double p, std::int16_t& area, std::string& report, SteamState& state);

/// The region code qiuzhuangtai finds for t [K] and p [MPa], with the same effect on the
/// boundary values of state, but without a report; region::none when out of range.
std::int16_t classifyState(double t, double p, SteamState& state);

/// Recomputes birong, bihan and cp of an evaluated superheated state (region 2 or 5) and
/// returns its density [kg/m3].
double refreshDensity(SteamState& state);

/// Appends the property lines of the state report for region code area at t [K], p [MPa].
void appendPropertySection(std::string& report, std::int16_t area, double t, double p);

}  // namespace dorvent
