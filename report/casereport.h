#pragma once

// What the report adds for a document with several load cases (工况): the cases with their
// sources and factors, the comparison of every consumer and pipe over the cases with the worst
// of each quantity in bold, and the critical consumer of each case and of all.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"
#include "report/pagedlayout.h"

namespace dorvent {

struct CaseSection {
    QString introduction;     ///< what the cases are and how the comparison reads
    PageTable cases;          ///< a row per case: its source and factor
    QStringList critical;     ///< the critical consumer of each case and of all
    PageTable consumers;      ///< the consumers in every case
    PageTable pipes;          ///< the pipes in every case
    std::vector<PipelineResult> results;  ///< of every case, the design case first
};

/// None for a document of the design case alone, whose report stays as it was.
std::optional<CaseSection> caseSection(const PipelineDocument& document);

}  // namespace dorvent
