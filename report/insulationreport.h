#pragma once

// The report's section on insulation (保温计算): the method with its formulas, the constructions
// and their materials' λ, every insulated pipe at its start against its limits, and the thickness
// design where the document's prices allow one.

#include <QString>
#include <QStringList>

#include <optional>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"
#include "report/pagedlayout.h"

namespace dorvent {

struct InsulationSection {
    QString method;              ///< one paragraph
    PageTable constructions;
    PageTable materials;         ///< those the constructions use, with their λ
    PageTable pipes;             ///< every insulated pipe at its start
    QStringList warnings;        ///< the limits a pipe breaks, a line per pipe
    std::optional<PageTable> thickness;  ///< with the document's prices: least and economic thickness
    QStringList thicknessNotes;  ///< why there is no thickness design, or what it assumes
};

/// None for a document without an insulated pipe.
std::optional<InsulationSection> insulationSection(const PipelineDocument& document, const PipelineResult& result);

/// λ(tm) of a material as the report writes it: "0.043 + 1.5×10⁻⁴·(tm − 70)", with its pieces.
QString conductivityText(const PipelineDocument& document, const std::string& material);

}  // namespace dorvent
