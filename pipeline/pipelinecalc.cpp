#include "pipeline/pipelinecalc.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "numtext/readnumber.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "refwin/resunshibiao.h"
#include "segment/guanduanjisuan.h"
#include "steam/saturation.h"

namespace dorvent {
namespace {

constexpr double kCelsiusZero = 273.15;  // K

// A main reaches a few tens of km; a bound keeps a file of absurd lengths from holding the window
// for minutes and its profile from filling the memory.
constexpr double kLongestMain = 1000000;  // m
constexpr std::string_view kTooLongMainMessage = "管线总长不能超过1000km";

constexpr std::string_view kAfterFailureMessage = "未计算：前面的管段未算出";
constexpr std::string_view kNoStartMessage = "未计算：起点状态不能计算";

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
std::optional<std::pair<SegmentField, std::string_view>> missingInput(const PipelineSegment& s)
{
    if (s.dn == 0 && (!s.outerDiameter || !s.wall)) return {{SegmentField::pipe, "请输入管道规格"}};
    const std::pair<const std::optional<double>*, std::pair<SegmentField, std::string_view>> required[] = {
        {&s.length, {SegmentField::length, "请输入管段长度"}},
        {&s.zeta, {SegmentField::zeta, "请输入局部阻力系数"}},
        {&s.phi, {SegmentField::phi, "请输入同时使用系数"}},
        {&s.beta, {SegmentField::beta, "请输入局部热损失系数"}},
        {&s.ambient, {SegmentField::ambient, "请输入环境温度"}},
        {&s.dropPerKm, {SegmentField::dropPerKm, "请输入每km假设温降"}},
        {&s.flow, {SegmentField::flow, "请输入蒸汽流量"}},
    };
    for (const auto& [value, what] : required) {
        if (!*value) return what;
    }
    if (s.heatLossSource == HeatLossSource::typed && !s.heatLoss) return {{SegmentField::heatLoss, "请输入单位热损失"}};
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

std::optional<double> saturationCelsius(double p)
{
    double Ts = 0.0;
    if (qiutbaohe(p, Ts)) return std::nullopt;
    return Ts - kCelsiusZero;
}

/// Walks the main: one segment after the other, each from the end state of the one before.
class Main {
public:
    explicit Main(const PipelineDocument& document) : document_(document) {}

    PipelineResult run();

private:
    bool startState();
    SegmentRun segment(const PipelineSegment& s);
    void fail(SegmentRun& run, std::string_view message, SegmentField field);
    void addProfile(double start, const std::vector<SectionEnd>& sections);

    const PipelineDocument& document_;
    PipelineResult result_;
    SteamState state_;  // the start state of the segment under way
};

PipelineResult Main::run()
{
    const bool started = startState();
    for (const PipelineSegment& s : document_.segments) {
        SegmentRun run;
        if (!started) {
            run.message = kNoStartMessage;
        } else if (result_.segments.empty() || result_.segments.back().status == SegmentStatus::computed) {
            run = segment(s);
        } else {
            run.message = kAfterFailureMessage;
        }
        result_.segments.push_back(std::move(run));
    }
    result_.allComputed = std::all_of(result_.segments.begin(), result_.segments.end(),
                                      [](const SegmentRun& run) { return run.status == SegmentStatus::computed; });
    if (!result_.allComputed) result_.totals = {.length = result_.totals.length};
    return result_;
}

/// Evaluates the start state of the document as the main window evaluates its steam parameters.
bool Main::startState()
{
    if (!document_.startPressure) {
        result_.startMessage = "请输入起点压力";
    } else if (!document_.startTemperature) {
        result_.startMessage = "请输入起点温度";
    } else {
        std::string report = evaluateSteamParameters(
            {*document_.startPressure, document_.pressureUnit, *document_.startTemperature, document_.temperatureUnit},
            state_);
        if (state_.area == region::steam || state_.area == region::hotSteam) {
            result_.profile.push_back({0.0, state_.p, state_.tsheshidu, saturationCelsius(state_.p)});
            return true;
        }
        // A range or input message, its halves joined by a blank; or a state that is no steam.
        report.erase(0, report.find_first_not_of(' '));
        report.erase(report.find_last_not_of(' ') + 1);
        result_.startMessage = state_.area == region::none ? report : std::string(kNoStartStateMessage);
    }
    return false;
}

void Main::fail(SegmentRun& run, std::string_view message, SegmentField field)
{
    run.status = SegmentStatus::failed;
    run.message = message;
    run.field = field;
}

SegmentRun Main::segment(const PipelineSegment& s)
{
    SegmentRun run;
    run.p0 = state_.p;
    run.t0 = state_.tsheshidu;
    if (state_.area != region::steam && state_.area != region::hotSteam) {
        fail(run, kNoStartStateMessage, SegmentField::none);
        return run;
    }
    if (const auto text = textInput(s)) {
        fail(run, text->second, text->first);
        return run;
    }
    if (const auto missing = missingInput(s)) {
        fail(run, missing->second, missing->first);
        return run;
    }
    if (result_.totals.length + *s.length > kLongestMain) {  // the totals hold the segments before
        fail(run, kTooLongMainMessage, SegmentField::length);
        return run;
    }
    const PipeSize* pipe = findCatalogueRow(s.dn);
    const double D = pipe != nullptr ? static_cast<double>(pipe->waijing) : *s.outerDiameter;
    const double wall = pipe != nullptr ? static_cast<double>(pipe->bihou) : *s.wall;

    run.heatLoss = s.heatLossSource == HeatLossSource::typed ? s.heatLoss : tableHeatLoss(s.dn, s.heatLossSource, run.t0);
    if (!run.heatLoss) {
        fail(run, s.dn == 0 ? "自选管道没有公称直径，请输入单位热损失"
                  : run.t0 > 350 ? "起点温度高于350℃，热损失表中没有数据，请输入单位热损失"
                                 : "热损失表中没有该公称直径，请输入单位热损失",
             SegmentField::heatLoss);
        return run;
    }

    SegmentInput in{.L = toSinglePrecision(*s.length), .zeta = toSinglePrecision(*s.zeta),
                    .beta = toSinglePrecision(*s.beta), .phi = toSinglePrecision(*s.phi), .ta = *s.ambient,
                    .q = *run.heatLoss, .d = *s.dropPerKm, .G = *s.flow, .D = D, .s = wall, .R0 = 0,
                    .p0 = state_.p, .T0 = state_.t, .region0 = state_.area};
    if (const std::string_view refusal = refuseInput(in); !refusal.empty()) {
        fail(run, refusal, fieldOf(refusal));
        return run;
    }
    // The first friction guess as the main window shows it for the pipe: the segment's own flow
    // at its start density.
    const Refusal refusal =
        qiuliusu(state_.area, toSinglePrecision(*s.flow), refreshDensity(state_), D, wall, run.velocity, in.R0);
    if (refusal) {
        fail(run, refusal.message, fieldOf(refusal.message) == SegmentField::wall ? SegmentField::wall : SegmentField::flow);
        return run;
    }

    std::vector<SectionEnd> sections;
    const SegmentOutcome outcome = guanduanjisuan(in, state_, &sections);
    if (!outcome.failure.empty()) {
        fail(run, outcome.failure, fieldOf(outcome.failure));
        return run;
    }

    const SegmentResult& r = outcome.result;
    run.status = SegmentStatus::computed;
    run.Rmean = r.Rmean;
    run.pressureDrop = run.p0 - r.pend;
    run.pend = r.pend;
    run.tend = r.Tend - kCelsiusZero;
    run.temperatureDrop = r.dTsum;
    run.dropPerKm = r.dTkm;
    run.heatLossKw = r.Qsum / 3600.0;
    if (const auto tsat = saturationCelsius(r.pend)) run.superheat = run.tend - *tsat;
    if (pipe != nullptr) {
        const VelocityBand band = velocityBand(pipe->dn);
        const bool below = run.velocity < band.lowest;
        run.velocityOutsideBand = below || run.velocity > band.highest;
        if (run.velocityOutsideBand) {
            run.velocityNote = "起点流速 " + formatFixed(run.velocity, 3) + " m/s " + (below ? "低于 " : "高于 ") +
                               dnText(*pipe) + " 的允许范围 " + formatShortest(band.lowest) + "–" +
                               formatShortest(band.highest) + " m/s";
        }
    }
    run.superheatBelowMargin = run.superheat && *run.superheat < document_.superheatMargin;
    if (run.superheatBelowMargin) {
        run.superheatNote = "末端过热度 " + formatFixed(*run.superheat, 3) + " ℃ 低于裕量 " +
                            formatShortest(document_.superheatMargin) + " ℃";
    }

    result_.totals.length += *s.length;
    result_.totals.pressureDrop += run.pressureDrop;
    result_.totals.temperatureDrop += run.temperatureDrop;
    result_.totals.heatLossKw += run.heatLossKw;
    addProfile(result_.profile.back().distance, sections);

    // The next segment starts where this one ends, read as the main window reads a typed state.
    evaluateSteamParameters({run.pend, "MPa", run.tend, "℃"}, state_);
    return run;
}

void Main::addProfile(double start, const std::vector<SectionEnd>& sections)
{
    for (const SectionEnd& end : sections) {
        result_.profile.push_back({start + end.x, end.p, end.T - kCelsiusZero, saturationCelsius(end.p)});
    }
    result_.joints.push_back(result_.profile.back().distance);
}

/// The table column of a steam temperature [℃]; 0 above the table.
int bandColumn(double t)
{
    if (t <= 200) return kFirstBandColumn;
    if (t <= 300) return kFirstBandColumn + 1;
    if (t <= 350) return kLastBandColumn;
    return 0;
}

}  // namespace

PipelineResult calculatePipeline(const PipelineDocument& document) { return Main(document).run(); }

std::optional<double> tableHeatLoss(int dn, HeatLossSource laying, double t)
{
    const int method = static_cast<int>(laying);
    const int column = bandColumn(t);
    if (dn <= 0 || method < 1 || method > kLayingMethods || column == 0) return std::nullopt;
    for (int row = 1; row <= kHeatLossRows; ++row) {
        if (resunshi(method, row, 1) >= static_cast<float>(dn)) {
            // As the heat-loss window hands it to the main window: its shortest text, read.
            return readNumber(formatShortest(resunshi(method, row, column)));
        }
    }
    return std::nullopt;
}

}  // namespace dorvent
