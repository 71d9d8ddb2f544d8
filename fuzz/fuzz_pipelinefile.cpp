// The pipeline file reader on arbitrary text: a document or one reason, never both. A document
// read is written, within the size the reader takes, and read back to the same document, and
// written again to the same text; the text has no exponent, "inf" or "nan" in it. A main of at most 50 segments and 5 km in all is
// also calculated (at most about 100 sections, well under a second): every result cell of a
// computed segment is a "0.000" number, says why there is no superheat, or is what a column of
// insulation or of the energy balance holds; in a series main nothing
// after a segment that did not compute is computed, in a network every pipe is a pipe of its tree
// computed from a computed node, or refused at one of its node cells; a network solved for its
// flows balances them at every node and meets its pressures, or computes nothing.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pipeline/loadcases.h"
#include "pipeline/networksolver.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "tests/shapes.h"

namespace {

using namespace dorvent;
using shapes::require;

bool shortEnoughToCalculate(const PipelineDocument& document)
{
    double length = 0;
    for (const PipelineSegment& s : document.segments) length += s.length ? std::fabs(*s.length) : 0;
    return document.segments.size() <= 50 && length <= 5000;
}

/// Whether a result cell holds what its column may: a "0.000" number, why there is no superheat,
/// a whole number of metres to saturation; nothing in the columns of insulation and of the energy
/// balance where they do not apply, "—" where no loss is allowed.
bool isResultCell(Column column, const std::string& text)
{
    if (shapes::shapeOf(text) == "#3") return true;
    if (column == Column::superheat) return text == "超临界" || text == "低于三相点";
    if (!isInsulationColumn(column) && !isBalanceColumn(column)) return false;
    if (text.empty() || (column == Column::allowedLoss && text == "—")) return true;
    return column == Column::saturationDistance && text.find_first_not_of("0123456789") == std::string::npos;
}

/// Every result cell of a computed segment what its column may hold; every other segment with
/// its message.
void checkCells(const PipelineDocument& document, const PipelineResult& result)
{
    for (std::size_t i = 0; i < result.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        require(run.status == SegmentStatus::computed || !run.message.empty());
        for (int c = static_cast<int>(kFirstResultColumn); run.status == SegmentStatus::computed && c < static_cast<int>(Column::remark); ++c)
            require(isResultCell(static_cast<Column>(c), cellText(document.segments[i], &run, static_cast<Column>(c))));
    }
    const std::string length = totalsText(result, Column::length);
    require(length.find("inf") == std::string::npos && length.find("nan") == std::string::npos);
}

/// A series main: nothing computes after a segment that did not, and the totals show only when
/// all computed.
void checkSeries(const PipelineDocument& document, const PipelineResult& result)
{
    bool stopped = !result.startMessage.empty();
    for (const SegmentRun& run : result.segments) {
        require(!stopped || run.status != SegmentStatus::computed);
        stopped = stopped || run.status != SegmentStatus::computed;
    }
    for (const Column c : {Column::pressureDrop, Column::temperatureDrop, Column::heatLossKw}) {
        const std::string text = totalsText(result, c);
        require(result.allComputed && !document.segments.empty() ? shapes::shapeOf(text) == "#3" : text.empty());
    }
}

/// A network: every pipe either a pipe of the tree, fed from the source or from a node that a
/// computed pipe of the tree feeds when it computed, or refused at one of its node cells; every
/// node fed at most once, and the critical consumer among the nodes.
void checkNetwork(const PipelineResult& result)
{
    for (std::size_t i = 0; i < result.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        if (!run.toNode || result.nodes[*run.toNode].feed != i) {  // not in the tree
            require(run.status == SegmentStatus::failed && (run.field == SegmentField::from || run.field == SegmentField::to));
            continue;
        }
        if (run.status != SegmentStatus::computed) continue;
        const NodeRun& from = result.nodes[*run.fromNode];
        require(from.computed && result.nodes[*run.toNode].computed);
        require(from.kind == NodeKind::source || (from.feed && result.segments[*from.feed].status == SegmentStatus::computed));
    }
    require(!result.critical || *result.critical < result.nodes.size());
}

/// A network solved for its flows: where it says it is solved, the flows balance at every node
/// and every computed pipe ends at its node's pressure; where it says not, nothing is computed.
void checkSolved(const PipelineDocument& document, const PipelineResult& result)
{
    if (!result.solve->converged) {
        require(!result.solve->message.empty());
        for (const NodeRun& node : result.nodes) require(!node.computed);
        for (const SegmentRun& run : result.segments) require(run.status != SegmentStatus::computed);
        return;
    }
    std::vector<double> net(result.nodes.size(), 0.0);
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        if (!run.flow || !run.fromNode || !run.toNode) continue;
        // The run's nodes are in the direction of its steam; its flow is signed by the typed one.
        const double G = std::fabs(*run.flow);
        net[*run.fromNode] -= G;
        net[*run.toNode] += G;
        if (run.status == SegmentStatus::computed) require(std::fabs(run.pend - result.nodes[*run.toNode].p) <= kPressureTolerance);
    }
    for (const NetworkNode& node : document.nodes) {
        const auto it = std::find_if(result.nodes.begin(), result.nodes.end(), [&node](const NodeRun& n) { return n.name == node.name; });
        if (it != result.nodes.end()) net[static_cast<std::size_t>(it - result.nodes.begin())] -= node.demand.value_or(0);
    }
    for (const SourceRun& source : result.sources) net[source.node] += source.flow;
    for (std::size_t n = 0; n < net.size(); ++n) {
        if (result.nodes[n].message != "没有定压热源与该节点相连") require(std::fabs(net[n]) <= 1e-6 * std::max(1.0, result.totals.demand));
    }
}

void checkCalculation(const PipelineDocument& document)
{
    const PipelineResult result = calculatePipeline(document);
    require(result.segments.size() == document.segments.size());
    checkCells(document, result);
    if (result.solve) {
        checkSolved(document, result);
    } else {
        result.network ? checkNetwork(result) : checkSeries(document, result);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const PipelineFileRead read = readPipelineFile(std::string_view(reinterpret_cast<const char*>(bytes), size));
    require(read.document.has_value() != !read.error.empty());
    if (!read.document) return 0;

    const std::string written = writePipelineFile(*read.document);
    require(written.size() <= kMostFileBytes);
    const PipelineFileRead again = readPipelineFile(written);
    require(again.document && *again.document == *read.document);
    require(writePipelineFile(*again.document) == written && shapes::hasPlainNumbersOnly(written));

    if (!shortEnoughToCalculate(*read.document)) return 0;
    // Every case (the first three), each as the network computed alone with its source and demands.
    for (std::size_t k = 0; k < std::min<std::size_t>(caseCount(*read.document), 3); ++k) {
        checkCalculation(documentForCase(*read.document, k).document);
    }
    return 0;
}
