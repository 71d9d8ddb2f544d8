#pragma once

// What the report adds for a document under 温降计算：按焓平衡: the energy balance in the method,
// each pipe's end temperature beside what the heat-loss law gives, and the drain points (疏水点):
// where the steam becomes saturated and how much condensate forms there and behind.

#include <QString>
#include <QStringList>

#include <optional>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"
#include "report/pagedlayout.h"

namespace dorvent {

struct WetSteamSection {
    QString method;           ///< the energy balance, one paragraph
    QString comparisonNote;   ///< what the comparison table holds
    PageTable comparison;     ///< every pipe's end temperature by both laws
    QStringList drainPoints;  ///< a line per pipe where the steam saturates, then the totals
};

/// None for a document under 按热损失, whose report stays as it was.
std::optional<WetSteamSection> wetSteamSection(const PipelineDocument& document, const PipelineResult& result);

/// The condensate formed in the pipe and in every pipe its steam goes on to [t/h], as far as they
/// computed: the water to drain at and behind its saturation point.
double condensateFromPipe(const PipelineResult& result, std::size_t pipe);

}  // namespace dorvent
