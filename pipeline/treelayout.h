#pragma once

#include <optional>
#include <vector>

#include "pipeline/pipelinecalc.h"

namespace dorvent {

/// Where a node of a network stands in its schematic, in columns and rows.
struct TreePlace {
    double column;  ///< its depth: 0 for the source, one more for every pipe
    double row;
};

/// The tidy layout of a network's tree: the source on the left, every pipe one column to the
/// right of the node it leaves; the ends of the tree one row each, siblings in table order, and
/// a node that feeds others level with the middle of its first and last one. A subtree so takes
/// rows of its own, and no two lines cross. The places are in the order of result.nodes; none for
/// a node that the tree does not reach. Walks without recursion, however deep the tree.
std::vector<std::optional<TreePlace>> layOutTree(const PipelineResult& result);

/// The nodes that each node feeds through the pipes of the tree, in table order.
std::vector<std::vector<std::size_t>> childrenOf(const PipelineResult& result);

}  // namespace dorvent
