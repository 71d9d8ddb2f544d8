#pragma once

// One pipe of a main or a network, computed from the state at its start: the work that the
// series walk and the network walk share, so that a path through a network gives the numbers of
// a series main of the same pipes to the last digit.

#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

#include "mainwin/steamstate.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"
#include "segment/guanduanjisuan.h"

namespace dorvent {

inline constexpr double kCelsiusZero = 273.15;  // K

/// The flow a pipe carries: typed, or summed from downstream; when there is none, why.
struct PipeFlow {
    std::optional<double> value;
    bool summed = false;
    std::string missing = "请输入蒸汽流量";
    std::string shortNote{};  ///< a typed flow below what leaves its end node: the flow leaving
};

/// The steam where a pipe starts. Under 按热损失 the state as the main window reads a typed one;
/// under 按焓平衡 also its enthalpy, which goes on where (p, T) cannot: past saturation the state
/// holds only p, the saturation temperature and region::saturation.
struct PipeStart {
    SteamState state{};
    double h = 0;  ///< [kJ/kg], under 按焓平衡
};

/// Evaluates a document's start into start as startStateOf does, with its enthalpy under
/// 按焓平衡; empty when it can be used, else why.
std::string startOf(const PipelineDocument& document, PipeStart& start);

/// Computes one pipe by the document's temperature law: computePipe under 按热损失,
/// computeBalancedPipe under 按焓平衡. On success start becomes its end.
SegmentRun computePipeByLaw(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                            PipeStart& start, double lengthBefore);

/// Computes one pipe of the document from state with the segment calculation of the main window,
/// its first friction guess that of its pipe for its flow at its start density; an insulated pipe
/// loses in each section what its construction loses at the section's mean temperature. On
/// success state becomes its end state, read as the main window reads a typed state.
/// lengthBefore: of the pipes computed before it [m], which with it may not pass 1000 km.
SegmentRun computePipe(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                       SteamState& state, double lengthBefore);

/// The steps of computePipe that do not depend on the temperature law, for the energy balance.
///
/// The segment input of a pipe starting in state (run.p0 and run.t0 already set from it): every
/// refusal before the calculation, in the order the main window gives them, fails run and leaves
/// none. Sets the flow, the unit heat loss and an insulated pipe's check at its start on run.
std::optional<SegmentInput> pipeInput(const PipelineDocument& document, const PipelineSegment& s, const PipeFlow& flow,
                                      const SteamState& state, double lengthBefore, SegmentRun& run);
/// The first friction guess of in and the start velocity of run: the pipe's flow [t/h] at the
/// start density; false, with run failed, where the pipe hydraulics refuse them.
bool firstFrictionGuess(std::int16_t area, double density, double flow, SegmentInput& in, SegmentRun& run);
/// The flags of a computed pipe and their notes: its start velocity against its DN class's band,
/// its end superheat against the document's margin.
void flagPipe(const PipelineDocument& document, const PipelineSegment& s, SegmentRun& run);

/// Marks run computed with what either law gives alike: a SegmentResult or a BalanceResult.
template <typename Result>
void takeComputed(const Result& r, SegmentRun& run)
{
    run.status = SegmentStatus::computed;
    run.Rmean = r.Rmean;
    run.pressureDrop = run.p0 - r.pend;
    run.pend = r.pend;
    run.tend = r.Tend - kCelsiusZero;
    run.temperatureDrop = r.dTsum;
    run.dropPerKm = r.dTkm;
    run.heatLossKw = r.Qsum / 3600.0;
}
/// Fails run with a message, marking the input it is about.
void failRun(SegmentRun& run, std::string_view message, SegmentField field);
/// Fails run with a failure of the segment calculation, marking the input it names, if any.
void failPipe(SegmentRun& run, std::string_view failure);

/// Evaluates a document's start state into state as the main window evaluates its steam
/// parameters; empty when it is superheated steam, else why it cannot be used.
std::string startStateOf(const PipelineDocument& document, SteamState& state);

/// Adds the condensate a pipe computed by its energy balance forms to the totals.
void addCondensate(PipelineTotals& totals, const SegmentRun& run);

/// Appends the section ends of a computed segment to a profile that ends where the segment
/// starts, and the distance of its end to joints.
void appendSections(std::vector<ProfilePoint>& profile, std::vector<double>& joints, const SegmentRun& run);

/// The saturation temperature at p [MPa], in ℃; none above the critical pressure or below the
/// triple point.
std::optional<double> saturationCelsius(double p);

}  // namespace dorvent
