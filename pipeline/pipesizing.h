#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pipeline/pipelinedocument.h"

namespace dorvent {

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
};

struct SizingResult {
    SizingOutcome outcome = SizingOutcome::cannotStart;
    PipelineDocument document;     ///< the sized document; unchanged unless sized
    std::vector<SizedPipe> pipes{};  ///< the pipes of the tree, in the document's order
    double massBefore = 0, massAfter = 0;  ///< steel of all the pipes [kg]
    std::vector<std::string> problems{};
    long computations = 0;  ///< pipes computed on the way, a measure of the work
};

/// Chooses catalogue sizes for the pipes of a network that are neither fixed nor of one's own,
/// so that every sized pipe's start velocity stays within the top of its DN class's band, every
/// node gets its required pressure and temperature and keeps the superheat margin, no pipe is
/// larger than its feed (with telescoping), and the steel mass is least among the choices tried.
/// The answer is locally least: no sized pipe can be one size smaller.
SizingResult sizeNetwork(const PipelineDocument& document, const SizingOptions& options = {});

/// The sizing as text for the command line: what it found, the pipes with their old and new DN,
/// the masses; or who cannot be served and why.
std::string sizingLines(const PipelineDocument& document, const SizingResult& result);

}  // namespace dorvent
