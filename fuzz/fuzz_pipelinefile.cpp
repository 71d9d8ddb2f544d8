// The pipeline file reader on arbitrary text: a document or one reason, never both. A document
// read is written, within the size the reader takes, and read back to the same document, and
// written again to the same text; the text has no exponent, "inf" or "nan" in it. A main of at most 50 segments and 5 km in all is
// also calculated (at most about 100 sections, well under a second): every result cell of a
// computed segment is a "0.000" number or says why there is no superheat, and nothing after a
// segment that did not compute is computed.

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

void checkCalculation(const dorvent::PipelineDocument& document)
{
    using dorvent::Column;
    const dorvent::PipelineResult result = dorvent::calculatePipeline(document);
    if (result.segments.size() != document.segments.size()) std::abort();
    bool stopped = !result.startMessage.empty();
    for (std::size_t i = 0; i < result.segments.size(); ++i) {
        const dorvent::SegmentRun& run = result.segments[i];
        if (run.status == dorvent::SegmentStatus::computed) {
            if (stopped) std::abort();
            for (int c = static_cast<int>(dorvent::kFirstResultColumn); c < static_cast<int>(Column::remark); ++c) {
                const std::string text = dorvent::cellText(document.segments[i], &run, static_cast<Column>(c));
                const bool noSuperheat = text == "超临界" || text == "低于三相点";
                if (dorvent::shapes::shapeOf(text) != "#3" && !noSuperheat) std::abort();
            }
        } else if (run.message.empty()) {
            std::abort();
        }
        stopped = stopped || run.status != dorvent::SegmentStatus::computed;
    }
    const std::string length = dorvent::totalsText(result, Column::length);
    if (length.find("inf") != std::string::npos || length.find("nan") != std::string::npos) std::abort();
    for (const Column c : {Column::pressureDrop, Column::temperatureDrop, Column::heatLossKw}) {
        const std::string text = dorvent::totalsText(result, c);
        const bool shown = result.allComputed && !result.segments.empty();
        if (shown ? dorvent::shapes::shapeOf(text) != "#3" : !text.empty()) std::abort();
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
