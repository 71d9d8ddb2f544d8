#include "segment/energybalance.h"

#include <cmath>

#include "mainwin/steamstate.h"
#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "pipes/qiuliusu.h"
#include "segment/iteration.h"
#include "steam/wetsteam.h"

namespace dorvent {
namespace {

using namespace iteration;

constexpr std::string_view kOutsideRegionsMessage = "蒸汽状态超出IF97过热蒸汽区和湿蒸汽区的范围，无法求出管段末端参数";
constexpr std::string_view kNoPressureLeftMessage = "压降过大，管段末端压力降至0以下，无法计算";

std::string tooWetMessage(double distance, double lowestDryness)
{
    return "蒸汽干度在距管段起点约 " + formatFixed(distance, 0) + " m 处降至最低干度 " + formatShortest(lowestDryness) +
           " 以下，均相流计算到此为止";
}

/// The running values of one calculation.
class Balance {
public:
    Balance(const SegmentInput& in, float Gd, double lowestDryness, std::vector<BalanceSection>* trace)
        : in_(in), Gd_(Gd), lowest_(lowestDryness), trace_(trace)
    {
    }

    std::string run(double h0, BalanceResult& result);

private:
    std::string section(double dL);
    std::string_view pressureIteration(double dL, double Ra);
    double heatLoss(double Tm, double dL) const;
    std::optional<double> reached(double dryness) const;
    bool condensedWholly() const;
    void noteSaturation(double x0, double dL);

    const SegmentInput& in_;
    const float Gd_;
    const double lowest_;
    std::vector<BalanceSection>* trace_;

    double ps = 0, hs = 0, Ts = 0, rho_s = 0, xs = 1;  // start of the section
    bool wetStart = false;
    double pe = 0, he = 0, Te = 0, rho_e = 0, xe = 1;   // end of the section
    bool wetEnd = false;
    double Rn = 0, Q = 0;
    double Qsum = 0;
    std::optional<double> saturation;
};

/// Heat lost by a section of length dL [m] at the mean steam temperature Tm [K], in kJ/h: by the
/// unit heat loss, or by the insulation at that temperature (W/m, 3.6 kJ/h each).
double Balance::heatLoss(double Tm, double dL) const
{
    if (in_.lossPerMetre) return (1.0 + in_.beta) * 3.6 * in_.lossPerMetre(Tm - 273.15) * dL;
    return (1.0 + in_.beta) * in_.q * ((Tm - 273.15) - in_.ta) * dL;
}

std::string Balance::run(double h0, BalanceResult& result)
{
    const std::optional<EnthalpyState> start = stateAt(in_.p0, h0);
    if (!start) return std::string(kStartOutsideRegionsMessage);
    if (start->dryness < lowest_) return tooWetMessage(0, lowest_);
    double w = 0.0;
    if (const Refusal refusal = qiuliusu(region::steam, Gd_, 1.0 / start->v, in_.D, in_.s, w, Rn); refusal) {
        return std::string(refusal.message);
    }
    Rn = in_.R0;  // the first friction guess, as the heat-loss law takes it

    ps = in_.p0;
    hs = h0;
    Ts = start->T;
    rho_s = 1.0 / start->v;
    xs = start->dryness;
    wetStart = start->wet;
    double x = 0.0;
    for (const double dL : sectionLengths(in_.L)) {
        if (std::string failure = section(dL); !failure.empty()) {
            // Steam that condenses wholly within a section leaves the wet region at its end: it fell
            // below the lowest dryness on the way, and where is what the engineer needs.
            if (failure == kOutsideRegionsMessage && condensedWholly()) return tooWetMessage(x + dL * reached(lowest_).value_or(1.0), lowest_);
            return failure;
        }
        if (wetEnd && xe < lowest_) return tooWetMessage(x + dL * reached(lowest_).value_or(1.0), lowest_);
        if (wetEnd && !wetStart && !saturation) noteSaturation(x, dL);
        Qsum += Q;
        x += dL;
        if (trace_ != nullptr) trace_->push_back({x, pe, Te, xe});
        ps = pe;
        hs = he;
        Ts = Te;
        rho_s = rho_e;
        xs = xe;
        wetStart = wetEnd;
    }

    result.pend = pe;
    result.Tend = Te;
    result.hend = he;
    result.dryness = xe;
    result.Qsum = Qsum;
    result.dTsum = start->T - Te;
    result.dTkm = result.dTsum / (in_.L / 1000.0);
    result.Rmean = 1000000.0 * (in_.p0 - pe) / in_.L;
    result.condensate = Gd_ * (start->dryness - xe);
    result.saturationDistance = saturation;
    if (!finite({result.pend, result.Tend, result.hend, result.Qsum, result.dTsum, result.Rmean, result.condensate})) {
        return std::string(kDivergedMessage);
    }
    return {};
}

/// Iterates on the enthalpy drop of one section of length dL [m], as the heat-loss law does on
/// its temperature drop. The drop accepted is the one of the heat last computed, so that the heat
/// lost equals G·Δh however loosely the iteration converged.
std::string Balance::section(double dL)
{
    double dha = 0.001 * heatLoss(Ts, dL) / Gd_;  // as if lost at the start temperature; kg/h = 1000 t/h
    double Ra = Rn;
    for (int k = 1; k <= kMaximumSteps; ++k) {
        he = hs - dha;
        if (const std::string_view failure = pressureIteration(dL, Ra); !failure.empty()) return std::string(failure);
        Ra = Rn;
        Q = heatLoss((Ts + Te) * 0.5, dL);
        const double dhn = 0.001 * Q / Gd_;
        if (!finite({Q, dhn})) return std::string(kDivergedMessage);
        if (std::fabs(dhn - dha) <= kTolerance * std::fabs(dha)) {
            he = hs - dhn;
            const std::optional<EnthalpyState> end = stateAt(pe, he);
            if (!end) return std::string(kOutsideRegionsMessage);
            Te = end->T;
            rho_e = 1.0 / end->v;
            xe = end->dryness;
            wetEnd = end->wet;
            return {};
        }
        dha = dhn;
    }
    return std::string(kNotConvergedMessage);
}

/// Iterates on the pressure drop of the section for the end enthalpy he, with the friction law
/// of the segment calculation at the mean density (of the mixture, when wet).
std::string_view Balance::pressureIteration(double dL, double Ra)
{
    const double lengthFactor = dL * (1.0 + in_.zeta);
    double pn = ps - lengthFactor * Ra / 1000000.0;
    for (int j = 1; j <= kMaximumSteps; ++j) {
        pe = pn;
        if (!(pe > 0.0)) return kNoPressureLeftMessage;
        const std::optional<EnthalpyState> end = stateAt(pe, he);
        if (!end) return kOutsideRegionsMessage;
        Te = end->T;
        rho_e = 1.0 / end->v;
        double w = 0.0;
        if (qiuliusu(region::steam, Gd_, (rho_s + rho_e) * 0.5, in_.D, in_.s, w, Rn)) return kDivergedMessage;
        pn = ps - lengthFactor * Rn / 1000000.0;
        if (!std::isfinite(pn)) return kDivergedMessage;
        if (std::fabs((pn - pe) / pe) <= kTolerance) return {};
    }
    return kNotConvergedMessage;
}

/// Whether the section's end lies below the saturated liquid: all the steam condensed.
bool Balance::condensedWholly() const
{
    const std::optional<SaturationProperties> atEnd = pe > 0 ? saturationAt(pe) : std::nullopt;
    return atEnd && he < atEnd->hLiquid;
}

/// How far into the section [0, 1] the steam reached a dryness: h falls and the enthalpy of that
/// dryness, h′ + x (h″ − h′) at p, changes along it, both taken as straight within the section.
std::optional<double> Balance::reached(double dryness) const
{
    const std::optional<SaturationProperties> atStart = saturationAt(ps);
    const std::optional<SaturationProperties> atEnd = saturationAt(pe);
    if (!atStart || !atEnd) return std::nullopt;
    const auto at = [dryness](const SaturationProperties& s) { return s.hLiquid + dryness * (s.hVapour - s.hLiquid); };
    const double above = hs - at(*atStart);  // >= 0: drier at the start
    const double below = he - at(*atEnd);    // < 0: wetter at the end
    if (!(above >= 0 && above - below > 0)) return std::nullopt;
    return above / (above - below);
}

/// Where in the section that starts at x0 [m] the steam became saturated; a trace gets that point
/// too, so that a profile bends where the temperature meets the saturation line.
void Balance::noteSaturation(double x0, double dL)
{
    const double f = reached(1.0).value_or(1.0);
    saturation = x0 + dL * f;
    if (trace_ == nullptr || !(f > 0 && f < 1)) return;
    const double p = ps + f * (pe - ps);
    if (const std::optional<SaturationProperties> at = saturationAt(p)) trace_->push_back({*saturation, p, at->T, 1.0});
}

}  // namespace

BalanceOutcome energyBalance(const SegmentInput& in, double h0, double lowestDryness,
                             std::vector<BalanceSection>* trace)
{
    BalanceOutcome outcome;
    // The assumed temperature drop only guesses the heat-loss law's first step: not needed here.
    SegmentInput checked = in;
    checked.d = 1.0;
    if (const std::string_view refusal = refuseInput(checked); !refusal.empty()) {
        outcome.failure = refusal;
        return outcome;
    }
    const float Gd = toSinglePrecision(in.G * static_cast<double>(in.phi));
    Balance balance(in, Gd, lowestDryness, trace);
    outcome.failure = balance.run(h0, outcome.result);
    return outcome;
}

}  // namespace dorvent
