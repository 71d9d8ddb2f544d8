#include "pipeline/treelayout.h"

#include <utility>

namespace dorvent {
namespace {

constexpr double kBandGap = 0.5;  // rows between one band and the next

}  // namespace

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

TreeLayout layOutTree(const PipelineResult& result, std::size_t columns)
{
    TreeLayout layout{std::vector<std::optional<TreePlace>>(result.nodes.size()),
                      std::vector<std::optional<TreePlace>>(result.nodes.size())};
    // A band for every source, the first on top; a tree's one source so stands alone.
    std::vector<std::size_t> bands;
    for (std::size_t n = result.nodes.size(); n-- > 0;) {
        if (result.nodes[n].kind == NodeKind::source && !result.nodes[n].feed) bands.push_back(n);
    }
    if (bands.empty()) return layout;
    const std::vector<std::vector<std::size_t>> children = childrenOf(result);

    double nextRow = 0;
    std::vector<std::size_t> depth(result.nodes.size(), 0);  // in its band
    std::vector<double> row(result.nodes.size(), 0);         // in the band being laid out
    while (!bands.empty()) {
        const std::size_t first = bands.back();
        bands.pop_back();
        depth[first] = 0;
        std::vector<std::size_t> cut;  // the nodes that end this band and begin one of their own
        // Depth first with a stack of (node, next child): a node is placed once all its children are.
        std::vector<std::pair<std::size_t, std::size_t>> stack{{first, 0}};
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            const std::vector<std::size_t>& below = children[node];
            const bool stub = node != first && depth[node] == columns && !below.empty();
            if (!stub && next < below.size()) {
                const std::size_t child = below[next++];
                depth[child] = depth[node] + 1;
                stack.emplace_back(child, 0);
                continue;
            }
            row[node] = stub || below.empty() ? nextRow++ : (row[below.front()] + row[below.back()]) / 2;
            const TreePlace place{static_cast<double>(depth[node]), row[node]};
            (stub ? layout.stubs : layout.places)[node] = place;
            if (stub) cut.push_back(node);
            stack.pop_back();
        }
        bands.insert(bands.end(), cut.rbegin(), cut.rend());  // the first cut next, as a band follows its stub
        nextRow += kBandGap;
    }
    return layout;
}

}  // namespace dorvent
