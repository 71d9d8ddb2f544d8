#include "pipeline/networkcalc.h"

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <utility>

#include "numtext/decimalsum.h"
#include "pipeline/networklayout.h"
#include "pipeline/networksolver.h"
#include "pipeline/pipecompute.h"

namespace dorvent {
namespace {

constexpr std::string_view kNoStartMessage = "未计算：起点状态不能计算";
constexpr std::string_view kAfterFailureMessage = "未计算：上游管段未算出";

/// Wet steam arriving at a node: at its saturation temperature, so without superheat, and with
/// the water it carries.
void arrivesWet(const BalanceRun& fed, NodeRun& node)
{
    node.superheat = 0.0;
    node.dryness = fed.dryness;
    node.condensate = fed.water;
}

/// The state and the margins of every node.
void nodeResults(const PipelineDocument& document, const NetworkLayout& layout, PipelineResult& result,
                 const std::vector<std::optional<PipeStart>>& states)
{
    for (std::size_t n = 0; n < layout.names.size(); ++n) {
        NodeRun node{.name = layout.names[n], .feed = layout.feed[n]};
        node.kind = n == layout.source ? NodeKind::source : layout.leaving[n].empty() ? NodeKind::consumer : NodeKind::branch;
        if (states[n]) {
            node.computed = true;
            const SegmentRun* fed = node.feed ? &result.segments[*node.feed] : nullptr;
            node.p = fed != nullptr ? fed->pend : states[n]->state.p;
            node.t = fed != nullptr ? fed->tend : states[n]->state.tsheshidu;
            node.tsat = saturationCelsius(node.p);
            if (node.tsat) node.superheat = node.t - *node.tsat;
            if (fed != nullptr && fed->balance && fed->balance->dryness < 1) arrivesWet(*fed->balance, node);
            node.superheatShort = node.superheat && *node.superheat < document.superheatMargin;
            if (const NetworkNode* data = layout.data[n]) {
                if (data->requiredPressure) node.pressureMargin = node.p - *data->requiredPressure;
                if (data->requiredTemperature) node.temperatureMargin = node.t - *data->requiredTemperature;
            }
            node.pressureShort = node.pressureMargin && *node.pressureMargin < 0;
            node.temperatureShort = node.temperatureMargin && *node.temperatureMargin < 0;
        } else if (!node.feed && n != layout.source) {
            node.message = "未与汽源相连";
        } else if (!result.startMessage.empty()) {
            node.message = "起点状态不能计算";
        } else {
            const SegmentRun& fed = result.segments[*node.feed];
            node.message = fed.status == SegmentStatus::failed ? "管段 " + std::to_string(*node.feed + 1) + " 未能算出"
                                                                : "未计算";
        }
        result.nodes.push_back(std::move(node));
    }
}

/// The critical consumer (最不利用户) among the nodes that take steam (the ends of the tree, and
/// any node with a demand or requirements): the first that gets none, else the one with the least
/// pressure margin, else the one with the least pressure.
std::optional<std::size_t> criticalConsumer(const NetworkLayout& layout, const std::vector<NodeRun>& nodes)
{
    std::optional<std::size_t> least;
    const auto key = [](const NodeRun& node) {
        return std::pair(node.pressureMargin ? 0 : 1, node.pressureMargin.value_or(node.p));
    };
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        const NodeRun& node = nodes[n];
        const NetworkNode* data = layout.data[n];
        const bool takes = node.kind == NodeKind::consumer ||
                           (data != nullptr && (data->demand || data->requiredPressure || data->requiredTemperature));
        if (!takes || !node.feed) continue;
        if (!node.computed) return n;
        if (!least || key(node) < key(nodes[*least])) least = n;
    }
    return least;
}

}  // namespace

PipelineResult calculateNetwork(const PipelineDocument& document)
{
    const NetworkLayout layout(document);
    if (needsSolve(document, layout)) {
        PipelineResult result = solveNetwork(document, layout);
        if (result.solve->converged) result.critical = criticalConsumer(layout, result.nodes);
        std::tie(result.profile, result.joints) = profileAlong(result, pathTo(result, result.critical));
        return result;
    }
    PipelineResult result;
    result.network = true;
    const std::vector<PipeFlow> flows = flowsOf(document, layout);
    result.segments.resize(document.segments.size());
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        SegmentRun& run = result.segments[i];
        run.fromNode = layout.indexOf(document.segments[i].from);
        run.toNode = layout.indexOf(document.segments[i].to);
        if (layout.faults[i]) {
            run.status = SegmentStatus::failed;
            std::tie(run.field, run.message) = *layout.faults[i];
            if (result.topologyMessage.empty() && !isBlank(document.segments[i])) result.topologyMessage = "管段 " + std::to_string(i + 1) + "：" + run.message;
        }
    }

    std::vector<std::optional<PipeStart>> states(layout.names.size());
    PipeStart start;
    result.startMessage = startOf(document, start);
    if (result.startMessage.empty() && layout.source) states[*layout.source] = start;
    for (const std::size_t i : layout.order) {
        SegmentRun& run = result.segments[i];
        const PipelineSegment& s = document.segments[i];
        if (!states[*run.fromNode]) {
            run.message = result.startMessage.empty() ? kAfterFailureMessage : kNoStartMessage;
            run.flow = flows[i].value;
            run.flowSummed = flows[i].summed;
            run.flowNote = flows[i].shortNote;
            continue;
        }
        PipeStart state = *states[*run.fromNode];
        const std::optional<std::size_t> from = run.fromNode, to = run.toNode;
        run = computePipeByLaw(document, s, flows[i], state, result.totals.length);
        run.fromNode = from;
        run.toNode = to;
        run.flowNote = flows[i].shortNote;
        if (run.status != SegmentStatus::computed) continue;
        states[*to] = state;
        result.totals.length += *s.length;
        result.totals.heatLossKw += run.heatLossKw;
        addCondensate(result.totals, run);
    }

    result.allComputed = std::all_of(result.segments.begin(), result.segments.end(),
                                      [](const SegmentRun& run) { return run.status == SegmentStatus::computed; });
    nodeResults(document, layout, result, states);
    for (const NetworkNode* data : layout.data) {
        if (data != nullptr && data->demand) result.totals.demand = addDecimals(result.totals.demand, *data->demand);
    }
    if (layout.source) {
        double sum = 0;
        bool known = true;
        for (const std::size_t i : layout.leaving[*layout.source]) {
            known = known && flows[i].value;
            sum = addDecimals(sum, flows[i].value.value_or(0));
        }
        if (known && !layout.leaving[*layout.source].empty()) result.totals.sourceFlow = sum;
    }
    result.critical = criticalConsumer(layout, result.nodes);
    std::tie(result.profile, result.joints) = profileAlong(result, pathTo(result, result.critical));
    if (result.profile.empty() && result.startMessage.empty()) {
        result.profile.push_back({0.0, start.state.p, start.state.tsheshidu, saturationCelsius(start.state.p)});
    }
    return result;
}

}  // namespace dorvent
