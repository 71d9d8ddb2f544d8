#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// Sizing walks a tree from its one source; where the flows depend on the sizes it refuses.
inline constexpr std::string_view kLoopSizingMessage =
    "自动选管只用于单一热源的枝状管网：环状或多热源管网中各管段的流量随管径而变，请手工选管，再计算校核";

struct SizingOptions {
    /// No pipe larger than the pipe feeding it (by outer diameter).
    bool telescoping = true;
    /// Told how far the sizing has come, from 0 to 1; it stops when this answers false.
    std::function<bool(double)> progress{};
};

enum class SizingOutcome {
    sized,        ///< every requirement met; document holds the sizes
    unservable,   ///< no choice of sizes meets them; problems says who and why
    cannotStart,  ///< the network cannot be computed as it stands; problems says why
    cancelled,
};

/// One pipe of the tree as the sizing leaves it.
struct SizedPipe {
    std::size_t segment = 0;
    int oldDn = 0, newDn = 0;  ///< 0 for a pipe of one's own
    bool kept = false;         ///< fixed, or a pipe of one's own: not sized
    double massBefore = 0, massAfter = 0;  ///< [kg]
    /// With several load cases: the case that wants the pipe no smaller (决定工况); empty for none.
    std::string boundBy{};
};

/// The sized pipes whose start velocity lies below the band of their DN class, counted by why
/// each is not one size smaller, the first reason that holds.
struct BelowBand {
    int pipes = 0;
    int smallest = 0;      ///< no smaller size may be taken
    int feeding = 0;       ///< it would be smaller than a pipe it feeds
    int tooFast = 0;       ///< its velocity would be above the smaller size's band
    int requirement = 0;   ///< a node would fall short of its requirements
    int tooFastBelow = 0;  ///< a sized pipe below it would be too fast
};

struct SizingResult {
    SizingOutcome outcome = SizingOutcome::cannotStart;
    PipelineDocument document;     ///< the sized document; unchanged unless sized
    std::vector<SizedPipe> pipes{};  ///< the pipes of the tree, in the document's order
    double massBefore = 0, massAfter = 0;  ///< steel of all the pipes [kg]
    std::vector<std::string> problems{};
    BelowBand belowBand{};  ///< of a sized network
    long computations = 0;  ///< pipes computed on the way, a measure of the work
};

/// Chooses catalogue sizes for the pipes of a network that are neither fixed nor of one's own,
/// so that in every load case every sized pipe's start velocity stays within the top of its DN
/// class's band, every node gets its required pressure and temperature and keeps the superheat margin, no pipe is
/// larger than its feed (with telescoping), and the steel mass is least among the choices tried.
/// The answer is locally least: no sized pipe can be one size smaller.
SizingResult sizeNetwork(const PipelineDocument& document, const SizingOptions& options = {});

}  // namespace dorvent
