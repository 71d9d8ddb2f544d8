#pragma once

// The command line's and the exports' texts of a document with several load cases: each case's
// own text under its name, and the CSV tables with the case as their first column.

#include <string>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// Each case's result lines under a line "【工况】name", then, for several, the comparison: the
/// critical consumer of each case and over all cases. A document of the design case alone gives
/// resultLines alone. which: the case of each result; none: every case in order.
std::string casesLines(const PipelineDocument& document, const std::vector<PipelineResult>& results,
                       const std::vector<std::size_t>& which = {});

/// The pipe table (nodes false) or the node table as CSV, a row per case and pipe (or node), the
/// case's name in a first column "工况". A document of the design case alone gives csvTable or
/// csvNodes alone.
std::string casesCsv(const PipelineDocument& document, const std::vector<PipelineResult>& results, bool nodes,
                     const std::vector<std::size_t>& which = {});

}  // namespace dorvent
