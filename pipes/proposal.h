#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mainwin/steamstate.h"

namespace dorvent {

/// Permitted velocities [m/s] of a size class, both ends included.
struct VelocityBand {
    double lowest;
    double highest;

    bool operator==(const VelocityBand&) const = default;
};

/// The band of the size class of nominal diameter dn [mm]: above 200, 100 to 200, below 100.
VelocityBand velocityBand(float dn);

/// The catalogue pipes proposed for a flow, as rows of the proposal list, and the message
/// to show after them (empty for none).
struct PipeProposal {
    std::vector<std::string> rows;
    std::string_view message;
};

/// Proposes the catalogue pipes whose velocity lies in the band of their size class for the
/// evaluated state and the flow text [t/h]; when none does, the nearest sizes at the edge of
/// the band. Refreshes birong, bihan and cp of the state.
PipeProposal proposePipeSizes(SteamState& state, std::string_view flowText);

/// The proposal for superheated steam (area 2 or 5) of density rho [kg/m3] and a flow text.
PipeProposal proposeForDensity(std::int16_t area, double rho, std::string_view flowText);

}  // namespace dorvent
