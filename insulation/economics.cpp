#include "insulation/economics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dorvent::insulation {
namespace {

constexpr std::string_view kBadPrices = "热价、年运行小时数、保温造价、外护层造价、年限和利率须为有效数值（保温造价大于0，年限至少1年）";
constexpr std::string_view kOneLayerOnly = "经济厚度公式只用于单层保温";
constexpr std::string_view kNoInsulationPays = "按经济厚度公式，热价相对保温造价过低，不需保温";
constexpr std::string_view kNoFixedPoint = "经济厚度公式未能收敛";
constexpr std::string_view kBadSteps = "厚度步长和最大厚度须大于0";

constexpr double pi = std::numbers::pi;

// W·h of heat in GJ: 3600 s/h × 10⁻⁹ GJ/J.
constexpr double kGigajoulePerWattHour = 3600e-9;

// 5.3, cylinder: 3.795·10⁻³ = 2·√(3.6·10⁻⁶), the same conversion under the root (PE in 元/GJ,
// t in h, λ in W/(m·K)).
constexpr double kClosedFormFactor = 3.795e-3;

bool validPrices(const Prices& p)
{
    const double all[] = {p.heat, p.hours, p.insulation, p.jacket, p.interest};
    for (double x : all)
        if (!std::isfinite(x) || x < 0) return false;
    return p.insulation > 0 && p.years >= 1;
}

double outerDiameterOf(const Construction& c)
{
    double D = c.pipeDiameter + 2 * c.inner.thickness;
    if (c.outer) D += 2 * c.outer->thickness;
    return D / 1000;
}

Candidate costed(const Construction& c, const HeatLoss& loss, const Prices& p, double thickness)
{
    const double D0 = c.pipeDiameter / 1000;
    const double D = outerDiameterOf(c);
    const double heat = p.heat * loss.perMetre * p.hours * kGigajoulePerWattHour;
    const double invested = p.insulation * pi / 4 * (D * D - D0 * D0) + p.jacket * pi * D;
    const double capital = capitalRecoveryFactor(p.interest, p.years) * invested;
    return {thickness, loss, heat, capital, heat + capital};
}

/// x with x ln(x/D0) = y, for y > 0: Newton from D0 + y, where x ln(x/D0) ≥ y; the function is
/// convex and rising there, so the steps fall monotonically to the root.
double solveXlnX(double D0, double y)
{
    double x = D0 + y;
    for (int i = 0; i < 100; ++i) {
        const double next = x - (x * std::log(x / D0) - y) / (std::log(x / D0) + 1);
        if (std::fabs(next - x) < 1e-12) return next;
        x = next;
    }
    return x;
}

}  // namespace

double capitalRecoveryFactor(double interest, int years)
{
    if (interest == 0) return 1.0 / years;
    const double growth = std::pow(1 + interest, years);
    return interest * growth / (growth - 1);
}

Outcome<std::vector<Candidate>> candidateTable(const Construction& c, const Surroundings& s, const Prices& p,
                                               ThicknessSteps steps)
{
    if (!validPrices(p)) return Outcome<std::vector<Candidate>>::refused(kBadPrices);
    if (!(steps.step > 0 && steps.largest >= steps.step && std::isfinite(steps.largest)))
        return Outcome<std::vector<Candidate>>::refused(kBadSteps);
    std::vector<Candidate> table;
    for (int k = 1; k * steps.step <= steps.largest + 1e-9; ++k) {
        const double thickness = k * steps.step;
        const Construction candidate = withOuterThickness(c, thickness);
        const Outcome<HeatLoss> loss = solveHeatLoss(candidate, s);
        if (!loss) return Outcome<std::vector<Candidate>>::refused(loss.reason());
        table.push_back(costed(candidate, *loss, p, thickness));
    }
    return table;
}

Outcome<Candidate> economicThicknessBySearch(const Construction& c, const Surroundings& s, const Prices& p,
                                             ThicknessSteps steps)
{
    const Outcome<std::vector<Candidate>> table = candidateTable(c, s, p, steps);
    if (!table) return Outcome<Candidate>::refused(table.reason());
    // The first of equal costs: the thinner construction.
    return *std::min_element(table->begin(), table->end(),
                             [](const Candidate& a, const Candidate& b) { return a.yearlyCost < b.yearlyCost; });
}

Outcome<ClosedFormThickness> economicThicknessClosedForm(const Construction& c, const Surroundings& s,
                                                         const Prices& p, double step)
{
    using Result = Outcome<ClosedFormThickness>;
    if (c.outer) return Result::refused(kOneLayerOnly);
    if (!validPrices(p) || !(step > 0)) return Result::refused(kBadPrices);
    const double D0 = c.pipeDiameter / 1000;
    const double S = capitalRecoveryFactor(p.interest, p.years);

    // λ and αs depend on the thickness, which the formula gives: repeat from the layer as given
    // (or from 50 mm when it has none yet).
    double thickness = c.inner.thickness > 0 ? c.inner.thickness : 50;
    for (int i = 0; i < 100; ++i) {
        const Outcome<HeatLoss> loss = solveHeatLoss(withOuterThickness(c, thickness), s);
        if (!loss) return Result::refused(loss.reason());
        const double lambda = loss->innerConductivity;
        const double root = std::sqrt(p.heat * lambda * p.hours * std::fabs(s.medium - s.ambient) / (p.insulation * S));
        const double y = kClosedFormFactor * root - 2 * lambda / loss->surfaceCoefficient;
        if (!(y > 0)) return Result::refused(kNoInsulationPays);
        const double next = (solveXlnX(D0, y) - D0) / 2 * 1000;
        if (std::fabs(next - thickness) < 1e-6) return ClosedFormThickness{next, std::ceil(next / step - 1e-9) * step};
        thickness = next;
    }
    return Result::refused(kNoFixedPoint);
}

}  // namespace dorvent::insulation
