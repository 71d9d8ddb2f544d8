#include "insulation/thickness.h"

#include <cmath>

namespace dorvent::insulation {
namespace {

constexpr std::string_view kNoneMeets = "在最大厚度以内没有同时满足表面温度限值和最大允许热损失的厚度";
constexpr std::string_view kBadSteps = "厚度步长和最大厚度须大于0";

}  // namespace

Construction withOuterThickness(Construction c, double thickness)
{
    (c.outer ? c.outer->thickness : c.inner.thickness) = thickness;
    return c;
}

Outcome<double> leastThickness(const Construction& c, const Surroundings& s, const Limits& limits, ThicknessSteps steps)
{
    if (!(steps.step > 0 && steps.largest >= steps.step && std::isfinite(steps.largest)))
        return Outcome<double>::refused(kBadSteps);
    // Q and Ts fall as the layer grows, but a scan from the thinnest step needs no such premise.
    for (int k = 1; k * steps.step <= steps.largest + 1e-9; ++k) {
        const double thickness = k * steps.step;
        const Outcome<HeatLoss> loss = solveHeatLoss(withOuterThickness(c, thickness), s);
        if (!loss) return Outcome<double>::refused(loss.reason());
        const bool surfaceOk = loss->surfaceTemperature <= limits.surfaceTemperature;
        const bool lossOk = !limits.allowedLoss || loss->perSquareMetre <= *limits.allowedLoss;
        if (surfaceOk && lossOk) return thickness;
    }
    return Outcome<double>::refused(kNoneMeets);
}

}  // namespace dorvent::insulation
