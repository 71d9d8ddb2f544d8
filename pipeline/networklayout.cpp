#include "pipeline/networklayout.h"

#include <algorithm>
#include <deque>

#include "numtext/decimalsum.h"
#include "numtext/formatnumber.h"

namespace dorvent {
namespace {

std::string quoted(const std::string& name) { return "“" + name + "”"; }

}  // namespace

NetworkLayout::NetworkLayout(const PipelineDocument& document)
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
            if (!fault) fault = {SegmentField::from, "管网没有汽源：每个节点都有管段供汽"};
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
                fedTwice = true;
                faults[i] = {SegmentField::to, "节点" + quoted(names[to]) + "由多根管段供汽"};
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
        fedTwice = fedTwice || reached[to];
        faults[i] = reached[to] ? std::pair(SegmentField::to, "节点" + quoted(names[to]) + "由多根管段供汽")
                                : std::pair(SegmentField::from, "管段未与汽源" + quoted(names[*source]) + "相连");
    }
}

/// What leaves a node: its demand and the flows of the pipes leaving it, added as decimals.
double leavingFlow(const NetworkNode* node, const std::vector<std::size_t>& below, const std::vector<PipeFlow>& flows)
{
    double sum = node != nullptr && node->demand ? *node->demand : 0.0;
    for (const std::size_t i : below) sum = addDecimals(sum, flows[i].value.value_or(0));
    return sum;
}

std::vector<PipeFlow> flowsOf(const PipelineDocument& document, const NetworkLayout& layout)
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
            flow.value = leavingFlow(node, below, flows);
            flow.summed = true;
        }
    }
    // A typed flow cannot be less than what leaves its end node: it is computed as typed, and said.
    for (const std::size_t i : layout.order) {
        const PipelineSegment& s = document.segments[i];
        if (!s.flow) continue;
        const std::size_t to = *layout.indexOf(s.to);
        const NetworkNode* node = layout.data[to];
        const std::vector<std::size_t>& below = layout.leaving[to];
        const bool known = (node == nullptr || node->notNumbers.count("demand") == 0) &&
                           std::all_of(below.begin(), below.end(), [&flows](std::size_t j) { return flows[j].value.has_value(); });
        if (!known) continue;
        const double leaving = leavingFlow(node, below, flows);
        if (*s.flow < leaving) {
            flows[i].shortNote = "流量 " + formatShortest(*s.flow) + " t/h 小于节点" + quoted(s.to) + "流出的 " +
                                 formatShortest(leaving) + " t/h";
        }
    }
    return flows;
}

}  // namespace dorvent
