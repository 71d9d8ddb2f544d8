#pragma once

// 工况对比: what each consumer gets and each pipe carries in every case, side by side, with the
// worst case of each quantity marked; the same table in the window, the report and the CSV.

#include <string>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// A table of texts: a row per consumer (or pipe) and case, grouped by consumer. worst marks the
/// cells of the case that is worst for its quantity among the cases of the same consumer; where a
/// case gives no value that another gives (no steam arrives, the pipe does not compute), its
/// remark instead.
struct ComparisonTable {
    std::vector<std::string> header;  ///< titles with units: "压力(MPa)"
    std::vector<std::vector<std::string>> rows;
    std::vector<std::vector<bool>> worst;
    std::vector<bool> groupStart;     ///< the row begins a consumer's (or pipe's) rows
};

/// Per consumer (the ends of the tree and every node with a demand or a requirement): its demand,
/// pressure, temperature, superheat, dryness (under 按焓平衡), margins and remark in each case. The
/// lowest pressure, temperature, superheat, dryness and margins are the worst.
ComparisonTable consumerComparison(const PipelineDocument& document, const std::vector<PipelineResult>& results);

/// Per pipe: its flow, start velocity, pressure drop, end temperature and superheat, and its
/// warnings in each case. The highest velocity and drop, the lowest temperature and superheat are
/// the worst.
ComparisonTable pipeComparison(const PipelineDocument& document, const std::vector<PipelineResult>& results);

/// The critical consumer of each case, one line each ("设计工况：制药厂，压力 1.003 MPa，压力裕量
/// 0.003 MPa"), then the one over all cases ("全部工况：…"): the first consumer that gets no steam
/// in some case, else the least pressure margin, else the least pressure.
std::vector<std::string> criticalLines(const PipelineDocument& document, const std::vector<PipelineResult>& results);

/// Both tables as CSV (RFC 4180, CR LF), one after the other with a blank line between.
std::string csvComparison(const PipelineDocument& document, const std::vector<PipelineResult>& results);

}  // namespace dorvent
