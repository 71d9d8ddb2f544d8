#include "pipeline/pipelinecalc.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"
#include "pipeline/networkcalc.h"
#include "pipeline/pipecompute.h"
#include "refwin/resunshibiao.h"

namespace dorvent {
namespace {

constexpr std::string_view kAfterFailureMessage = "未计算：前面的管段未算出";
constexpr std::string_view kNoStartMessage = "未计算：起点状态不能计算";

/// One segment after the other, each from the end state of the one before; a failed segment
/// stops the ones after it.
PipelineResult calculateSeries(const PipelineDocument& document)
{
    PipelineResult result;
    PipeStart start;
    result.startMessage = startOf(document, start);
    const bool started = result.startMessage.empty();
    if (started) result.profile.push_back({0.0, start.state.p, start.state.tsheshidu, saturationCelsius(start.state.p)});
    for (const PipelineSegment& s : document.segments) {
        SegmentRun run;
        if (!started) {
            run.message = kNoStartMessage;
        } else if (result.segments.empty() || result.segments.back().status == SegmentStatus::computed) {
            run = computePipeByLaw(document, s, {.value = s.flow}, start, result.totals.length);
        } else {
            run.message = kAfterFailureMessage;
        }
        if (run.status == SegmentStatus::computed) {
            result.totals.length += *s.length;
            result.totals.pressureDrop += run.pressureDrop;
            result.totals.temperatureDrop += run.temperatureDrop;
            result.totals.heatLossKw += run.heatLossKw;
            addCondensate(result.totals, run);
            appendSections(result.profile, result.joints, run);
        }
        result.segments.push_back(std::move(run));
    }
    result.allComputed = std::all_of(result.segments.begin(), result.segments.end(),
                                      [](const SegmentRun& run) { return run.status == SegmentStatus::computed; });
    if (!result.allComputed) result.totals = {.length = result.totals.length};
    return result;
}

/// The table column of a steam temperature [℃]; 0 above the table.
int bandColumn(double t)
{
    if (t <= 200) return kFirstBandColumn;
    if (t <= 300) return kFirstBandColumn + 1;
    if (t <= 350) return kLastBandColumn;
    return 0;
}

}  // namespace

PipelineResult calculatePipeline(const PipelineDocument& document)
{
    return isNetwork(document) ? calculateNetwork(document) : calculateSeries(document);
}

std::vector<std::size_t> pathTo(const PipelineResult& result, std::optional<std::size_t> node)
{
    std::vector<std::size_t> path;
    if (!result.network) {
        for (std::size_t i = 0; i < result.segments.size(); ++i) path.push_back(i);
        return path;
    }
    // Up from the node, one feeding segment after the other; a tree, so it ends at the source.
    std::optional<std::size_t> at = node;
    while (at && *at < result.nodes.size() && result.nodes[*at].feed && path.size() < result.segments.size()) {
        const std::size_t segment = *result.nodes[*at].feed;
        path.push_back(segment);
        at = result.segments[segment].fromNode;
    }
    std::reverse(path.begin(), path.end());
    return path;
}

std::pair<std::vector<ProfilePoint>, std::vector<double>> profileAlong(const PipelineResult& result,
                                                                       const std::vector<std::size_t>& path)
{
    std::vector<ProfilePoint> profile;
    std::vector<double> joints;
    for (const std::size_t i : path) {
        const SegmentRun& run = result.segments[i];
        if (run.status != SegmentStatus::computed) break;
        if (profile.empty()) {
            profile.push_back({0.0, run.p0, run.t0, saturationCelsius(run.p0)});
        } else if (result.solve && (profile.back().p != run.p0 || profile.back().t != run.t0)) {
            // Where steams meet, the node's mixture: a step at the node, not a slope along the pipe.
            profile.push_back({profile.back().distance, run.p0, run.t0, saturationCelsius(run.p0)});
        }
        appendSections(profile, joints, run);
    }
    return {profile, joints};
}

bool insulationLimitsMet(const PipelineResult& result)
{
    return std::none_of(result.segments.begin(), result.segments.end(),
                        [](const SegmentRun& run) { return run.insulation && !run.insulation->warnings.empty(); });
}

std::optional<double> tableHeatLoss(int dn, HeatLossSource laying, double t)
{
    const int method = static_cast<int>(laying);
    const int column = bandColumn(t);
    if (dn <= 0 || method < 1 || method > kLayingMethods || column == 0) return std::nullopt;
    for (int row = 1; row <= kHeatLossRows; ++row) {
        if (resunshi(method, row, 1) >= static_cast<float>(dn)) {
            // As the heat-loss window hands it to the main window: its shortest text, read.
            return readNumber(formatShortest(resunshi(method, row, column)));
        }
    }
    return std::nullopt;
}

}  // namespace dorvent
