#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

#include "pipeline/pipelinecalc.h"

namespace dorvent {

/// Where a node of a network stands in its schematic, in columns and rows.
struct TreePlace {
    double column;  ///< its depth in its band: 0 for the band's first node, one more for every pipe
    double row;
};

/// The tidy layout of a network's tree (of each source's, one below the other, in a network of
/// several): the source on the left, every pipe one column to the
/// right of the node it leaves; the ends of the tree one row each, siblings in table order, and
/// a node that feeds others level with the middle of its first and last one. A subtree so takes
/// rows of its own, and no two lines cross.
///
/// A deep tree is folded into bands, one below the other: a node that feeds others and would
/// stand further right than the band's columns ends its band there, as an end of a line (its
/// stub), and begins a band of its own below, in the column of the source. The bands share no
/// line, so none can cross.
struct TreeLayout {
    /// Of every node the tree reaches, in the order of result.nodes; a node that begins a band
    /// stands there.
    std::vector<std::optional<TreePlace>> places;
    /// Of every node that begins a band but the source: where it ends the band before.
    std::vector<std::optional<TreePlace>> stubs;
};

/// Walks without recursion, however deep the tree.
TreeLayout layOutTree(const PipelineResult& result, std::size_t columns = std::numeric_limits<std::size_t>::max());

/// The nodes that each node feeds through the pipes of the tree, in table order.
std::vector<std::vector<std::size_t>> childrenOf(const PipelineResult& result);

}  // namespace dorvent
