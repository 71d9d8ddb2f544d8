#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mainwin/steamstate.h"

namespace dorvent {

/// What the segment calculation starts from.
struct SegmentInput {
    float L = 0;       ///< segment length [m]
    float zeta = 0;    ///< local resistance: extra friction length as a fraction of L
    float beta = 0;    ///< local heat loss: extra heat loss as a fraction of the pipe's own
    float phi = 0;     ///< simultaneous-use coefficient, multiplies the flow
    double ta = 0;     ///< ambient temperature [℃]
    double q = 0;      ///< unit heat loss [kJ/(m·h·℃)]
    double d = 0;      ///< assumed temperature drop [℃/km], first guess only
    double G = 0;      ///< steam flow [t/h]
    double D = 0;      ///< pipe outer diameter [mm]
    double s = 0;      ///< pipe wall thickness [mm]
    double R0 = 0;     ///< specific friction loss of the chosen pipe [Pa/m], first guess only
    double p0 = 0;     ///< start pressure [MPa]
    double T0 = 0;     ///< start temperature [K]
    std::int16_t region0 = 0;
    /// Where set, the heat lost per metre of pipe [W/m] at a mean steam temperature [℃], in place
    /// of q·(Tm − ta): an insulation computed at each section's own temperature. NaN where it has
    /// no value.
    std::function<double(double)> lossPerMetre{};
};

/// The state at the far end of the segment and what the segment lost.
struct SegmentResult {
    double pend = 0;   ///< end pressure [MPa]
    double Tend = 0;   ///< end temperature [K]
    double Qsum = 0;   ///< heat loss [kJ/h]
    double dTsum = 0;  ///< temperature drop [K]
    double dTkm = 0;   ///< temperature drop per km [K/km]
    double Rmean = 0;  ///< mean specific friction loss [Pa/m]
};

/// The state at the end of one section, for a profile along the segment.
struct SectionEnd {
    double x;  ///< distance from the start of the segment [m]
    double p;  ///< pressure [MPa]
    double T;  ///< temperature [K]
    double dryness = 1;  ///< below 1 only where a pipe computed by its energy balance carries wet steam
};

/// A result, or the reason there is none (failure not empty).
struct SegmentOutcome {
    SegmentResult result;
    std::string_view failure;
};

inline constexpr std::string_view kEndNotSuperheatedMessage =
    "压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算";
inline constexpr std::string_view kNoStartStateMessage = "管段起点蒸汽不是过热蒸汽，不能用本程序计算";
// A length of up to 0.5 m rounds to no whole metre and so to no section; 3276600.5 m, a tie
// rounded to the even 3276600, is the longest that needs no more than 32766 sections.
inline constexpr std::string_view kTooShortMessage = "管段长度应大于0.5m";
inline constexpr std::string_view kTooLongMessage = "管段长度不能超过3276600.5m";
inline constexpr std::string_view kNoDropMessage = "假设每km温降不能为0";
inline constexpr std::string_view kNoFlowMessage = "蒸汽流量与同时使用系数之积不能为0";
inline constexpr std::string_view kZeroDropMessage =
    "管段温度降为0（单位热损失为0或蒸汽温度等于环境温度），无法迭代计算";
inline constexpr std::string_view kOutOfRangeMessage = "输入数值超出计算范围，无法计算";
// Inputs without physical meaning: the steam would gain heat or pressure along the pipe.
inline constexpr std::string_view kNegativeDiameterMessage = "外径不能为负数";
inline constexpr std::string_view kNegativeWallMessage = "壁厚不能为负数";
inline constexpr std::string_view kNegativeZetaMessage = "局部阻力系数不能为负数";
inline constexpr std::string_view kNegativePhiMessage = "同时使用系数不能为负数";
inline constexpr std::string_view kNegativeBetaMessage = "局部热损失系数不能为负数";
inline constexpr std::string_view kBelowAbsoluteZeroMessage = "环境温度不能低于-273.15℃";
inline constexpr std::string_view kNegativeHeatLossMessage = "单位热损失不能为负数";
inline constexpr std::string_view kNegativeFlowMessage = "蒸汽流量不能为负数";

/// Why the inputs of a segment cannot be computed, whatever the start state: a number beyond
/// the range of numbers, a length of no section or of too many, an input without physical
/// meaning, a first drop guess or a design flow of 0. Empty when they can. The pipe and the
/// inputs come in the order the main window asks for them.
std::string_view refuseInput(const SegmentInput& in);

/// Solves the segment in sections of 100 m, each by an iteration on its temperature drop
/// with an iteration on its pressure drop inside every step. Stores the design flow in
/// state.liuliang; the classification of the states on the way updates the boundary values of
/// state as the state report does. Shows nothing: a failure comes back as its message.
/// With a trace, the end of every section is appended to it.
SegmentOutcome guanduanjisuan(const SegmentInput& in, SteamState& state, std::vector<SectionEnd>* trace = nullptr);

/// The number of sections of a segment of length L [m]; 0 when L rounds to no whole metre.
long sectionCount(float L);

/// The lengths [m] of the sections of a segment of length L [m]: L rounded to whole metres
/// (a tie to the even number) in sections of 100 m and a last one of the rest, or a single
/// section of exactly L when that is shorter than 100.5 m.
std::vector<double> sectionLengths(float L);

/// The six result lines, joined by "\r\n".
std::string segmentReport(const SegmentResult& result);

}  // namespace dorvent
