#include "pipeline/networkcalc.h"

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <utility>

#include "pipeline/pipecompute.h"

namespace dorvent {
namespace {

constexpr std::string_view kNoStartMessage = "未计算：起点状态不能计算";
constexpr std::string_view kAfterFailureMessage = "未计算：上游管段未算出";

std::string quoted(const std::string& name) { return "“" + name + "”"; }

/// The tree the pipes form: every node fed by one pipe, all reached from the source. Pipes that
/// do not fit it keep why, at the cell that is to blame.
class Layout {
public:
    explicit Layout(const PipelineDocument& document);

    std::vector<std::string> names;                     // of the nodes, in the order the pipes name them
    std::optional<std::size_t> source;
    std::vector<std::size_t> order;                     // the pipes of the tree, each after the one feeding it
    std::vector<std::vector<std::size_t>> leaving;      // of each node: the pipes of the tree that leave it
    std::vector<std::optional<std::size_t>> feed;       // of each node: the pipe of the tree that feeds it
    std::vector<std::optional<std::pair<SegmentField, std::string>>> faults;  // of each pipe
    std::vector<const NetworkNode*> data;               // of each node: what the document holds for it

    std::optional<std::size_t> indexOf(const std::string& name) const
    {
        const auto it = index_.find(name);
        return it == index_.end() ? std::nullopt : std::optional(it->second);
    }

private:
    std::map<std::string, std::size_t, std::less<>> index_;
};

Layout::Layout(const PipelineDocument& document)
    : names(nodeNames(document)), leaving(names.size()), feed(names.size()), faults(document.segments.size()),
      data(names.size(), nullptr)
{
    for (std::size_t n = 0; n < names.size(); ++n) index_[names[n]] = n;
    for (const NetworkNode& node : document.nodes) {
        if (const auto n = indexOf(node.name)) data[*n] = &node;
    }
    const std::size_t count = document.segments.size();

    // Each pipe on its own: both ends named, and not the same.
    std::vector<std::vector<std::size_t>> from(names.size());  // every sound pipe that leaves a node
    std::vector<bool> fed(names.size(), false);
    for (std::size_t i = 0; i < count; ++i) {
        const PipelineSegment& s = document.segments[i];
        if (s.from.empty()) {
            faults[i] = {SegmentField::from, "请输入起点"};
        } else if (s.to.empty()) {
            faults[i] = {SegmentField::to, "请输入终点"};
        } else if (s.from == s.to) {
            faults[i] = {SegmentField::to, "管段的起点与终点相同"};
        } else {
            from[*indexOf(s.from)].push_back(i);
            fed[*indexOf(s.to)] = true;
        }
    }
    // The source: the node no pipe feeds that the first such pipe leaves.
    for (std::size_t i = 0; i < count && !source; ++i) {
        if (!faults[i] && !fed[*indexOf(document.segments[i].from)]) source = indexOf(document.segments[i].from);
    }
    if (!source) {
        for (auto& fault : faults) {
            if (!fault) fault = {SegmentField::from, "管网没有汽源：每个节点都有管段供汽（本程序只计算枝状管网）"};
        }
        return;
    }

    // Out from the source, breadth first and in table order, without recursion however deep.
    std::vector<bool> reached(names.size(), false), placed(count, false);
    reached[*source] = true;
    std::deque<std::size_t> queue{*source};
    while (!queue.empty()) {
        const std::size_t node = queue.front();
        queue.pop_front();
        for (const std::size_t i : from[node]) {
            placed[i] = true;
            const std::size_t to = *indexOf(document.segments[i].to);
            if (reached[to]) {
                faults[i] = {SegmentField::to, "节点" + quoted(names[to]) + "由多根管段供汽：本程序只计算枝状管网"};
                continue;
            }
            reached[to] = true;
            feed[to] = i;
            leaving[node].push_back(i);
            order.push_back(i);
            queue.push_back(to);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (faults[i] || placed[i]) continue;
        const std::size_t to = *indexOf(document.segments[i].to);
        faults[i] = reached[to] ? std::pair(SegmentField::to, "节点" + quoted(names[to]) + "由多根管段供汽：本程序只计算枝状管网")
                                : std::pair(SegmentField::from, "管段未与汽源" + quoted(names[*source]) + "相连");
    }
}

/// The flow of every pipe of the tree, from the ends towards the source: typed, or the demand of
/// its end node and the flows of the pipes leaving that node.
std::vector<PipeFlow> flowsOf(const PipelineDocument& document, const Layout& layout)
{
    std::vector<PipeFlow> flows(document.segments.size());
    for (auto it = layout.order.rbegin(); it != layout.order.rend(); ++it) {
        const PipelineSegment& s = document.segments[*it];
        PipeFlow& flow = flows[*it];
        if (s.flow) {
            flow.value = s.flow;
            continue;
        }
        const std::size_t to = *layout.indexOf(s.to);
        const NetworkNode* node = layout.data[to];
        const std::vector<std::size_t>& below = layout.leaving[to];
        if (node != nullptr && node->notNumbers.count("demand") != 0) {
            flow.missing = "节点" + quoted(s.to) + "的用汽量不是数值";
        } else if ((node == nullptr || !node->demand) && below.empty()) {
            flow.missing = "请输入蒸汽流量或节点" + quoted(s.to) + "的用汽量";
        } else if (std::any_of(below.begin(), below.end(), [&flows](std::size_t i) { return !flows[i].value; })) {
            flow.missing = "请输入蒸汽流量：节点" + quoted(s.to) + "下游的流量不全";
        } else {
            double sum = node != nullptr && node->demand ? *node->demand : 0.0;
            for (const std::size_t i : below) sum += *flows[i].value;
            flow.value = sum;
            flow.summed = true;
        }
    }
    return flows;
}

/// The state and the margins of every node.
void nodeResults(const PipelineDocument& document, const Layout& layout, PipelineResult& result,
                 const std::vector<std::optional<SteamState>>& states)
{
    for (std::size_t n = 0; n < layout.names.size(); ++n) {
        NodeRun node{.name = layout.names[n], .feed = layout.feed[n]};
        node.kind = n == layout.source ? NodeKind::source : layout.leaving[n].empty() ? NodeKind::consumer : NodeKind::branch;
        if (states[n]) {
            node.computed = true;
            const SegmentRun* fed = node.feed ? &result.segments[*node.feed] : nullptr;
            node.p = fed != nullptr ? fed->pend : states[n]->p;
            node.t = fed != nullptr ? fed->tend : states[n]->tsheshidu;
            node.tsat = saturationCelsius(node.p);
            if (node.tsat) node.superheat = node.t - *node.tsat;
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
std::optional<std::size_t> criticalConsumer(const Layout& layout, const std::vector<NodeRun>& nodes)
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
    PipelineResult result;
    result.network = true;
    const Layout layout(document);
    const std::vector<PipeFlow> flows = flowsOf(document, layout);
    result.segments.resize(document.segments.size());
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        SegmentRun& run = result.segments[i];
        run.fromNode = layout.indexOf(document.segments[i].from);
        run.toNode = layout.indexOf(document.segments[i].to);
        if (layout.faults[i]) {
            run.status = SegmentStatus::failed;
            std::tie(run.field, run.message) = *layout.faults[i];
            if (result.topologyMessage.empty()) result.topologyMessage = "管段 " + std::to_string(i + 1) + "：" + run.message;
        }
    }

    std::vector<std::optional<SteamState>> states(layout.names.size());
    SteamState start;
    result.startMessage = startStateOf(document, start);
    if (result.startMessage.empty() && layout.source) states[*layout.source] = start;
    for (const std::size_t i : layout.order) {
        SegmentRun& run = result.segments[i];
        const PipelineSegment& s = document.segments[i];
        if (!states[*run.fromNode]) {
            run.message = result.startMessage.empty() ? kAfterFailureMessage : kNoStartMessage;
            run.flow = flows[i].value;
            run.flowSummed = flows[i].summed;
            continue;
        }
        SteamState state = *states[*run.fromNode];
        const std::optional<std::size_t> from = run.fromNode, to = run.toNode;
        run = computePipe(s, flows[i], state, result.totals.length, document.superheatMargin);
        run.fromNode = from;
        run.toNode = to;
        if (run.status != SegmentStatus::computed) continue;
        states[*to] = state;
        result.totals.length += *s.length;
        result.totals.heatLossKw += run.heatLossKw;
    }

    result.allComputed = std::all_of(result.segments.begin(), result.segments.end(),
                                      [](const SegmentRun& run) { return run.status == SegmentStatus::computed; });
    nodeResults(document, layout, result, states);
    for (const NetworkNode* data : layout.data) {
        if (data != nullptr && data->demand) result.totals.demand += *data->demand;
    }
    if (layout.source) {
        double sum = 0;
        bool known = true;
        for (const std::size_t i : layout.leaving[*layout.source]) {
            known = known && flows[i].value;
            sum += flows[i].value.value_or(0);
        }
        if (known && !layout.leaving[*layout.source].empty()) result.totals.sourceFlow = sum;
    }
    result.critical = criticalConsumer(layout, result.nodes);
    std::tie(result.profile, result.joints) = profileAlong(result, pathTo(result, result.critical));
    if (result.profile.empty() && result.startMessage.empty()) {
        result.profile.push_back({0.0, start.p, start.tsheshidu, saturationCelsius(start.p)});
    }
    return result;
}

}  // namespace dorvent
