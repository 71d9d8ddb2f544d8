#include "insulation/limits.h"

namespace dorvent::insulation {
namespace {

// GB 50264-2013 5.1.1: at an ambient of at most 25 ℃ the surface may reach 50 ℃; above, the
// ambient plus 25 ℃. The commentary to 5.1.1 says the rule follows DL/T 5072 "with a small
// change": DL/T 5072 puts the step at 27 ℃, the 2013 code at 25 ℃, so the limit is continuous.
constexpr double kSurfaceLimit = 50;
constexpr double kAmbientStep = 25;
constexpr double kRiseAboveAmbient = 25;

// GB 50264-2013 5.6.3: the interface may not exceed 0.9 of the outer material's limit.
constexpr double kInterfaceShare = 0.9;

}  // namespace

double surfaceTemperatureLimit(double ambient)
{
    return ambient <= kAmbientStep ? kSurfaceLimit : ambient + kRiseAboveAmbient;
}

Limits codeLimits(const Surroundings& s, Operation operation)
{
    return {surfaceTemperatureLimit(s.ambient), allowedHeatLoss(s.medium, operation)};
}

Findings checkLimits(const Construction& c, const Surroundings& s, const HeatLoss& loss, const Limits& limits)
{
    Findings f;
    f.surfaceTooHot = loss.surfaceTemperature > limits.surfaceTemperature;
    f.lossUnchecked = !limits.allowedLoss;
    f.lossTooHigh = limits.allowedLoss && loss.perSquareMetre > *limits.allowedLoss;
    // A layer's hottest face is its inner one: T0 for the inner layer, T1 for the outer.
    f.innerLayerTooHot = s.medium > c.inner.material.useUpTo;
    if (c.outer) {
        f.outerLayerTooHot = loss.interfaceTemperature > c.outer->material.useUpTo;
        f.interfaceTooHot = loss.interfaceTemperature > kInterfaceShare * c.outer->material.useUpTo;
    }
    return f;
}

std::vector<std::string_view> findingTexts(const Findings& f)
{
    std::vector<std::string_view> texts;
    if (f.surfaceTooHot) texts.push_back("外表面温度高于限值");
    if (f.lossTooHigh) texts.push_back("热损失高于最大允许热损失");
    if (f.lossUnchecked) texts.push_back("该介质温度无最大允许热损失，请输入允许值");
    if (f.innerLayerTooHot) texts.push_back("介质温度高于（内层）保温材料的推荐使用温度");
    if (f.outerLayerTooHot) texts.push_back("界面温度高于外层材料的推荐使用温度");
    else if (f.interfaceTooHot) texts.push_back("界面温度高于外层材料推荐使用温度的0.9倍");
    return texts;
}

}  // namespace dorvent::insulation
