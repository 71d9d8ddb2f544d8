#pragma once

// A network whose flows its demands alone do not give: pipes that close loops, several sources,
// pipes typed against the flow. Its pipe flows, node pressures and node temperatures are solved
// together; docs/network-solver.md gives the method and its tolerances.

#include "pipeline/networklayout.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// Below this a pipe carries no steam [t/h].
inline constexpr double kNoFlow = 1e-6;
/// A pipe that cannot be computed while its steam starts slower than this [m/s] is taken as
/// stagnant, as where the flows of two sources meet: its steam condenses, and it brings the node it
/// feeds condensate, not steam.
inline constexpr double kStagnantVelocity = 2.0;
/// The most the end pressure of a pipe may differ from the pressure of the node it feeds [MPa].
inline constexpr double kPressureTolerance = 1e-5;
/// A flow typed on a pipe of a solved network, refused at its cell.
inline constexpr std::string_view kTypedFlowMessage = "环状或多热源管网的管段流量由计算求得，请清空蒸汽流量";
/// The most calculations of every pipe before the solver gives up.
inline constexpr int kMostSolveIterations = 60;

/// Whether a network must be solved rather than computed pipe after pipe from its one source:
/// a node is marked as a source, a node is fed by more than one pipe, or no node is left unfed.
bool needsSolve(const PipelineDocument& document, const NetworkLayout& layout);

/// Solves the network: flows that balance at every node, each pipe computed by the document's
/// temperature law from the state of the node its steam leaves, each node's steam the mixture of
/// the steam arriving, and the pipes' end pressures meeting at each node within
/// kPressureTolerance. What cannot be solved has no results and says why. A tree fed from one
/// source solves to its pipe-after-pipe results.
PipelineResult solveNetwork(const PipelineDocument& document, const NetworkLayout& layout);

}  // namespace dorvent
