#include "segment/guanduanjisuan.h"

#include <algorithm>
#include <cmath>

#include "mainwin/stateevaluation.h"
#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "pipes/qiuliusu.h"
#include "segment/iteration.h"
#include "steam/regions.h"

namespace dorvent {
namespace {

using namespace iteration;

constexpr long kMostSections = 32766;      // section numbers are 16-bit

constexpr std::string_view kMeanStateMessage = "管段平均状态不是过热蒸汽，无法求出比热";

/// Properties of superheated steam; false when (T, p) is not in region 2 or 5.
bool steamProperties(double T, double p, SteamState& state, double& v, double& cp)
{
    const std::int16_t area = classifyState(T, p, state);
    if (area != region::steam && area != region::hotSteam) return false;
    double h = 0.0;
    (area == region::steam ? quyu2 : quyu5)(T, p, v, h, cp);
    return true;
}

float designFlow(const SegmentInput& in) { return toSinglePrecision(in.G * static_cast<double>(in.phi)); }

/// Reasons not to start: answered once, before any iteration.
std::string_view checkInput(const SegmentInput& in, float Gd, SteamState& state)
{
    if (in.region0 == region::none) return kStateFirstMessage;
    if (in.region0 != region::steam && in.region0 != region::hotSteam) return kNoStartStateMessage;
    if (const std::string_view refusal = refuseInput(in); !refusal.empty()) return refusal;

    // The pipe and the start density as the first friction step will see them.
    double v = 0.0;
    double cp = 0.0;
    if (!steamProperties(in.T0, in.p0, state, v, cp)) return kNoStartStateMessage;
    double w = 0.0;
    double R = 0.0;
    return qiuliusu(in.region0, Gd, 1.0 / v, in.D, in.s, w, R).message;
}

/// The running values of one calculation.
class Segment {
public:
    Segment(const SegmentInput& in, float Gd, SteamState& state, std::vector<SectionEnd>* trace)
        : in_(in), Gd_(Gd), state_(state), trace_(trace)
    {
    }

    std::string_view run(SegmentResult& result);

private:
    std::string_view section(double dL);
    std::string_view temperatureStep(double dL, double dTa, double Ra);
    std::string_view pressureIteration(double dL, double Ra);

    const SegmentInput& in_;
    const float Gd_;
    SteamState& state_;
    std::vector<SectionEnd>* trace_;

    double Ts = 0, ps = 0, rho_s = 0;      // start of the section
    double Qsum = 0, dTsum = 0;            // accumulated over the sections
    double Te = 0, Tm = 0, pe = 0, pm = 0; // end and mean of the section
    double rho_e = 0, Rn = 0, cpm = 0, Q = 0, dTn = 0;
    bool cpmKnown = false;
};

std::string_view Segment::run(SegmentResult& result)
{
    Ts = in_.T0;
    ps = in_.p0;
    double v = 0.0;
    double h = 0.0;
    double cp = 0.0;
    (in_.region0 == region::hotSteam ? quyu5 : quyu2)(Ts, ps, v, h, cp);
    rho_s = 1.0 / v;

    bool first = true;
    double x = 0.0;
    for (const double dL : sectionLengths(in_.L)) {
        if (!first) {  // the end of the last section starts this one
            Ts -= dTn;
            ps = pe;
            rho_s = rho_e;
        }
        first = false;
        if (const std::string_view failure = section(dL); !failure.empty()) return failure;
        Qsum += Q;
        dTsum += dTn;
        x += dL;
        if (trace_ != nullptr) trace_->push_back({x, pe, Te});
    }

    result.pend = pe;
    result.Tend = Te;
    result.Qsum = Qsum;
    result.dTsum = dTsum;
    result.dTkm = dTsum / (in_.L / 1000.0);
    result.Rmean = 1000000.0 * (in_.p0 - pe) / in_.L;
    if (!finite({result.pend, result.Tend, result.Qsum, result.dTsum, result.dTkm, result.Rmean})) {
        return kDivergedMessage;
    }
    return {};
}

/// Iterates on the temperature drop of one section of length dL [m].
std::string_view Segment::section(double dL)
{
    double dTa = in_.d / 1000.0 * dL;
    double Ra = in_.R0;
    for (int k = 1; k <= kMaximumSteps; ++k) {
        if (k > 1) {
            dTa = dTn;
            Ra = Rn;
        }
        if (const std::string_view failure = temperatureStep(dL, dTa, Ra); !failure.empty()) return failure;
        if (std::fabs((dTn - dTa) / dTa) <= kTolerance) return {};
        if (dTn == 0.0) return kZeroDropMessage;  // it would be the next divisor
    }
    return kNotConvergedMessage;
}

std::string_view Segment::temperatureStep(double dL, double dTa, double Ra)
{
    Te = Ts - dTa;
    Tm = (Te + Ts) * 0.5;
    if (const std::string_view failure = pressureIteration(dL, Ra); !failure.empty()) return failure;

    double v = 0.0;
    double cp = 0.0;
    if (steamProperties(Tm, pm, state_, v, cp)) {
        cpm = cp;
        cpmKnown = true;
    } else if (!cpmKnown) {
        return kMeanStateMessage;
    }  // else the heat capacity of the last mean state still serves

    // Heat loss through the insulation, mean steam temperature in ℃ against the ambient; or, for
    // an insulation construction, its loss at that temperature (W/m, 3.6 kJ/h each).
    if (in_.lossPerMetre) {
        Q = (1.0 + in_.beta) * 3.6 * in_.lossPerMetre(Tm - 273.15) * dL;
    } else {
        Q = (1.0 + in_.beta) * in_.q * ((Tm - 273.15) - in_.ta) * dL;
    }
    dTn = 0.001 * Q / (Gd_ * cpm);  // flow t/h -> kg/h
    return finite({Q, dTn}) ? std::string_view{} : kDivergedMessage;
}

/// Iterates on the pressure drop of the section for the end temperature Te.
std::string_view Segment::pressureIteration(double dL, double Ra)
{
    const double lengthFactor = dL * (1.0 + in_.zeta);  // friction length with local resistances
    double dpa = lengthFactor * Ra / 1000000.0;
    double dpn = 0.0;
    double pn = 0.0;
    for (int j = 1; j <= kMaximumSteps; ++j) {
        if (j == 1) {
            pe = ps - dpa;
        } else {
            dpa = dpn;
            pe = pn;
        }
        pm = (pe + ps) * 0.5;

        double v = 0.0;
        double cp = 0.0;
        if (!steamProperties(Te, pe, state_, v, cp)) return kEndNotSuperheatedMessage;
        rho_e = 1.0 / v;
        const double rho_m = (rho_e + rho_s) * 0.5;
        double w = 0.0;
        if (qiuliusu(in_.region0, Gd_, rho_m, in_.D, in_.s, w, Rn)) return kDivergedMessage;

        dpn = lengthFactor * Rn / 1000000.0;
        pn = ps - dpn;
        if (!finite({rho_e, pn})) return kDivergedMessage;
        if (std::fabs((pn - pe) / pe) <= kTolerance) return {};
    }
    return kNotConvergedMessage;
}

void appendLine(std::string& text, std::string_view label, double value, std::string_view unit)
{
    if (!text.empty()) text += "\r\n";
    text += label;
    text += formatFixed(value, 3);
    text += unit;
}

}  // namespace

namespace {

/// L rounded to whole metres, a tie to the even number; lengths beyond any count of sections
/// are held at 10^12 m.
long wholeMetres(float L)
{
    const double n = std::nearbyint(static_cast<double>(L));
    if (std::isnan(n)) return 0;
    return static_cast<long>(std::clamp(n, -1e12, 1e12));
}

}  // namespace

std::string_view refuseInput(const SegmentInput& in)
{
    if (!finite({in.L, in.zeta, in.beta, in.phi, in.ta, in.q, in.d, in.G, in.D, in.s, in.R0, in.p0, in.T0})) {
        return kOutOfRangeMessage;
    }
    if (in.D < 0) return kNegativeDiameterMessage;
    if (in.s < 0) return kNegativeWallMessage;
    const long sections = sectionCount(in.L);
    if (sections < 1) return kTooShortMessage;
    if (sections > kMostSections) return kTooLongMessage;
    if (in.zeta < 0) return kNegativeZetaMessage;
    if (in.phi < 0) return kNegativePhiMessage;
    if (in.beta < 0) return kNegativeBetaMessage;
    if (in.ta < -273.15) return kBelowAbsoluteZeroMessage;
    if (in.q < 0) return kNegativeHeatLossMessage;
    if (in.d == 0.0) return kNoDropMessage;
    if (in.G < 0) return kNegativeFlowMessage;
    const float Gd = designFlow(in);
    if (Gd == 0.0f) return kNoFlowMessage;
    if (!std::isfinite(Gd)) return kOutOfRangeMessage;
    return {};
}

long sectionCount(float L)
{
    const long n = wholeMetres(L);
    if (n <= 0) return 0;
    return n / 100 + (n % 100 == 0 ? 0 : 1);
}

std::vector<double> sectionLengths(float L)
{
    const long rest = wholeMetres(L) % 100;
    const long sections = sectionCount(L);

    std::vector<double> lengths;
    lengths.reserve(static_cast<std::size_t>(sections));
    float x1 = 0.0f;  // section ends are held in single precision
    for (long i = 1; i <= sections; ++i) {
        const float x0 = x1;
        if (sections == 1) {
            x1 = L;
        } else if (i == sections && rest != 0) {
            x1 = x0 + static_cast<float>(rest);
        } else {
            x1 = x0 + 100.0f;
        }
        lengths.push_back(static_cast<double>(x1) - static_cast<double>(x0));
    }
    return lengths;
}

SegmentOutcome guanduanjisuan(const SegmentInput& in, SteamState& state, std::vector<SectionEnd>* trace)
{
    const float Gd = designFlow(in);
    state.liuliang = Gd;
    SegmentOutcome outcome;
    outcome.failure = checkInput(in, Gd, state);
    if (!outcome.failure.empty()) return outcome;
    Segment segment(in, Gd, state, trace);
    outcome.failure = segment.run(outcome.result);
    return outcome;
}

std::string segmentReport(const SegmentResult& result)
{
    std::string text;
    appendLine(text, "末端压力 ", result.pend, " MPa");
    appendLine(text, "末端温度 ", result.Tend - 273.15, " ℃");
    appendLine(text, "管段热损失 ", result.Qsum / 3600.0, " kW");
    appendLine(text, "管段温度降 ", result.dTsum, " ℃");
    appendLine(text, "每km温度降 ", result.dTkm, " ℃");
    appendLine(text, "平均比摩阻 ", result.Rmean, " Pa/m");
    return text;
}

}  // namespace dorvent
