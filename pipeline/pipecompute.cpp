#include "pipeline/pipecompute.h"

#include <limits>
#include <string_view>
#include <utility>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "pipeline/balancedpipe.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "segment/guanduanjisuan.h"
#include "steam/saturation.h"

namespace dorvent {
namespace {

// A main reaches a few tens of km; a bound keeps a file of absurd lengths from holding the window
// for minutes and its profile from filling the memory.
constexpr double kLongestMain = 1000000;  // m
constexpr std::string_view kTooLongMainMessage = "管线总长不能超过1000km";

/// The first input that holds a text and no number, in the order the main window asks for them;
/// the pipe's dimensions only for a pipe of one's own, the heat loss only when it is typed.
std::optional<std::pair<SegmentField, std::string>> textInput(const PipelineSegment& s)
{
    static constexpr struct {
        std::string_view key;
        SegmentField field;
        std::string_view name;
    } inputs[] = {
        {"outerDiameter", SegmentField::outerDiameter, "外径"}, {"wall", SegmentField::wall, "壁厚"},
        {"length", SegmentField::length, "管段长度"},          {"zeta", SegmentField::zeta, "局部阻力系数"},
        {"phi", SegmentField::phi, "同时使用系数"},            {"beta", SegmentField::beta, "局部热损失系数"},
        {"ambient", SegmentField::ambient, "环境温度"},        {"dropPerKm", SegmentField::dropPerKm, "每km假设温降"},
        {"flow", SegmentField::flow, "蒸汽流量"},              {"heatLoss", SegmentField::heatLoss, "单位热损失"},
    };
    for (const auto& input : inputs) {
        const auto kept = s.notNumbers.find(std::string(input.key));
        if (kept == s.notNumbers.end()) continue;
        const bool pipe = input.field == SegmentField::outerDiameter || input.field == SegmentField::wall;
        if ((pipe && s.dn != 0) || (input.field == SegmentField::heatLoss && s.heatLossSource != HeatLossSource::typed)) {
            continue;
        }
        return {{input.field, std::string(input.name) + notNumberReason(kept->second)}};
    }
    return std::nullopt;
}

/// The first input left empty, in the order the main window asks for them.
std::optional<std::pair<SegmentField, std::string>> missingInput(const PipelineSegment& s, const PipeFlow& flow)
{
    if (s.dn == 0 && (!s.outerDiameter || !s.wall)) return {{SegmentField::pipe, std::string("请输入管道规格")}};
    const std::pair<const std::optional<double>*, std::pair<SegmentField, std::string_view>> required[] = {
        {&s.length, {SegmentField::length, "请输入管段长度"}},
        {&s.zeta, {SegmentField::zeta, "请输入局部阻力系数"}},
        {&s.phi, {SegmentField::phi, "请输入同时使用系数"}},
        {&s.beta, {SegmentField::beta, "请输入局部热损失系数"}},
        {&s.ambient, {SegmentField::ambient, "请输入环境温度"}},
        {&s.dropPerKm, {SegmentField::dropPerKm, "请输入每km假设温降"}},
    };
    for (const auto& [value, what] : required) {
        if (!*value) return std::pair(what.first, std::string(what.second));
    }
    if (!flow.value) return {{SegmentField::flow, flow.missing}};
    if (s.heatLossSource == HeatLossSource::typed && !s.heatLoss) {
        return {{SegmentField::heatLoss, std::string("请输入单位热损失")}};
    }
    return std::nullopt;
}

/// The input that a refusal of the segment calculation or of the pipe hydraulics is about.
SegmentField fieldOf(std::string_view failure)
{
    static constexpr std::pair<std::string_view, SegmentField> fields[] = {
        {kNegativeDiameterMessage, SegmentField::outerDiameter}, {kNegativeWallMessage, SegmentField::wall},
        {kWallThicknessMessage, SegmentField::wall},             {kTooShortMessage, SegmentField::length},
        {kTooLongMessage, SegmentField::length},                 {kNegativeZetaMessage, SegmentField::zeta},
        {kNegativePhiMessage, SegmentField::phi},                {kNegativeBetaMessage, SegmentField::beta},
        {kBelowAbsoluteZeroMessage, SegmentField::ambient},      {kNegativeHeatLossMessage, SegmentField::heatLoss},
        {kZeroDropMessage, SegmentField::heatLoss},              {kNoDropMessage, SegmentField::dropPerKm},
        {kNegativeFlowMessage, SegmentField::flow},              {kNoFlowMessage, SegmentField::flow},
    };
    for (const auto& [message, field] : fields) {
        if (failure == message) return field;
    }
    return SegmentField::none;
}

}  // namespace

void failRun(SegmentRun& run, std::string_view message, SegmentField field)
{
    run.status = SegmentStatus::failed;
    run.message = message;
    run.field = field;
}

void failPipe(SegmentRun& run, std::string_view failure) { failRun(run, failure, fieldOf(failure)); }

std::optional<double> saturationCelsius(double p)
{
    double Ts = 0.0;
    if (qiutbaohe(p, Ts)) return std::nullopt;
    return Ts - kCelsiusZero;
}

void appendSections(std::vector<ProfilePoint>& profile, std::vector<double>& joints, const SegmentRun& run)
{
    const double start = profile.empty() ? 0.0 : profile.back().distance;
    for (const SectionEnd& end : run.sections) {
        profile.push_back({start + end.x, end.p, end.T - kCelsiusZero, saturationCelsius(end.p), end.dryness});
    }
    joints.push_back(profile.back().distance);
}

void addCondensate(PipelineTotals& totals, const SegmentRun& run)
{
    if (run.balance) totals.condensate = totals.condensate.value_or(0.0) + run.balance->condensate;
}

std::string startStateOf(const PipelineDocument& document, SteamState& state)
{
    if (!document.startPressure) return "请输入起点压力";
    if (!document.startTemperature) return "请输入起点温度";
    std::string report = evaluateSteamParameters(
        {*document.startPressure, document.pressureUnit, *document.startTemperature, document.temperatureUnit}, state);
    if (state.area == region::steam || state.area == region::hotSteam) return {};
    // A range or input message, its halves joined by a blank; or a state that is no steam.
    report.erase(0, report.find_first_not_of(' '));
    report.erase(report.find_last_not_of(' ') + 1);
    return state.area == region::none ? report : std::string(kNoStartStateMessage);
}

std::optional<SegmentInput> pipeInput(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                                      const SteamState& state, double lengthBefore, SegmentRun& run)
{
    if (const auto text = textInput(s)) {
        failRun(run, text->second, text->first);
        return std::nullopt;
    }
    run.flow = flow.value;
    run.flowSummed = flow.summed;
    if (const auto missing = missingInput(s, flow)) {
        failRun(run, missing->second, missing->first);
        return std::nullopt;
    }
    if (lengthBefore + *s.length > kLongestMain) {
        failRun(run, kTooLongMainMessage, SegmentField::length);
        return std::nullopt;
    }
    const PipeSize* pipe = findCatalogueRow(s.dn);
    const double D = pipe != nullptr ? static_cast<double>(pipe->waijing) : *s.outerDiameter;
    const double wall = pipe != nullptr ? static_cast<double>(pipe->bihou) : *s.wall;

    std::optional<PipeInsulation> insulated;
    if (s.heatLossSource == HeatLossSource::insulated) {
        auto found = pipeInsulation(document, s, D, *s.ambient);
        if (const auto* why = std::get_if<std::string>(&found)) {
            failRun(run, *why, SegmentField::heatLoss);
            return std::nullopt;
        }
        insulated = std::get<PipeInsulation>(found);
        const auto check = checkInsulation(document, *insulated, run.t0);
        if (!check) {
            failRun(run, check.reason(), SegmentField::heatLoss);
            return std::nullopt;
        }
        run.insulation = *check;
        // As a unit heat loss at the start, for the table's column: W/m are 3.6 kJ/(m·h).
        run.heatLoss = check->perMetre * 3.6 / (run.t0 - *s.ambient);
    } else {
        run.heatLoss = s.heatLossSource == HeatLossSource::typed ? s.heatLoss : tableHeatLoss(s.dn, s.heatLossSource, run.t0);
    }
    if (!run.heatLoss) {
        failRun(run, s.dn == 0 ? "自选管道没有公称直径，请输入单位热损失"
                  : run.t0 > 350 ? "起点温度高于350℃，热损失表中没有数据，请输入单位热损失"
                                 : "热损失表中没有该公称直径，请输入单位热损失",
             SegmentField::heatLoss);
        return std::nullopt;
    }

    SegmentInput in{.L = toSinglePrecision(*s.length), .zeta = toSinglePrecision(*s.zeta),
                    .beta = toSinglePrecision(*s.beta), .phi = toSinglePrecision(*s.phi), .ta = *s.ambient,
                    .q = *run.heatLoss, .d = *s.dropPerKm, .G = *flow.value, .D = D, .s = wall, .R0 = 0,
                    .p0 = state.p, .T0 = state.t, .region0 = state.area};
    if (insulated) {
        // Each section's temperature is near the last one's: its solve starts from the last answer.
        in.lossPerMetre = [pipe = std::move(*insulated), last = std::optional<insulation::HeatLoss>()](double t) mutable {
            const auto loss = pipe.at(t, last ? &*last : nullptr);
            if (!loss) return std::numeric_limits<double>::quiet_NaN();
            last = *loss;
            return loss->perMetre;
        };
    }
    if (const std::string_view refusal = refuseInput(in); !refusal.empty()) {
        failRun(run, refusal, fieldOf(refusal));
        return std::nullopt;
    }
    return in;
}

bool firstFrictionGuess(std::int16_t area, double density, double flow, SegmentInput& in, SegmentRun& run)
{
    const Refusal refusal = qiuliusu(area, toSinglePrecision(flow), density, in.D, in.s, run.velocity, in.R0);
    if (refusal) {
        failRun(run, refusal.message, fieldOf(refusal.message) == SegmentField::wall ? SegmentField::wall : SegmentField::flow);
    }
    return !refusal;
}

void flagPipe(const PipelineDocument& document, const PipelineSegment& s, SegmentRun& run)
{
    if (const PipeSize* pipe = findCatalogueRow(s.dn)) {
        const VelocityBand band = velocityBand(pipe->dn);
        const bool below = run.velocity < band.lowest;
        run.velocityBelowBand = below;
        run.velocityAboveBand = run.velocity > band.highest;
        if (below || run.velocityAboveBand) {
            run.velocityNote = "起点流速 " + formatFixed(run.velocity, 3) + " m/s " + (below ? "低于 " : "高于 ") +
                               dnText(*pipe) + " 的允许范围 " + formatShortest(band.lowest) + "–" +
                               formatShortest(band.highest) + " m/s";
        }
    }
    run.superheatBelowMargin = run.superheat && *run.superheat < document.superheatMargin;
    if (!run.superheatBelowMargin) return;
    const std::string margin = "低于裕量 " + formatShortest(document.superheatMargin) + " ℃";
    if (run.balance && run.balance->dryness < 1) {
        run.superheatNote = "末端为湿蒸汽（干度 " + formatFixed(run.balance->dryness, 3) + "），没有过热度，" + margin;
    } else {
        run.superheatNote = "末端过热度 " + formatFixed(*run.superheat, 3) + " ℃ " + margin;
    }
}

std::string startOf(const PipelineDocument& document, PipeStart& start)
{
    std::string why = startStateOf(document, start.state);
    if (why.empty() && document.temperatureLaw == TemperatureLaw::enthalpyBalance) {
        SteamState evaluated = start.state;
        refreshDensity(evaluated);
        start.h = evaluated.bihan;
    }
    return why;
}

SegmentRun computePipeByLaw(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                            PipeStart& start, double lengthBefore)
{
    if (document.temperatureLaw == TemperatureLaw::enthalpyBalance) {
        return computeBalancedPipe(document, s, flow, start, lengthBefore);
    }
    return computePipe(document, s, flow, start.state, lengthBefore);
}

SegmentRun computePipe(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                       SteamState& state, double lengthBefore)
{
    SegmentRun run;
    run.p0 = state.p;
    run.t0 = state.tsheshidu;
    if (state.area != region::steam && state.area != region::hotSteam) {
        failRun(run, kNoStartStateMessage, SegmentField::none);
        return run;
    }
    std::optional<SegmentInput> in = pipeInput(document, s, flow, state, lengthBefore, run);
    // The first friction guess as the main window shows it for the pipe: the segment's own flow
    // at its start density.
    if (!in || !firstFrictionGuess(state.area, refreshDensity(state), *flow.value, *in, run)) return run;

    const SegmentOutcome outcome = guanduanjisuan(*in, state, &run.sections);
    if (!outcome.failure.empty()) {
        failPipe(run, outcome.failure);
        return run;
    }

    takeComputed(outcome.result, run);
    if (const auto tsat = saturationCelsius(run.pend)) run.superheat = run.tend - *tsat;
    flagPipe(document, s, run);

    // The next segment starts where this one ends, read as the main window reads a typed state.
    evaluateSteamParameters({run.pend, "MPa", run.tend, "℃"}, state);
    return run;
}

}  // namespace dorvent
