#include "pipeline/sizingtrial.h"

#include <algorithm>
#include <numbers>

#include "mainwin/stateevaluation.h"
#include "numtext/precision.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"

namespace dorvent {
namespace {

constexpr double kSteelDensity = 7850;     // kg/m³
constexpr double kNotComputed = 100;       // the shortfall of a pipe that cannot be computed
constexpr double kPressureWeight = 100;    // 0.01 MPa weighs as 1 ℃

}  // namespace

const std::vector<PipeSize>& sizesAscending()
{
    static const std::vector<PipeSize> sizes(guanjing.rbegin(), guanjing.rend());
    return sizes;
}

double massPerMetre(double outerDiameter, double wall)
{
    // The ring's area π·s·(D − s) in mm², 10⁻⁶ m² each.
    return std::numbers::pi * wall * (outerDiameter - wall) * 1e-6 * kSteelDensity;
}

double SizingTrial::massPerMetreOf(int size)
{
    const PipeSize& pipe = sizesAscending()[static_cast<std::size_t>(size)];
    return massPerMetre(pipe.waijing, pipe.bihou);
}

SizingTrial::SizingTrial(const PipelineDocument& document)
    : document_(document), layout_(document_), flows_(flowsOf(document_, layout_)),
      position_(document.segments.size()), lengthBefore_(document.segments.size()),
      size_(document.segments.size(), -1), largest_(document.segments.size(), -1), runs_(document.segments.size()),
      penalty_(document.segments.size(), 0), states_(layout_.names.size()), scratch_(layout_.names.size())
{
    const auto& sizes = sizesAscending();
    double length = 0;
    for (std::size_t k = 0; k < layout_.order.size(); ++k) {
        const std::size_t i = layout_.order[k];
        const PipelineSegment& s = document_.segments[i];
        position_[i] = k;
        lengthBefore_[i] = length;
        length += s.length.value_or(0);
        if (s.dn == 0 || s.fixed) continue;
        for (std::size_t z = 0; z < sizes.size(); ++z) {
            if (sizes[z].dn == s.dn) size_[i] = static_cast<int>(z);
            // The heat-loss table gives a loss up to its largest pipe only.
            if (s.heatLossSource == HeatLossSource::typed || tableHeatLoss(static_cast<int>(sizes[z].dn), s.heatLossSource, 0)) {
                largest_[i] = static_cast<int>(z);
            }
        }
        if (largest_[i] >= 0) sized_.push_back(i);
    }
    SteamState start;
    if (startStateOf(document_, start).empty() && layout_.source) states_[*layout_.source] = start;
    setSizes(size_);
}

double SizingTrial::outerDiameter(std::size_t pipe) const
{
    const PipelineSegment& s = document_.segments[pipe];
    if (const PipeSize* row = findCatalogueRow(s.dn)) return row->waijing;
    return s.outerDiameter.value_or(0);
}

std::optional<std::size_t> SizingTrial::parent(std::size_t pipe) const
{
    return layout_.feed[*layout_.indexOf(document_.segments[pipe].from)];
}

const std::vector<std::size_t>& SizingTrial::children(std::size_t pipe) const
{
    return layout_.leaving[*layout_.indexOf(document_.segments[pipe].to)];
}

double SizingTrial::mass() const
{
    double sum = 0;
    for (const std::size_t i : layout_.order) {
        const PipelineSegment& s = document_.segments[i];
        const PipeSize* row = findCatalogueRow(s.dn);
        const double D = row != nullptr ? row->waijing : s.outerDiameter.value_or(0);
        const double wall = row != nullptr ? row->bihou : s.wall.value_or(0);
        sum += s.length.value_or(0) * massPerMetre(D, wall);
    }
    return sum;
}

std::vector<bool> SizingTrial::shortBelow() const
{
    std::vector<bool> below(document_.segments.size(), false);
    for (auto it = layout_.order.rbegin(); it != layout_.order.rend(); ++it) {
        bool any = penalty_[*it] > 0;
        for (const std::size_t child : children(*it)) any = any || below[child];
        below[*it] = any;
    }
    return below;
}

double SizingTrial::penaltyOfRun(std::size_t pipe, const SegmentRun& run) const
{
    if (run.status != SegmentStatus::computed) return kNotComputed + kPressureWeight * run.pressureDrop;
    double sum = 0;
    if (isSized(pipe)) sum += std::max(0.0, run.velocity - velocityBand(static_cast<float>(document_.segments[pipe].dn)).highest);
    if (const NetworkNode* node = layout_.data[*run.toNode]) {
        if (node->requiredPressure) sum += kPressureWeight * std::max(0.0, *node->requiredPressure - run.pend);
        if (node->requiredTemperature) sum += std::max(0.0, *node->requiredTemperature - run.tend);
    }
    if (run.superheat) sum += std::max(0.0, document_.superheatMargin - *run.superheat);
    return sum;
}

/// Computes the pipe from the state of its start node in states, which takes the state at its end
/// (none when it fails).
SegmentRun SizingTrial::computeFrom(std::size_t pipe, std::vector<std::optional<SteamState>>& states)
{
    ++computations_;
    const PipelineSegment& s = document_.segments[pipe];
    const std::size_t from = *layout_.indexOf(s.from), to = *layout_.indexOf(s.to);
    SegmentRun run;
    states[to].reset();
    if (states[from]) {
        SteamState state = *states[from];
        run = computePipe(s, flows_[pipe], state, lengthBefore_[pipe], document_.superheatMargin);
        if (run.status == SegmentStatus::computed) {
            states[to] = state;
        } else if (const auto h = isSized(pipe) ? hydraulics(pipe, *states[from], size_[pipe]) : std::nullopt) {
            // How far from computing it is: the pressure its friction at the start would take, up
            // to all there is, for a shortfall that falls as the pipe grows before it computes.
            run.pressureDrop = std::min(h->friction * s.length.value_or(0) * 1e-6, states[from]->p);
        }
    }
    run.fromNode = from;
    run.toNode = to;
    return run;
}

void SizingTrial::setDn(std::size_t pipe, int size)
{
    size_[pipe] = size;
    document_.segments[pipe].dn = static_cast<int>(sizesAscending()[static_cast<std::size_t>(size)].dn);
}

/// Computes the pipe top and every pipe downstream of it from the state at top's start; with
/// commit the results are kept. Gives the change of the shortfall's amount, and of the count of
/// pipes that fall short in shortPipes.
double SizingTrial::walk(std::size_t top, bool commit, int& shortPipes)
{
    double change = 0;
    shortPipes = 0;
    const std::size_t topFrom = *layout_.indexOf(document_.segments[top].from);
    scratch_[topFrom] = states_[topFrom];
    std::vector<std::size_t> pending{top};
    while (!pending.empty()) {
        const std::size_t i = pending.back();
        pending.pop_back();
        const std::size_t to = *layout_.indexOf(document_.segments[i].to);
        SegmentRun run = computeFrom(i, scratch_);
        const double penalty = penaltyOfRun(i, run);
        change += penalty - penalty_[i];
        shortPipes += (penalty > 0 ? 1 : 0) - (penalty_[i] > 0 ? 1 : 0);
        if (commit) {
            penalty_[i] = penalty;
            runs_[i] = std::move(run);
            states_[to] = scratch_[to];
        }
        for (const std::size_t child : layout_.leaving[to]) pending.push_back(child);
    }
    return change;
}

std::size_t SizingTrial::topOf(const SizeChanges& changes) const
{
    std::size_t top = changes.front().first;
    for (const auto& [pipe, size] : changes) {
        if (position_[pipe] < position_[top]) top = pipe;
    }
    return top;
}

Shortfall SizingTrial::shortfallWith(const SizeChanges& changes)
{
    SizeChanges old;
    for (const auto& [pipe, size] : changes) {
        old.emplace_back(pipe, size_[pipe]);
        setDn(pipe, size);
    }
    int shortPipes = 0;
    const double change = walk(topOf(changes), false, shortPipes);
    for (auto it = old.rbegin(); it != old.rend(); ++it) setDn(it->first, it->second);
    return {total_.amount + change, total_.pipes + shortPipes};
}

void SizingTrial::apply(const SizeChanges& changes)
{
    for (const auto& [pipe, size] : changes) setDn(pipe, size);
    int shortPipes = 0;
    total_.amount += walk(topOf(changes), true, shortPipes);
    total_.pipes += shortPipes;
}

void SizingTrial::setSizes(const std::vector<int>& sizes)
{
    for (const std::size_t i : sized_) setDn(i, sizes[i]);
    // Afresh from the source, so that the sums hold no rounding of earlier changes.
    std::fill(penalty_.begin(), penalty_.end(), 0);
    total_ = {};
    if (!layout_.source) return;
    for (const std::size_t top : layout_.leaving[*layout_.source]) {
        int shortPipes = 0;
        total_.amount += walk(top, true, shortPipes);
        total_.pipes += shortPipes;
    }
}

std::optional<SizingTrial::Hydraulics> SizingTrial::hydraulics(std::size_t pipe, SteamState state, int size) const
{
    const PipeSize& row = sizesAscending()[static_cast<std::size_t>(size)];
    const std::optional<double> flow = flows_[pipe].value;
    if (!flow) return std::nullopt;
    Hydraulics h{};
    const Refusal refusal =
        qiuliusu(state.area, toSinglePrecision(*flow), refreshDensity(state), row.waijing, row.bihou, h.velocity, h.friction);
    return refusal ? std::nullopt : std::optional(h);
}

}  // namespace dorvent
