#pragma once

// The texts of automatic sizing: who cannot be served and why, the pipes left below their
// velocity band, and the sizing as the command line prints it.

#include <string>
#include <vector>

#include "pipeline/pipesizing.h"
#include "pipeline/sizingtrial.h"

namespace dorvent {

/// "管段 3“食品支线”", or "管段 3" without a label.
std::string pipeName(const PipelineDocument& document, std::size_t pipe);
/// "DN150", or the name of a pipe of one's own for 0.
std::string dnName(int dn);

/// Whether a pipe fails for its input, which no size mends: a text or a gap in an input, a
/// refused input.
bool isInputFault(const PipelineSegment& s, const SegmentRun& run);

/// Why the network cannot be served, as the trial at the largest sizes the pipes may take shows
/// it. What those sizes cannot give, no sizes can: a pressure short of its requirement, a sized
/// pipe too fast. Every other shortfall they show (a temperature, a superheat, a pipe that does
/// not compute) is said of those sizes only, as a fact to check.
struct UnservedReasons {
    std::vector<std::string> certain, other;
};
UnservedReasons reasonsAtLargest(const SizingTrial& trial);

/// The line on the sized pipes below their velocity band; empty when there are none.
std::string belowBandLine(const BelowBand& below);

/// The sizing as text for the command line: what it found, the pipes with their old and new DN,
/// the masses; or who cannot be served and why.
std::string sizingLines(const PipelineDocument& document, const SizingResult& result);

}  // namespace dorvent
