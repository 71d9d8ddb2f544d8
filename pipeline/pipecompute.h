#pragma once

// One pipe of a main or a network, computed from the state at its start: the work that the
// series walk and the network walk share, so that a path through a network gives the numbers of
// a series main of the same pipes to the last digit.

#include <optional>
#include <string>

#include "mainwin/steamstate.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

inline constexpr double kCelsiusZero = 273.15;  // K

/// The flow a pipe carries: typed, or summed from downstream; when there is none, why.
struct PipeFlow {
    std::optional<double> value;
    bool summed = false;
    std::string missing = "请输入蒸汽流量";
    std::string shortNote{};  ///< a typed flow below what leaves its end node: the flow leaving
};

/// Computes one pipe of the document from state with the segment calculation of the main window,
/// its first friction guess that of its pipe for its flow at its start density; an insulated pipe
/// loses in each section what its construction loses at the section's mean temperature. On
/// success state becomes its end state, read as the main window reads a typed state.
/// lengthBefore: of the pipes computed before it [m], which with it may not pass 1000 km.
SegmentRun computePipe(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                       SteamState& state, double lengthBefore);

/// Evaluates a document's start state into state as the main window evaluates its steam
/// parameters; empty when it is superheated steam, else why it cannot be used.
std::string startStateOf(const PipelineDocument& document, SteamState& state);

/// Appends the section ends of a computed segment to a profile that ends where the segment
/// starts, and the distance of its end to joints.
void appendSections(std::vector<ProfilePoint>& profile, std::vector<double>& joints, const SegmentRun& run);

/// The saturation temperature at p [MPa], in ℃; none above the critical pressure or below the
/// triple point.
std::optional<double> saturationCelsius(double p);

}  // namespace dorvent
