// The pipeline file reader on arbitrary text: a document or one reason, never both. A document
// read is written, within the size the reader takes, and read back to the same document, and
// written again to the same text; the text has no exponent, "inf" or "nan" in it. A main of at most 50 segments and 5 km in all is
// also calculated (at most about 100 sections, well under a second): every result cell of a
// computed segment is a "0.000" number, says why there is no superheat, or is what a column of
// insulation or of the energy balance holds; in a series main nothing
// after a segment that did not compute is computed, in a network every pipe is a pipe of its tree
// computed from a computed node, or refused at one of its node cells.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "tests/shapes.h"

namespace {

bool shortEnoughToCalculate(const dorvent::PipelineDocument& document)
{
    double length = 0;
    for (const dorvent::PipelineSegment& s : document.segments) length += s.length ? std::fabs(*s.length) : 0;
    return document.segments.size() <= 50 && length <= 5000;
}

/// Whether a result cell holds what its column may: a "0.000" number, why there is no superheat,
/// a whole number of metres to saturation; nothing in the columns of insulation and of the energy
/// balance where they do not apply, "—" where no loss is allowed.
bool isResultCell(dorvent::Column column, const std::string& text)
{
    using dorvent::Column;
    if (dorvent::shapes::shapeOf(text) == "#3") return true;
    if (column == Column::superheat) return text == "超临界" || text == "低于三相点";
    if (!dorvent::isInsulationColumn(column) && !dorvent::isBalanceColumn(column)) return false;
    if (text.empty() || (column == Column::allowedLoss && text == "—")) return true;
    return column == Column::saturationDistance && text.find_first_not_of("0123456789") == std::string::npos;
}

/// Every result cell of a computed segment what its column may hold; every other segment with
/// its message.
void checkCells(const dorvent::PipelineDocument& document, const dorvent::PipelineResult& result)
{
    using dorvent::Column;
    for (std::size_t i = 0; i < result.segments.size(); ++i) {
        const dorvent::SegmentRun& run = result.segments[i];
        if (run.status != dorvent::SegmentStatus::computed) {
            dorvent::shapes::require(!run.message.empty());
            continue;
        }
        for (int c = static_cast<int>(dorvent::kFirstResultColumn); c < static_cast<int>(Column::remark); ++c) {
            const auto column = static_cast<Column>(c);
            dorvent::shapes::require(isResultCell(column, dorvent::cellText(document.segments[i], &run, column)));
        }
    }
    const std::string length = dorvent::totalsText(result, Column::length);
    dorvent::shapes::require(length.find("inf") == std::string::npos && length.find("nan") == std::string::npos);
}

/// A series main: nothing computes after a segment that did not, and the totals show only when
/// all computed.
void checkSeries(const dorvent::PipelineDocument& document, const dorvent::PipelineResult& result)
{
    using dorvent::Column;
    bool stopped = !result.startMessage.empty();
    for (const dorvent::SegmentRun& run : result.segments) {
        dorvent::shapes::require(!stopped || run.status != dorvent::SegmentStatus::computed);
        stopped = stopped || run.status != dorvent::SegmentStatus::computed;
    }
    for (const Column c : {Column::pressureDrop, Column::temperatureDrop, Column::heatLossKw}) {
        const std::string text = dorvent::totalsText(result, c);
        const bool shown = result.allComputed && !document.segments.empty();
        dorvent::shapes::require(shown ? dorvent::shapes::shapeOf(text) == "#3" : text.empty());
    }
}

/// A network: every pipe either a pipe of the tree, fed from the source or from a node that a
/// computed pipe of the tree feeds when it computed, or refused at one of its node cells; every
/// node fed at most once, and the critical consumer among the nodes.
void checkNetwork(const dorvent::PipelineResult& result)
{
    using dorvent::SegmentField;
    for (std::size_t i = 0; i < result.segments.size(); ++i) {
        const dorvent::SegmentRun& run = result.segments[i];
        const bool inTree = run.toNode && result.nodes[*run.toNode].feed == i;
        if (!inTree) {
            dorvent::shapes::require(run.status == dorvent::SegmentStatus::failed &&
                                     (run.field == SegmentField::from || run.field == SegmentField::to));
            continue;
        }
        if (run.status != dorvent::SegmentStatus::computed) continue;
        const dorvent::NodeRun& from = result.nodes[*run.fromNode];
        dorvent::shapes::require(from.computed);
        dorvent::shapes::require(from.kind == dorvent::NodeKind::source ||
                                 (from.feed && result.segments[*from.feed].status == dorvent::SegmentStatus::computed));
        dorvent::shapes::require(result.nodes[*run.toNode].computed);
    }
    dorvent::shapes::require(!result.critical || *result.critical < result.nodes.size());
}

void checkCalculation(const dorvent::PipelineDocument& document)
{
    const dorvent::PipelineResult result = dorvent::calculatePipeline(document);
    dorvent::shapes::require(result.segments.size() == document.segments.size());
    checkCells(document, result);
    if (result.network) {
        checkNetwork(result);
    } else {
        checkSeries(document, result);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const dorvent::PipelineFileRead read =
        dorvent::readPipelineFile(std::string_view(reinterpret_cast<const char*>(bytes), size));
    if (read.document.has_value() == !read.error.empty()) std::abort();
    if (!read.document) return 0;

    const std::string written = dorvent::writePipelineFile(*read.document);
    if (written.size() > dorvent::kMostFileBytes) std::abort();
    const dorvent::PipelineFileRead again = dorvent::readPipelineFile(written);
    if (!again.document || *again.document != *read.document) std::abort();
    if (dorvent::writePipelineFile(*again.document) != written || !dorvent::shapes::hasPlainNumbersOnly(written)) std::abort();

    if (shortEnoughToCalculate(*read.document)) checkCalculation(*read.document);
    return 0;
}
