#pragma once

// The network's calculation as automatic sizing needs it: the sizes of some pipes changed, and
// only the pipes downstream of the change computed again; or estimated from what they gave
// before, to judge a change before it is computed.

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "mainwin/steamstate.h"
#include "pipeline/networklayout.h"
#include "pipeline/pipecompute.h"
#include "pipes/guanjing.h"

namespace dorvent {

/// The catalogue's pipes, smallest first; a size is an index into it.
const std::vector<PipeSize>& sizesAscending();

/// Steel mass of one metre of pipe [kg/m]: the ring of outer diameter D and wall s [mm] at
/// 7850 kg/m³.
double massPerMetre(double outerDiameter, double wall);

/// Some pipes set to new sizes: (pipe, size) pairs.
using SizeChanges = std::vector<std::pair<std::size_t, int>>;

/// How far a set of sizes is from serving the network: zero only when every sized pipe keeps its
/// velocity, every node its requirements and its superheat. The sum weighs 0.01 MPa, 1 ℃ and
/// 1 m/s alike, and a pipe that cannot be computed as 100.
struct Shortfall {
    double amount = 0;
    int pipes = 0;  ///< pipes that fall short
    /// Whether a pipe falls short for certain: beyond the error an estimate may have.
    bool surely = false;
    bool met() const { return pipes == 0; }
};

class SizingTrial {
public:
    /// The document's network in its own sizes; it must be a tree fed from a computable start.
    explicit SizingTrial(const PipelineDocument& document);
    SizingTrial(const SizingTrial&) = delete;  // the layout points into its own document
    SizingTrial& operator=(const SizingTrial&) = delete;

    const NetworkLayout& layout() const { return layout_; }
    const PipelineDocument& document() const { return document_; }
    /// Whether sizing chooses the pipe: a catalogue pipe of the tree that is not fixed.
    bool isSized(std::size_t pipe) const { return largest_[pipe] >= 0; }
    int size(std::size_t pipe) const { return size_[pipe]; }
    /// The largest size the pipe can take: one the heat-loss table has, where it gives the loss.
    int largest(std::size_t pipe) const { return largest_[pipe]; }
    /// Outer diameter of the pipe as it now stands, or of a size [mm]; 0 for a pipe of one's own
    /// without one.
    double outerDiameter(std::size_t pipe) const;
    static double outerDiameterOf(int size) { return sizesAscending()[static_cast<std::size_t>(size)].waijing; }
    std::optional<std::size_t> parent(std::size_t pipe) const;
    const std::vector<std::size_t>& children(std::size_t pipe) const;
    /// The pipes sizing chooses, each after the pipe feeding it.
    const std::vector<std::size_t>& sizedPipes() const { return sized_; }

    const Shortfall& shortfall() const { return total_; }
    /// Whether the pipe or a pipe downstream of it falls short.
    std::vector<bool> shortBelow() const;
    double penaltyOf(std::size_t pipe) const { return penalty_[pipe]; }
    const SegmentRun& run(std::size_t pipe) const { return runs_[pipe]; }
    double mass() const;
    /// Steel mass of one metre of the pipe at a size [kg/m].
    static double massPerMetreOf(int size);
    double length(std::size_t pipe) const { return document_.segments[pipe].length.value_or(0); }

    /// The shortfall the network would have with the changes, leaving it as it is; estimated from
    /// what each pipe gave before (see estimatedRun), and computed where a pipe did not compute.
    /// A pipe whose pressure or velocity falls short by more than the estimate may err makes the
    /// shortfall sure.
    Shortfall estimateWith(const SizeChanges& changes) { return estimateFor(changes, Purpose::gain); }
    /// Whether the estimate finds the network surely short with the changes; it stops at the
    /// first pipe that is.
    bool surelyShortWith(const SizeChanges& changes);
    /// What falls short with the changes, computed: a requirement of a node (or a pipe that does
    /// not compute), or the velocity of a sized pipe. Leaves the network as it is.
    struct Shortcomings {
        bool requirement = false, velocity = false;
    };
    Shortcomings shortcomingsWith(const SizeChanges& changes);
    /// Computes the network with the changes, and keeps them when keep approves of the shortfall
    /// they give; tells whether it kept them. While estimating, estimates it instead.
    bool applyIf(const SizeChanges& changes, const std::function<bool(const Shortfall&)>& keep);
    /// applyIf in two steps, for a decision that waits for other cases: the shortfall with the
    /// changes, their sizes set; then keep them or put the sizes back.
    Shortfall tryChanges(const SizeChanges& changes);
    void keepTried();
    void dropTried();
    void apply(const SizeChanges& changes);
    /// From on to off, changes are kept as estimated; at off the network is computed again.
    void estimating(bool on);
    /// Every sized pipe at once, computed from the source.
    void setSizes(const std::vector<int>& sizes);
    /// The velocity [m/s] and the specific friction loss [Pa/m] of the pipe at a size in a state,
    /// as its start is computed; none when the pipe's hydraulics refuse it.
    struct Hydraulics {
        double velocity;
        double friction;
    };
    /// Wet steam (按焓平衡) as the energy balance takes it: the mixture's density.
    std::optional<Hydraulics> hydraulics(std::size_t pipe, const PipeStart& start, int size) const;
    /// The state at the pipe's start as computed; none where it is not, or only estimated.
    const std::optional<PipeStart>& startOf(std::size_t pipe) const { return states_[from_[pipe]]; }
    const std::vector<int>& sizes() const { return size_; }
    /// Pipes computed so far, and pipes estimated.
    long computations() const { return computations_; }
    long estimates() const { return estimates_; }
    /// The work so far in pipes computed: an estimate takes about a fortieth of the time.
    long work() const { return computations_ + estimates_ / 40; }

    /// The state at a node: computed from the source's, or estimated.
    struct Reached {
        double p = 0, t = 0;  // [MPa], [℃]
        bool computed = false, exact = false;
        double dryness = 1;   // below 1 for wet steam (按焓平衡)
    };
    /// The steam at a pipe's start as its estimates need it.
    struct Start {
        double density = 0, cp = 0;  // [kg/m³], [kJ/(kg·K)]
    };
    /// What the calculation holds, to go back to.
    struct Saved {
        std::vector<int> sizes;
        std::vector<SegmentRun> runs;
        std::vector<double> penalties;
        std::vector<Start> starts;
        std::vector<std::optional<PipeStart>> states;
        std::vector<Reached> reached;
        Shortfall total;
    };
    Saved save() const { return {size_, runs_, penalty_, start_, states_, at_, total_}; }
    void restore(Saved saved);

private:
    /// One pipe computed or estimated by a trial, kept if the trial is.
    struct Computed {
        std::size_t pipe;
        SegmentRun run;
        double penalty;
        Start start;
        Reached end;
    };
    enum class Purpose { gain, certainty, keeping };

    Shortfall walk(std::size_t top);
    void commit();
    Shortfall estimateFor(const SizeChanges& changes, Purpose purpose);
    Shortfall estimate(std::size_t top, Purpose purpose);
    SegmentRun estimatedRun(std::size_t pipe, const Reached& from, Start& start);
    SegmentRun computeFrom(std::size_t pipe, std::vector<std::optional<PipeStart>>& states, Start& start);
    PipeStart estimatedStart(const Reached& at) const;
    bool balanced() const { return document_.temperatureLaw == TemperatureLaw::enthalpyBalance; }
    void setDn(std::size_t pipe, int size);
    double penaltyOfRun(std::size_t pipe, const SegmentRun& run) const;
    double tooFast(std::size_t pipe, const SegmentRun& run) const;
    bool shortBeyondError(std::size_t pipe, const SegmentRun& estimated) const;
    std::size_t topOf(const SizeChanges& changes) const;
    SizeChanges setAll(const SizeChanges& changes);

    PipelineDocument document_;
    NetworkLayout layout_;
    std::vector<PipeFlow> flows_;
    std::vector<std::size_t> position_;     // of each pipe in layout_.order
    std::vector<double> lengthBefore_;      // of the pipes computed before each pipe [m]
    std::vector<std::size_t> from_, to_;    // the nodes of each pipe of the tree
    std::vector<std::size_t> sized_;
    std::vector<int> size_, largest_;
    std::vector<SegmentRun> runs_;
    std::vector<double> penalty_;
    std::vector<Start> start_;                                 // of each pipe
    std::vector<std::optional<PipeStart>> states_, scratch_;   // of each node
    std::vector<Reached> at_;                                  // of each node, as the network stands
    std::vector<Reached> reached_;                             // of each node, by an estimate
    std::vector<int> sizeBefore_;                              // of each pipe an estimate changes; else -1
    std::vector<Computed> computed_;                           // by the last walk
    Shortfall total_;
    bool estimating_ = false, unsettled_ = false;
    long computations_ = 0, estimates_ = 0;
    SizeChanges tried_;    // the sizes the changes tried replaced
    Shortfall triedWith_;  // and the shortfall they gave
};

}  // namespace dorvent
