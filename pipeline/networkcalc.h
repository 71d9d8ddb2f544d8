#pragma once

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// Computes a network: the pipes form a tree fed from the one node that no pipe feeds. A pipe
/// whose flow is not typed carries the demand of its end node and the flows of the pipes that
/// leave that node. Every pipe starts in the state of the node it leaves (the source in the start
/// state) and is computed as a segment of a series main; a failed pipe stops its own subtree only.
/// Pipes that break the tree are refused at the cell that breaks it, and the rest is computed.
PipelineResult calculateNetwork(const PipelineDocument& document);

}  // namespace dorvent
