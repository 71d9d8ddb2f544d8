#pragma once

// Load cases (工况): the same network at another load. The design case is the document as typed;
// every other case is computed as the document with its source and demands put in.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

inline constexpr std::size_t kMostCases = 20;

/// The design case and the cases after it.
inline std::size_t caseCount(const PipelineDocument& document) { return 1 + document.cases.size(); }
const std::string& caseName(const PipelineDocument& document, std::size_t index);
/// The index of the case of that name, or caseCount when there is none.
std::size_t caseIndex(const PipelineDocument& document, std::string_view name);

/// A design demand or typed flow [t/h] times a case's factor, to nine decimals.
double scaledDemand(double value, double factor);

/// The factor of a case on the design demands: 1 for the design case and where none is typed.
double caseFactor(const PipelineDocument& document, std::size_t index);

/// The document as one case computes it: the case's source, each consumer's demand of the case
/// (typed, or the design demand times the factor, to nine decimals), typed flows times the
/// factor, and no other cases. problem says why the case cannot be computed (a factor that is
/// not above 0, a number that is none); the document then has no start pressure.
struct CaseDocument {
    PipelineDocument document;
    std::string problem;
};
CaseDocument documentForCase(const PipelineDocument& document, std::size_t index);

/// Whether the document has cases beyond the design case, or names that otherwise than
/// "设计工况": what only files of the newest version hold.
bool usesCases(const PipelineDocument& document);

/// One case computed: its document's result, its problem as the start message.
PipelineResult calculateCase(const PipelineDocument& document, std::size_t index);
/// Every case computed, in order; the first is calculatePipeline(document) itself.
std::vector<PipelineResult> calculateCases(const PipelineDocument& document);

/// A name for a new case that no case has: "工况2", "工况3", …; or base followed by "副本" for a copy.
std::string newCaseName(const PipelineDocument& document, std::string_view base = {});

/// Renames a node's demands in every case, as the node table renames the node.
void renameCaseDemands(PipelineDocument& document, const std::string& from, const std::string& to);

/// Whether every case of the results meets every requirement: every pipe computed, every node's
/// pressure, temperature and superheat.
bool allCasesMet(const std::vector<PipelineResult>& results);

}  // namespace dorvent
