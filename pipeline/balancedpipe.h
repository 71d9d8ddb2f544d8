#pragma once

// One pipe computed by its energy balance (温降计算：按焓平衡): the same inputs, sections and
// friction law as the segment calculation, only the temperature law differs. Its end may be wet.

#include "pipeline/pipecompute.h"

namespace dorvent {

/// Computes one pipe of the document from start (p, h), wet or superheated, by energyBalance
/// down to the document's lowest dryness, and from the same start by the heat-loss law for the
/// comparison where that law computes it. On success start becomes its end: (p, h), and the state
/// read as the main window reads a typed one where the end is superheated.
SegmentRun computeBalancedPipe(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                               PipeStart& start, double lengthBefore);

}  // namespace dorvent
