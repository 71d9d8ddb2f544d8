#include "pipeline/sizingtrial.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/precision.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "steam/regions.h"

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
      from_(document.segments.size()), to_(document.segments.size()), size_(document.segments.size(), -1),
      largest_(document.segments.size(), -1), runs_(document.segments.size()), penalty_(document.segments.size(), 0),
      density_(document.segments.size(), 0), states_(layout_.names.size()), scratch_(layout_.names.size()),
      reached_(layout_.names.size()), changed_(document.segments.size(), false)
{
    const auto& sizes = sizesAscending();
    double length = 0;
    for (std::size_t k = 0; k < layout_.order.size(); ++k) {
        const std::size_t i = layout_.order[k];
        const PipelineSegment& s = document_.segments[i];
        position_[i] = k;
        from_[i] = *layout_.indexOf(s.from);
        to_[i] = *layout_.indexOf(s.to);
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
/// (none when it fails); density takes the steam's at its start.
SegmentRun SizingTrial::computeFrom(std::size_t pipe, std::vector<std::optional<SteamState>>& states, double& density)
{
    ++computations_;
    const PipelineSegment& s = document_.segments[pipe];
    const std::size_t from = from_[pipe], to = to_[pipe];
    SegmentRun run;
    states[to].reset();
    density = 0;
    if (states[from]) {
        SteamState state = *states[from];
        density = refreshDensity(state);
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

/// Computes the pipe top and every pipe downstream of it from the state at top's start, into
/// computed_ and scratch_; gives the shortfall the network has with them.
Shortfall SizingTrial::walk(std::size_t top)
{
    Shortfall with = total_;
    computed_.clear();
    scratch_[from_[top]] = states_[from_[top]];
    std::vector<std::size_t> pending{top};
    while (!pending.empty()) {
        const std::size_t i = pending.back();
        pending.pop_back();
        double density = 0;
        SegmentRun run = computeFrom(i, scratch_, density);
        const double penalty = penaltyOfRun(i, run);
        with.amount += penalty - penalty_[i];
        with.pipes += (penalty > 0 ? 1 : 0) - (penalty_[i] > 0 ? 1 : 0);
        computed_.push_back({i, std::move(run), penalty, density});
        for (const std::size_t child : layout_.leaving[to_[i]]) pending.push_back(child);
    }
    with.surely = !with.met();
    return with;
}

/// Keeps what the last walk computed.
void SizingTrial::commit()
{
    for (Computed& c : computed_) {
        states_[to_[c.pipe]] = scratch_[to_[c.pipe]];
        runs_[c.pipe] = std::move(c.run);
        penalty_[c.pipe] = c.penalty;
        density_[c.pipe] = c.density;
    }
}

/// The pipe as it computed before, its start moved to start: the end pressure keeps the
/// difference of the squares of the pressures (as for a gas in isothermal flow, where it is
/// proportional to the friction at a given flow), the end temperature moves with the start, and
/// the velocity goes with the density at the start. Within a few per cent of the change for the
/// pressure (checked against the calculation on the networks of the tests); the temperature
/// misses the heat capacity's change with the pressure, about 1 ℃ for 1 MPa.
SegmentRun SizingTrial::movedRun(std::size_t pipe, const Reached& start)
{
    ++estimates_;
    const SegmentRun& before = runs_[pipe];
    SegmentRun moved;
    moved.toNode = before.toNode;
    const double squared = before.pend * before.pend + start.p * start.p - before.p0 * before.p0;
    if (squared <= 0) return moved;  // its pressure runs out: not computed
    moved.status = SegmentStatus::computed;
    moved.p0 = start.p;
    moved.t0 = start.t;
    moved.pend = std::sqrt(squared);
    moved.tend = before.tend + (start.t - before.t0);
    if (const auto tsat = saturationCelsius(moved.pend)) moved.superheat = moved.tend - *tsat;
    moved.velocity = before.velocity;
    if (isSized(pipe)) {
        SteamState at{.p = start.p, .t = start.t + kCelsiusZero};
        at.area = classifyState(at.t, at.p, at);
        if (at.area == region::steam || at.area == region::hotSteam) moved.velocity *= density_[pipe] / refreshDensity(at);
    }
    return moved;
}

/// Whether the moved pipe falls short in pressure or velocity even if only 70 % of the estimated
/// change came about: four times the error the estimate was seen to have.
bool SizingTrial::shortBeyondError(std::size_t pipe, const SegmentRun& moved) const
{
    constexpr double kTrusted = 0.7;
    const SegmentRun& before = runs_[pipe];
    const NetworkNode* node = layout_.data[to_[pipe]];
    if (node != nullptr && node->requiredPressure && before.pend + kTrusted * (moved.pend - before.pend) < *node->requiredPressure) {
        return true;
    }
    const double velocity = before.velocity + kTrusted * (moved.velocity - before.velocity);
    return isSized(pipe) && velocity > velocityBand(static_cast<float>(document_.segments[pipe].dn)).highest;
}

/// The shortfall with the pipe top and the pipes below it as estimateWith gives it.
Shortfall SizingTrial::estimate(std::size_t top)
{
    Shortfall with = total_;
    int shortBefore = 0;  // of the pipes walked
    const std::size_t topFrom = from_[top];
    scratch_[topFrom] = states_[topFrom];
    reached_[topFrom] = states_[topFrom] ? Reached{states_[topFrom]->p, states_[topFrom]->tsheshidu, true, true} : Reached{};
    std::vector<std::size_t> pending{top};
    while (!pending.empty()) {
        const std::size_t i = pending.back();
        pending.pop_back();
        const Reached start = reached_[from_[i]];
        double penalty = kNotComputed;
        bool sure = false;
        reached_[to_[i]] = {};
        if (start.computed && !changed_[i] && runs_[i].status == SegmentStatus::computed) {
            const SegmentRun moved = movedRun(i, start);
            penalty = penaltyOfRun(i, moved);
            sure = moved.status == SegmentStatus::computed && shortBeyondError(i, moved);
            if (moved.status == SegmentStatus::computed) reached_[to_[i]] = {moved.pend, moved.tend, true, false};
        } else if (start.computed) {
            if (!start.exact) {  // read as the main window reads a typed state
                scratch_[from_[i]].emplace();
                evaluateSteamParameters({start.p, "MPa", start.t, "℃"}, *scratch_[from_[i]]);
            }
            double density = 0;
            const SegmentRun run = computeFrom(i, scratch_, density);
            penalty = penaltyOfRun(i, run);
            sure = start.exact && penalty > 0;
            if (run.status == SegmentStatus::computed) reached_[to_[i]] = {run.pend, run.tend, true, start.exact};
        }
        with.amount += penalty - penalty_[i];
        with.pipes += (penalty > 0 ? 1 : 0) - (penalty_[i] > 0 ? 1 : 0);
        shortBefore += penalty_[i] > 0 ? 1 : 0;
        with.surely = with.surely || sure;
        for (const std::size_t child : layout_.leaving[to_[i]]) pending.push_back(child);
    }
    // A pipe the changes do not reach that falls short still does.
    with.surely = with.surely || total_.pipes > shortBefore;
    return with;
}

std::size_t SizingTrial::topOf(const SizeChanges& changes) const
{
    std::size_t top = changes.front().first;
    for (const auto& [pipe, size] : changes) {
        if (position_[pipe] < position_[top]) top = pipe;
    }
    return top;
}

/// Sets the sizes of the changes; gives the sizes they had.
SizeChanges SizingTrial::setAll(const SizeChanges& changes)
{
    SizeChanges old;
    for (const auto& [pipe, size] : changes) {
        old.emplace_back(pipe, size_[pipe]);
        setDn(pipe, size);
    }
    return old;
}

Shortfall SizingTrial::estimateWith(const SizeChanges& changes)
{
    const SizeChanges old = setAll(changes);
    for (const auto& change : changes) changed_[change.first] = true;
    const Shortfall with = estimate(topOf(changes));
    for (const auto& change : changes) changed_[change.first] = false;
    for (auto it = old.rbegin(); it != old.rend(); ++it) setDn(it->first, it->second);
    return with;
}

bool SizingTrial::applyIf(const SizeChanges& changes, const std::function<bool(const Shortfall&)>& keep)
{
    const SizeChanges old = setAll(changes);
    const Shortfall with = walk(topOf(changes));
    if (!keep(with)) {
        for (auto it = old.rbegin(); it != old.rend(); ++it) setDn(it->first, it->second);
        return false;
    }
    commit();
    total_ = with;
    return true;
}

void SizingTrial::apply(const SizeChanges& changes)
{
    applyIf(changes, [](const Shortfall&) { return true; });
}

void SizingTrial::setSizes(const std::vector<int>& sizes)
{
    for (const std::size_t i : sized_) setDn(i, sizes[i]);
    // Afresh from the source, so that the sums hold no rounding of earlier changes.
    std::fill(penalty_.begin(), penalty_.end(), 0);
    total_ = {};
    if (!layout_.source) return;
    for (const std::size_t top : layout_.leaving[*layout_.source]) {
        total_ = walk(top);
        commit();
    }
}

void SizingTrial::restore(Saved saved)
{
    for (const std::size_t i : sized_) setDn(i, saved.sizes[i]);
    runs_ = std::move(saved.runs);
    penalty_ = std::move(saved.penalties);
    density_ = std::move(saved.densities);
    states_ = std::move(saved.states);
    total_ = saved.total;
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
