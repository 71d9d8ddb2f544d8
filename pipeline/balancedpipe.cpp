#include "pipeline/balancedpipe.h"

#include <memory>
#include <utility>
#include <vector>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/precision.h"
#include "segment/energybalance.h"
#include "steam/wetsteam.h"

namespace dorvent {
namespace {

bool superheated(const SteamState& state) { return state.area == region::steam || state.area == region::hotSteam; }

/// The first friction guess from the start density: for superheated steam as computePipe takes
/// it, so that both laws start their iterations alike; for wet steam the mixture's, as steam.
bool guessFriction(const SteamState& state, const EnthalpyState& at, double flow, SegmentInput& in, SegmentRun& run)
{
    if (at.wet || !superheated(state)) return firstFrictionGuess(region::steam, 1.0 / at.v, flow, in, run);
    SteamState evaluated = state;
    return firstFrictionGuess(state.area, refreshDensity(evaluated), flow, in, run);
}

/// The results of a march into run, the heat-loss law's end temperature aside.
void takeResult(const BalanceResult& r, const EnthalpyState& at, const SegmentInput& in, SegmentRun& run)
{
    takeComputed(r, run);
    const double flow = toSinglePrecision(in.G * static_cast<double>(in.phi));  // the march's design flow
    run.balance = BalanceRun{.hend = r.hend, .startDryness = at.dryness, .dryness = r.dryness, .condensate = r.condensate,
                             .water = flow * (1.0 - r.dryness), .saturationDistance = r.saturationDistance};
    // Wet steam is at its saturation temperature: no superheat, however the two saturation lines round.
    if (r.dryness < 1) {
        run.superheat = 0.0;
    } else if (const auto tsat = saturationCelsius(r.pend)) {
        run.superheat = run.tend - *tsat;
    }
}

/// Moves start to the end of a computed pipe.
void moveToEnd(const SegmentRun& run, PipeStart& start)
{
    start.h = run.balance->hend;
    if (run.balance->dryness < 1) {
        start.state = {.p = run.pend, .t = run.tend + kCelsiusZero, .tsheshidu = run.tend, .area = region::saturation};
    } else {
        evaluateSteamParameters({run.pend, "MPa", run.tend, "℃"}, start.state);
    }
}

}  // namespace

std::optional<double> HeatLossLawEnd::celsius() const
{
    if (!celsius_) {
        SteamState state = start_;
        const SegmentOutcome outcome = guanduanjisuan(in_, state);
        celsius_ = outcome.failure.empty() ? std::optional(outcome.result.Tend - kCelsiusZero) : std::nullopt;
    }
    return *celsius_;
}

SegmentRun computeBalancedPipe(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                               PipeStart& start, double lengthBefore)
{
    SegmentRun run;
    run.p0 = start.state.p;
    run.t0 = start.state.tsheshidu;
    const std::optional<EnthalpyState> at = stateAt(start.state.p, start.h);
    if (!at) {
        failRun(run, kStartOutsideRegionsMessage, SegmentField::none);
        return run;
    }
    std::optional<SegmentInput> in = pipeInput(document, s, flow, start.state, lengthBefore, run);
    if (!in || !guessFriction(start.state, *at, *flow.value, *in, run)) return run;

    const SegmentInput compared = *in;  // before the march: an insulation's loss keeps its last solve
    std::vector<BalanceSection> trace;
    const BalanceOutcome outcome = energyBalance(*in, start.h, document.lowestDryness, &trace);
    if (!outcome.failure.empty()) {
        failPipe(run, outcome.failure);
        return run;
    }
    takeResult(outcome.result, *at, *in, run);
    for (const BalanceSection& section : trace) run.sections.push_back({section.x, section.p, section.T, section.dryness});
    if (superheated(start.state)) run.balance->heatLossLaw = std::make_shared<HeatLossLawEnd>(compared, start.state);
    flagPipe(document, s, run);
    moveToEnd(run, start);
    return run;
}

}  // namespace dorvent
