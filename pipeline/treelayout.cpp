#include "pipeline/treelayout.h"

#include <utility>

namespace dorvent {

std::vector<std::vector<std::size_t>> childrenOf(const PipelineResult& result)
{
    std::vector<std::vector<std::size_t>> children(result.nodes.size());
    for (std::size_t i = 0; i < result.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        if (!run.fromNode || !run.toNode) continue;
        if (result.nodes[*run.toNode].feed == i) children[*run.fromNode].push_back(*run.toNode);
    }
    return children;
}

std::vector<std::optional<TreePlace>> layOutTree(const PipelineResult& result)
{
    std::vector<std::optional<TreePlace>> places(result.nodes.size());
    std::optional<std::size_t> source;
    for (std::size_t n = 0; n < result.nodes.size() && !source; ++n) {
        if (result.nodes[n].kind == NodeKind::source) source = n;
    }
    if (!source) return places;
    const std::vector<std::vector<std::size_t>> children = childrenOf(result);

    // Depth first with a stack of (node, next child): a node is placed once all its children are.
    double nextRow = 0;
    std::vector<std::pair<std::size_t, std::size_t>> stack{{*source, 0}};
    std::vector<double> depth(result.nodes.size(), 0);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        const std::vector<std::size_t>& below = children[node];
        if (next < below.size()) {
            const std::size_t child = below[next++];
            depth[child] = depth[node] + 1;
            stack.emplace_back(child, 0);
            continue;
        }
        const double row = below.empty() ? nextRow++ : (places[below.front()]->row + places[below.back()]->row) / 2;
        places[node] = TreePlace{depth[node], row};
        stack.pop_back();
    }
    return places;
}

}  // namespace dorvent
