#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace dorvent {

/// The square-law model of a network's hydraulics: every pipe drops S·G·|G| [MPa] for its flow G
/// [t/h], positive from its start node to its end node, and at every node but those held at a
/// fixed pressure the flows balance what leaves it.
///
/// A spanning forest is grown breadth first from the nodes held at a pressure; every other pipe
/// closes a loop, or joins the trees of two such nodes. Its flow is an unknown; the forest's flows
/// follow from them by the balance at each node, summed from the leaves, so that every flow the
/// model gives balances exactly. The pressures follow along the forest from its roots, and each
/// loop-closing pipe's residual is the difference between the pressures at its ends and its own
/// drop. Newton's method on the loop-closing flows (the Jacobian Cᵀ·D·C of the loop incidence C
/// and the square law's derivative D = 2·S·|G|) brings the residuals to nothing.
class LoopModel {
public:
    struct Ends {
        std::size_t from, to;  ///< node indices
    };

    /// pipes: by index, the nodes a sound pipe joins, none for a pipe left out; fixed: by node, the
    /// pressure [MPa] it is held at, if any.
    LoopModel(std::vector<std::optional<Ends>> pipes, const std::vector<std::optional<double>>& fixed);

    /// Whether a node is joined to a node held at a pressure, through pipes whichever way they point.
    bool reached(std::size_t node) const { return reached_[node]; }
    /// The nodes reached, each after the node its forest pipe comes from.
    const std::vector<std::size_t>& order() const { return order_; }
    /// The pipes that close a loop or join two trees.
    std::size_t loopCount() const { return chords_.size(); }
    /// The node a node's forest pipe comes from, and that pipe; none for a root or a node not reached.
    std::optional<std::size_t> parent(std::size_t node) const { return parent_[node]; }
    std::optional<std::size_t> parentPipe(std::size_t node) const { return parentPipe_[node]; }

    /// Solves for the flows, from the flows of the solve before: S by pipe [MPa/(t/h)²], out by
    /// node [t/h] (its demand, less what it feeds in); floor [t/h] keeps the derivative of a pipe
    /// without flow from vanishing.
    void solve(const std::vector<double>& S, const std::vector<double>& out, double floor);

    const std::vector<double>& flows() const { return G_; }          ///< by pipe [t/h]
    const std::vector<double>& pressures() const { return p_; }      ///< by node [MPa]

private:
    /// A pipe as a loop passes it: the loop's index, and +1 where it passes in the pipe's direction.
    struct Passage {
        std::size_t loop;
        double sign;
    };

    void growForest(const std::vector<std::optional<double>>& fixed);
    void traceLoops();
    void forestFlows(const std::vector<double>& out);
    void forestPressures(const std::vector<double>& S);
    double residual(std::size_t loop, const std::vector<double>& S) const;
    double largestResidual(const std::vector<double>& S) const;

    std::vector<std::optional<Ends>> pipes_;
    std::vector<double> fixed_;                              // by node, of the roots
    std::vector<bool> reached_;
    std::vector<std::size_t> order_;
    std::vector<std::optional<std::size_t>> parent_, parentPipe_;
    std::vector<int> depth_;
    std::vector<std::size_t> chords_;
    std::vector<std::vector<Passage>> passages_;             // by pipe
    std::vector<double> G_, p_;
};

/// Solves A x = b for a small dense matrix A by elimination with partial pivoting; a pivot of 0
/// leaves its unknown at 0.
std::vector<double> solveDense(std::vector<std::vector<double>> A, std::vector<double> b);

}  // namespace dorvent
