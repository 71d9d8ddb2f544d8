#pragma once

// The load cases as a table: a row per case, the design case first, and each consumer's demand
// in a case as the node table shows it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "pipeline/pipelinedocument.h"

namespace dorvent {

enum class CaseColumn { name, pressure, temperature, factor };
inline constexpr int kCaseColumnCount = static_cast<int>(CaseColumn::factor) + 1;

/// Header of a column with the document's unit: "起点压力(MPa)".
std::string caseColumnTitle(const PipelineDocument& document, CaseColumn column);

/// The text of a case's cell: its name, and its numbers as typed (the design case's source is the
/// header's, its factor 1); empty where the case takes the design source's.
std::string caseCellText(const PipelineDocument& document, std::size_t index, CaseColumn column);
/// Whether the cell takes typing: every cell but the design case's factor.
bool isCaseEditable(std::size_t index, CaseColumn column);
/// Puts a typed text into a case's cell: a name that no other case has (trimmed, not empty, at
/// most as long as a node's); a number cell takes what a segment's does. False where refused.
bool setCaseCellText(PipelineDocument& document, std::size_t index, CaseColumn column, std::string_view text);
/// Why a number cell holds no number, for its mark; empty when it does.
std::string caseCellProblem(const PipelineDocument& document, std::size_t index, CaseColumn column);

/// A consumer's demand typed for a case after the design case; empty where it takes the design
/// demand times the factor.
std::string caseDemandText(const PipelineDocument& document, std::size_t index, const std::string& node);
/// The demand [t/h] a consumer has in a case: typed, or the design demand times the factor; none
/// where neither is a number.
std::optional<double> caseDemand(const PipelineDocument& document, std::size_t index, const std::string& node);
/// Types a consumer's demand for a case after the design case; the empty text takes the design
/// demand times the factor again.
bool setCaseDemandText(PipelineDocument& document, std::size_t index, const std::string& node, std::string_view text);

}  // namespace dorvent
