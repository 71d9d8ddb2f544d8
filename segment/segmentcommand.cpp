#include "segment/segmentcommand.h"

#include "numtext/precision.h"
#include "numtext/readnumber.h"
#include "segment/guanduanjisuan.h"

namespace dorvent {
namespace {

/// The message for the first input left empty, in the order the engineer is asked; "" when
/// everything is there. Only the exact empty text counts as missing.
std::string_view missingInput(const SegmentTexts& texts)
{
    if (texts.dn.empty() || texts.waijing.empty() || texts.bihou.empty()) return "请输入管道规格";
    const std::pair<std::string_view, std::string_view> required[] = {
        {texts.length, "请输入管段长度"},       {texts.zeta, "请输入局部阻力系数"},
        {texts.phi, "请输入同时使用系数"},      {texts.beta, "请输入局部热损失系数"},
        {texts.ambient, "请输入环境温度"},      {texts.heatLoss, "请输入单位热损失"},
        {texts.drop, "请输入每km假设温降"},
    };
    for (const auto& [text, message] : required) {
        if (text.empty()) return message;
    }
    return {};
}

float readSingle(std::string_view text) { return toSinglePrecision(readNumber(text)); }

}  // namespace

SegmentInput readSegmentInput(const SegmentTexts& texts, const SteamState& state)
{
    SegmentInput in;
    in.L = readSingle(texts.length);
    in.zeta = readSingle(texts.zeta);
    in.beta = readSingle(texts.beta);
    in.phi = readSingle(texts.phi);
    in.ta = readNumber(texts.ambient);
    in.q = readNumber(texts.heatLoss);
    in.d = readNumber(texts.drop);
    in.G = readNumber(texts.flow);
    in.D = readNumber(texts.waijing);
    in.s = readNumber(texts.bihou);
    in.R0 = readNumber(texts.friction);
    in.p0 = state.p;
    in.T0 = state.t;
    in.region0 = state.area;
    return in;
}

std::string runSegmentCalculation(const SegmentTexts& texts, SteamState& state)
{
    if (const std::string_view missing = missingInput(texts); !missing.empty()) return std::string(missing);
    const SegmentOutcome outcome = guanduanjisuan(readSegmentInput(texts, state), state);
    if (!outcome.failure.empty()) return std::string(outcome.failure);
    return segmentReport(outcome.result);
}

}  // namespace dorvent
