#include "pipeline/pipesizing.h"

#include "pipeline/networklayout.h"
#include "pipeline/networksolver.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <queue>
#include <set>

#include "pipeline/networkcalc.h"
#include "pipeline/nodetable.h"
#include "pipeline/sizingtext.h"
#include "pipeline/casetrials.h"
#include "pipeline/loadcases.h"
#include "pipeline/sizingtrial.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

/// One sized pipe some sizes larger or smaller, with the pipes above or below it that telescoping
/// makes follow it.
struct Move {
    SizeChanges changes;
    double massChange = 0;  // [kg]
};

class Search {
public:
    Search(CaseTrials& trial, const SizingOptions& options) : trial_(trial), options_(options) { bounds(); }

    /// The sizes that telescoping leaves a pipe between the pipes of its own that stand above
    /// and below it: the lowest and the highest; the lowest above the highest where they clash.
    int lowest(std::size_t pipe) const { return low_[pipe]; }
    int highest(std::size_t pipe) const { return high_[pipe]; }

    /// Where the next phase's progress lies in the whole, from and how much of it.
    void phase(double from, double span)
    {
        from_ = from;
        span_ = span;
    }
    void startSmall();
    void startLarge();
    /// Greedy: the move that removes the most shortfall per kilogram, until nothing is short or
    /// no move helps; first on estimates, then by the calculation. False when cancelled.
    bool growUntilServed();
    /// Every sized pipe as small as it can be while everything stays served. False when cancelled.
    bool shrinkWhileServed();
    /// From served sizes: one pipe a size smaller, the shortfall mended by the others, or a size
    /// larger, the others shrunk; kept when lighter, until none is or the work allowed is done.
    /// False when cancelled.
    bool improve();

private:
    void bounds();
    std::optional<Move> larger(std::size_t pipe, int steps = 1) const;
    /// A move of one pipe, with the shortfall it removes per kilogram of steel it adds.
    struct Scored {
        double score;
        double gain;
        std::size_t pipe;
        bool grow;
        Move move;
    };
    std::optional<Scored> scored(std::size_t pipe, bool grow);
    /// The greedy growth as the trial computes or estimates, of at most mostMoves moves.
    bool greedy(long mostMoves);
    bool servedWith(const SizeChanges& changes);
    std::optional<Move> smaller(std::size_t pipe, int steps = 1) const;
    double massChange(std::size_t pipe, int size) const
    {
        return trial_.length(pipe) *
               (SizingTrial::massPerMetreOf(size) - SizingTrial::massPerMetreOf(trial_.size(pipe)));
    }
    /// Whether the work improve() allows is done.
    bool spent() const { return limit_ && trial_.work() > *limit_; }
    bool goOn(double fraction) const
    {
        // Steps within steps report where the outer one is; the bar never goes back.
        reported_ = std::max(reported_, from_ + span_ * fraction);
        return !options_.progress || options_.progress(reported_);
    }

    CaseTrials& trial_;
    const SizingOptions& options_;
    std::vector<int> low_, high_;
    double from_ = 0, span_ = 1;
    mutable double reported_ = 0;
    std::optional<std::size_t> held_;  // the pipe that improve() has just moved
    std::optional<long> limit_;        // of the work, while improve() runs
};

/// The smallest size whose outer diameter is at least D; one past the last when there is none.
int sizeFor(double D)
{
    const auto& sizes = sizesAscending();
    int size = 0;
    while (size < static_cast<int>(sizes.size()) && sizes[static_cast<std::size_t>(size)].waijing < D) ++size;
    return size;
}

void Search::bounds()
{
    const std::size_t count = trial_.document().segments.size();
    low_.assign(count, 0);
    high_.assign(count, 0);
    for (const std::size_t i : trial_.sizedPipes()) high_[i] = trial_.largest(i);
    if (!options_.telescoping) return;
    // Down from the source: a pipe of one's own or a fixed pipe bounds the sized pipes below it.
    for (const std::size_t i : trial_.layout().order) {
        if (!trial_.isSized(i)) continue;
        const std::optional<std::size_t> feed = trial_.parent(i);
        if (!feed) continue;
        const int cap = trial_.isSized(*feed) ? high_[*feed] : sizeFor(trial_.outerDiameter(*feed) + 1e-9) - 1;
        high_[i] = std::min(high_[i], cap);
    }
    // Up towards it: every sized pipe at least as large as the pipes below it.
    const auto& order = trial_.layout().order;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (!trial_.isSized(*it)) continue;
        for (const std::size_t child : trial_.children(*it)) {
            const int need = trial_.isSized(child) ? low_[child] : sizeFor(trial_.outerDiameter(child) - 1e-9);
            low_[*it] = std::max(low_[*it], need);
        }
    }
}

/// The mean specific friction each pipe may have [Pa/m]: for each node that needs a pressure,
/// what the source has above it spread over the path to it; a pipe takes the least of the nodes
/// at and below its end. The classic first sizing of a steam network.
std::vector<double> allowedFriction(const SizingTrial& trial, double sourcePressure)
{
    const NetworkLayout& layout = trial.layout();
    const auto endOf = [&](std::size_t pipe) { return *layout.indexOf(trial.document().segments[pipe].to); };
    std::vector<double> distance(layout.names.size(), 0);
    for (const std::size_t i : layout.order) {
        distance[endOf(i)] = distance[*layout.indexOf(trial.document().segments[i].from)] + trial.length(i);
    }
    std::vector<double> allowed(trial.document().segments.size(), std::numeric_limits<double>::infinity());
    for (auto it = layout.order.rbegin(); it != layout.order.rend(); ++it) {
        const NetworkNode* node = layout.data[endOf(*it)];
        if (node != nullptr && node->requiredPressure && distance[endOf(*it)] > 0) {
            allowed[*it] = (sourcePressure - *node->requiredPressure) * 1e6 / distance[endOf(*it)];
        }
        for (const std::size_t child : trial.children(*it)) allowed[*it] = std::min(allowed[*it], allowed[child]);
    }
    return allowed;
}

void Search::startSmall()
{
    // At the source's state, the densest steam of the network, no smaller size keeps the
    // velocity anywhere; judged at each pipe's own start, where a pipe too small upstream has
    // left little pressure, every pipe downstream would look as if it needed a large size. Each
    // case with its own source, flows and requirements.
    std::vector<PipeStart> sources(trial_.count());
    std::vector<std::vector<double>> allowed;
    for (std::size_t k = 0; k < trial_.count(); ++k) {
        startOf(trial_.at(k).document(), sources[k]);
        allowed.push_back(allowedFriction(trial_.at(k), sources[k].state.p));
    }
    const auto keeps = [&](std::size_t i, int size) {
        const float dn = sizesAscending()[static_cast<std::size_t>(size)].dn;
        for (std::size_t k = 0; k < trial_.count(); ++k) {
            const auto h = trial_.at(k).hydraulics(i, sources[k], size);
            if (!h || h->velocity > velocityBand(dn).highest || h->friction > allowed[k][i]) return false;
        }
        return true;
    };
    std::vector<int> sizes = trial_.sizes();
    for (const std::size_t i : trial_.sizedPipes()) {
        int size = std::max(std::min(low_[i], high_[i]), 0);
        while (size < high_[i] && !keeps(i, size)) ++size;
        sizes[i] = size;
    }
    if (options_.telescoping) {  // feeds at least as large as what they feed
        const auto& order = trial_.layout().order;
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            if (!trial_.isSized(*it)) continue;
            for (const std::size_t child : trial_.children(*it)) {
                if (trial_.isSized(child)) sizes[*it] = std::max(sizes[*it], std::min(sizes[child], high_[*it]));
            }
        }
    }
    trial_.setSizes(sizes);
}

void Search::startLarge()
{
    std::vector<int> sizes = trial_.sizes();
    for (const std::size_t i : trial_.sizedPipes()) sizes[i] = std::max(high_[i], 0);
    trial_.setSizes(sizes);
}

std::optional<Move> Search::larger(std::size_t pipe, int steps) const
{
    const int size = trial_.size(pipe) + steps;
    if (size > high_[pipe]) return std::nullopt;
    Move move{{{pipe, size}}, massChange(pipe, size)};
    if (!options_.telescoping) return move;
    double D = SizingTrial::outerDiameterOf(size);
    for (auto feed = trial_.parent(pipe); feed && trial_.outerDiameter(*feed) < D; feed = trial_.parent(*feed)) {
        const int up = sizeFor(D);
        if (!trial_.isSized(*feed) || up > high_[*feed]) return std::nullopt;
        move.changes.emplace_back(*feed, up);
        move.massChange += massChange(*feed, up);
        D = SizingTrial::outerDiameterOf(up);
    }
    return move;
}

std::optional<Move> Search::smaller(std::size_t pipe, int steps) const
{
    const int size = trial_.size(pipe) - steps;
    if (size < std::max(low_[pipe], 0)) return std::nullopt;
    Move move{{{pipe, size}}, massChange(pipe, size)};
    if (!options_.telescoping) return move;
    // The pipes it feeds follow it down, as far as they must.
    for (std::size_t k = 0; k < move.changes.size(); ++k) {
        const double D = SizingTrial::outerDiameterOf(move.changes[k].second);
        for (const std::size_t child : trial_.children(move.changes[k].first)) {
            if (trial_.outerDiameter(child) <= D) continue;
            const int down = sizeFor(D + 1e-9) - 1;
            if (!trial_.isSized(child) || down < std::max(low_[child], 0)) return std::nullopt;
            move.changes.emplace_back(child, down);
            move.massChange += massChange(child, down);
        }
    }
    return move;
}

std::optional<Search::Scored> Search::scored(std::size_t pipe, bool grow)
{
    if (pipe == held_) return std::nullopt;
    const auto rate = [this, pipe, grow](const Move& move) -> std::optional<Scored> {
        const double gain = trial_.shortfall().amount - trial_.estimateWith(move.changes).amount;
        if (gain <= 1e-12) return std::nullopt;
        // A move that saves steel as well comes first.
        const double score = move.massChange <= 0 ? std::numeric_limits<double>::infinity() : gain / move.massChange;
        return Scored{score, gain, pipe, grow, move};
    };
    // A pipe that fails may fail at the next size as well (too small for its pressure drop, or
    // so large that its heat loss condenses the steam) and compute a few sizes on: those are
    // tried too.
    const bool fails = trial_.failsSomewhere(pipe);
    for (int steps = 1; const auto move = grow ? larger(pipe, steps) : smaller(pipe, steps); ++steps) {
        if (auto found = rate(*move)) return found;
        if (!fails) break;
    }
    return std::nullopt;
}

bool Search::growUntilServed()
{
    // On estimates first, the network computed once after them; then by the calculation, for
    // what the estimates missed. So many moves on estimates are more than any search needs, and
    // stop one that goes round in circles.
    trial_.estimating(true);
    const bool done = greedy(20 * static_cast<long>(trial_.sizedPipes().size()));
    trial_.estimating(false);
    return done && greedy(std::numeric_limits<long>::max());
}

bool Search::greedy(long mostMoves)
{
    // Lazily: a move's score is taken again only when it comes to the top, since a move seldom
    // gains more once others have been made.
    const auto lower = [](const Scored& a, const Scored& b) { return a.score < b.score || (a.score == b.score && a.gain < b.gain); };
    std::priority_queue<Scored, std::vector<Scored>, decltype(lower)> moves(lower);
    std::set<std::pair<std::size_t, bool>> refused;  // since the last move made
    const auto scoreAll = [&] {
        const std::vector<bool> shortBelow = trial_.shortBelow();
        for (const std::size_t i : trial_.sizedPipes()) {
            if (!shortBelow[i]) continue;
            for (const bool grow : {false, true}) {
                if (refused.count({i, grow}) != 0) continue;
                if (auto move = scored(i, grow)) moves.push(std::move(*move));
            }
        }
    };
    const double startAmount = trial_.shortfall().amount;
    for (long made = 0; !trial_.shortfall().met() && !spent() && made < mostMoves;) {
        if (!goOn(std::clamp(1 - trial_.shortfall().amount / startAmount, 0.0, 1.0))) return false;
        if (moves.empty()) scoreAll();
        if (moves.empty()) return true;
        const Scored top = moves.top();
        moves.pop();
        auto now = scored(top.pipe, top.grow);
        if (!now) continue;
        if (!moves.empty() && lower(*now, moves.top())) {
            moves.push(std::move(*now));
            continue;
        }
        // Scores are estimates: the move is made only where the calculation confirms its gain
        // (while the trial estimates, the estimate is all there is).
        const double amount = trial_.shortfall().amount;
        if (!trial_.applyIf(now->move.changes, [amount](const Shortfall& with) { return with.amount < amount - 1e-12; })) {
            refused.insert({top.pipe, top.grow});
            continue;
        }
        refused.clear();
        ++made;
        for (const bool grow : {false, true}) {
            if (auto move = scored(top.pipe, grow)) moves.push(std::move(*move));
        }
    }
    return true;
}

/// Makes the changes when the network stays served with them: the estimate rules out most that
/// do not, the calculation decides.
bool Search::servedWith(const SizeChanges& changes)
{
    if (trial_.surelyShortWith(changes)) return false;
    return trial_.applyIf(changes, [](const Shortfall& with) { return with.met(); });
}

bool Search::shrinkWhileServed()
{
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<std::size_t> pipes = trial_.sizedPipes();
        // The heaviest saving first.
        std::vector<double> saving(trial_.document().segments.size(), 0);
        for (const std::size_t i : pipes) {
            if (const auto move = smaller(i)) saving[i] = -move->massChange;
        }
        std::stable_sort(pipes.begin(), pipes.end(), [&saving](std::size_t a, std::size_t b) { return saving[a] > saving[b]; });
        for (std::size_t k = 0; k < pipes.size() && !spent(); ++k) {
            if (!goOn(static_cast<double>(k) / static_cast<double>(pipes.size()))) return false;
            if (pipes[k] == held_) continue;
            for (auto move = smaller(pipes[k]); move && servedWith(move->changes); move = smaller(pipes[k])) changed = true;
        }
    }
    return true;
}

bool Search::improve()
{
    // The work allowed: on the computer of the benchmarks about a tenth of a second and a third
    // of a millisecond for each sized pipe. The gains are largest on small networks, which it
    // searches through; a large one has time for its first exchanges only.
    limit_ = trial_.work() + 20000 + 60 * static_cast<long>(trial_.sizedPipes().size());
    for (bool lighter = true; lighter;) {
        lighter = false;
        const std::vector<std::size_t> pipes = trial_.sizedPipes();
        for (std::size_t k = 0; k < pipes.size() && !spent(); ++k) {
            for (const bool grow : {false, true}) {
                const std::optional<Move> kick = grow ? larger(pipes[k]) : smaller(pipes[k]);
                if (!kick) continue;
                if (!goOn(static_cast<double>(k) / static_cast<double>(pipes.size()))) return false;
                auto before = trial_.save();
                const double mass = trial_.mass();
                held_ = pipes[k];
                trial_.apply(kick->changes);
                const bool done = grow ? shrinkWhileServed() : growUntilServed() && shrinkWhileServed();
                held_.reset();
                if (!done) return false;
                // Kept when served and lighter, even if the work ran out on the way.
                if (trial_.shortfall().met() && trial_.mass() < mass - 1e-6) {
                    lighter = true;
                } else {
                    trial_.restore(std::move(before));
                }
            }
        }
    }
    limit_.reset();
    // The pipe held in the last kick may be shrinkable now.
    return shrinkWhileServed();
}

/// Why the network cannot be computed as it stands, in one case; empty when it can.
std::vector<std::string> caseProblems(const PipelineDocument& document, const PipelineResult& result)
{
    if (!result.topologyMessage.empty()) return {result.topologyMessage};
    if (!result.startMessage.empty()) return {"起点状态：" + result.startMessage};
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        if (run.status == SegmentStatus::failed && isInputFault(document.segments[i], run)) {
            problems.push_back(pipeName(document, i) + "：" + run.message);
        }
    }
    return problems;
}

/// The reasons of each case, under the case's name where there are several.
std::vector<std::string> inEveryCase(const PipelineDocument& document,
                                     const std::function<std::vector<std::string>(std::size_t)>& reasonsOf)
{
    std::vector<std::string> all;
    for (std::size_t k = 0; k < caseCount(document); ++k) {
        for (std::string& reason : reasonsOf(k)) {
            all.push_back(caseCount(document) == 1 ? std::move(reason) : "【" + caseName(document, k) + "】" + reason);
        }
    }
    return all;
}

/// Why the network cannot be computed as it stands; empty when it can.
std::vector<std::string> startProblems(const PipelineDocument& document)
{
    if (!isNetwork(document)) return {"自动选管只用于管网：请输入各管段的起点和终点"};
    if (needsSolve(document, NetworkLayout(document))) return {std::string(kLoopSizingMessage)};
    return inEveryCase(document, [&document](std::size_t k) {
        return caseProblems(documentForCase(document, k).document, calculateCase(document, k));
    });
}

/// Why the network cannot be served: a fixed pipe above a sized one smaller than a fixed pipe
/// below it, then what the largest sizes show (the trial holds them). What they cannot give rules
/// out a search; what else they show is said only when the search finds nothing.
/// The reasons of each case at the largest sizes (the trial holds them), and those of the fixed
/// pipes that leave a sized pipe no size.
struct CaseReasons {
    std::vector<UnservedReasons> ofCase;
    std::vector<std::string> fixed;
};
CaseReasons unservedReasons(CaseTrials& trial, const Search& search)
{
    CaseReasons reasons;
    for (std::size_t k = 0; k < trial.count(); ++k) reasons.ofCase.push_back(reasonsAtLargest(trial.at(k)));
    for (auto it = trial.sizedPipes().rbegin(); it != trial.sizedPipes().rend(); ++it) {
        if (search.lowest(*it) > search.highest(*it)) {
            reasons.fixed.insert(reasons.fixed.begin(), pipeName(trial.document(), *it) +
                                                            "：下游固定的管道比上游固定的管道大，管径沿流向不增大时无管径可选");
        }
    }
    return reasons;
}

/// What no sizes can give, in any case: the fixed pipes' clash, then each case's certain reasons.
std::vector<std::string> certainReasons(const PipelineDocument& document, const CaseReasons& reasons)
{
    std::vector<std::string> certain = reasons.fixed;
    for (std::string& reason : inEveryCase(document, [&reasons](std::size_t k) { return reasons.ofCase[k].certain; })) {
        certain.push_back(std::move(reason));
    }
    return certain;
}

/// Whether the ordinary calculation finds the sized network served, in every case.
bool verified(const CaseTrials& trial)
{
    for (std::size_t k = 0; k < trial.count(); ++k) {
        const PipelineDocument& d = trial.at(k).document();
        const PipelineResult result = calculateNetwork(d);
        if (!result.allComputed || !requirementsMet(result)) return false;
        const bool tooFast = std::any_of(trial.sizedPipes().begin(), trial.sizedPipes().end(), [&](std::size_t i) {
            return result.segments[i].velocity > velocityBand(static_cast<float>(d.segments[i].dn)).highest;
        });
        if (tooFast) return false;
    }
    return true;
}

/// The sized pipes below their velocity band, by why none is one size smaller (the trial holds
/// the sized network).
BelowBand belowBandOf(CaseTrials& trial, const Search& search, bool telescoping)
{
    // Below the band in the design case, the fullest load.
    const SizingTrial& design = trial.at(0);
    BelowBand below;
    for (const std::size_t i : trial.sizedPipes()) {
        if (!design.run(i).velocityBelowBand) continue;
        ++below.pipes;
        const int smaller = trial.size(i) - 1;
        const double D = SizingTrial::outerDiameterOf(std::max(smaller, 0));
        const auto& fed = trial.children(i);
        const auto tooFast = [&] {
            for (std::size_t k = 0; k < trial.count(); ++k) {
                const auto h = trial.at(k).hydraulics(i, *trial.at(k).startOf(i), smaller);
                if (h && h->velocity > velocityBand(sizesAscending()[static_cast<std::size_t>(smaller)].dn).highest) return true;
            }
            return false;
        };
        if (smaller < 0) {
            ++below.smallest;
        } else if (telescoping && (smaller < search.lowest(i) ||
                                   std::any_of(fed.begin(), fed.end(), [&](std::size_t j) { return trial.outerDiameter(j) > D; }))) {
            ++below.feeding;
        } else if (tooFast()) {
            ++below.tooFast;
        } else if (const SizingTrial::Shortcomings found = trial.shortcomingsWith({{i, smaller}}); found.requirement) {
            ++below.requirement;
        } else if (found.velocity) {
            ++below.tooFastBelow;
        }
    }
    return below;
}

/// Searches for the lightest served sizes; the trial holds them when it finds some. False when
/// cancelled.
bool findSizes(CaseTrials& trial, Search& search, bool& found)
{
    // From the smallest sizes that keep the velocities, enlarged where something falls short.
    search.phase(0, 0.3);
    search.startSmall();
    if (!search.growUntilServed()) return false;
    if (!trial.shortfall().met()) {
        // Stuck: from the largest sizes once more, shrinking where that helps.
        search.startLarge();
        if (!search.growUntilServed()) return false;
    }
    found = trial.shortfall().met();
    if (!found) return true;
    search.phase(0.3, 0.1);
    if (!search.shrinkWhileServed()) return false;
    search.phase(0.4, 0.6);
    return search.improve();
}

/// What the largest sizes show, of the cases that no sizes serve even alone: a case that some sizes
/// serve by itself is no cause, however it fares at the largest sizes (a low load loses most heat
/// in the largest pipes). When every case alone is served, the cases are what clash.
std::vector<std::string> otherReasons(const PipelineDocument& document, const CaseReasons& reasons, const SizingOptions& options)
{
    if (caseCount(document) == 1) return reasons.ofCase.front().other;
    std::vector<bool> servedAlone;
    for (std::size_t k = 0; k < caseCount(document); ++k) {
        const SizingOptions alone{.telescoping = options.telescoping,
                                  .progress = [&options](double) { return !options.progress || options.progress(1.0); }};
        servedAlone.push_back(sizeNetwork(documentForCase(document, k).document, alone).outcome == SizingOutcome::sized);
    }
    if (std::all_of(servedAlone.begin(), servedAlone.end(), [](bool served) { return served; })) {
        return {"每个工况单独都有能满足要求的管径，但没有一组管径能同时满足所有工况"};
    }
    return inEveryCase(document, [&](std::size_t k) { return servedAlone[k] ? std::vector<std::string>{} : reasons.ofCase[k].other; });
}

double massOf(const PipelineSegment& s)
{
    const PipeSize* row = findCatalogueRow(s.dn);
    return s.length.value_or(0) * (row != nullptr ? massPerMetre(row->waijing, row->bihou)
                                                  : massPerMetre(s.outerDiameter.value_or(0), s.wall.value_or(0)));
}

}  // namespace

SizingResult sizeNetwork(const PipelineDocument& document, const SizingOptions& options)
{
    SizingResult result{.document = document};
    result.problems = startProblems(document);
    if (!result.problems.empty()) return result;

    CaseTrials trial(document);
    result.massBefore = result.massAfter = trial.mass();
    Search search(trial, options);
    // What the largest sizes cannot give, no sizes can: then there is nothing to search.
    search.startLarge();
    const CaseReasons unserved = unservedReasons(trial, search);
    const std::vector<std::string> certain = certainReasons(document, unserved);
    bool found = false;
    if (certain.empty() && !findSizes(trial, search, found)) {
        return {.outcome = SizingOutcome::cancelled, .document = document};
    }
    if (found && verified(trial)) {
        result.outcome = SizingOutcome::sized;
        result.document = trial.sizedDocument();
        result.massAfter = trial.mass();
        result.belowBand = belowBandOf(trial, search, options.telescoping);
    } else {
        result.outcome = SizingOutcome::unservable;
        result.problems = !certain.empty() ? certain : otherReasons(document, unserved, options);
        if (result.problems.empty()) result.problems.emplace_back("没有一组管径能满足全部要求");
    }
    result.computations = trial.computations();
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const PipelineSegment &before = document.segments[i], &after = result.document.segments[i];
        result.pipes.push_back({.segment = i, .oldDn = before.dn, .newDn = after.dn, .kept = !trial.isSized(i),
                                .massBefore = massOf(before), .massAfter = massOf(after)});
        // With several cases, the one the pipe is sized for.
        if (result.outcome == SizingOutcome::sized && trial.count() > 1) result.pipes.back().boundBy = trial.boundBy(i);
    }
    return result;
}

}  // namespace dorvent
