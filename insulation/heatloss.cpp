#include "insulation/heatloss.h"

#include <cmath>
#include <numbers>

#include "insulation/surfacecoefficient.h"

namespace dorvent::insulation {
namespace {

constexpr std::string_view kNotFinite = "管道外径、保温层厚度、温度、风速和黑度须为有限数";
constexpr std::string_view kNoDiameter = "管道外径须大于0";
constexpr std::string_view kNoThickness = "保温层厚度须大于0";
constexpr std::string_view kNotHot = "介质温度须高于环境温度（本计算只算保温的热损失）";
constexpr std::string_view kNegativeWind = "风速不能为负";
constexpr std::string_view kBadEmissivity = "外护层黑度须在0到1之间";
constexpr std::string_view kNoConductivity = "保温材料的导热系数在环境温度与介质温度之间不全为正，无法计算";
constexpr std::string_view kNoConvergence = "保温计算未能收敛";

constexpr double pi = std::numbers::pi;

// A root is taken as found when the Newton step, or the bracket around the root, is below
// kStep ℃: far inside kTemperatureTolerance, as Newton converges quadratically near the root.
constexpr double kStep = 1e-9;
constexpr int kMostSteps = 200;  // bisection alone halves 1000 ℃ to kStep in 40 steps

/// Heat through a cylindrical layer per metre of pipe, q = 2π λ(tm) (Ti − To) / ln(Do/Di), and
/// its derivatives by the inner and outer face temperatures.
struct Conduction {
    double q;
    double byInner;
    double byOuter;
};

Conduction conduction(const Material& material, double logRatio, double Ti, double To)
{
    const double k = 2 * pi / logRatio;
    const double tm = 0.5 * (Ti + To);
    const double lambda = conductivity(material, tm);
    const double half = 0.5 * conductivitySlope(material, tm) * (Ti - To);
    return {k * lambda * (Ti - To), k * (half + lambda), k * (half - lambda)};
}

struct Residual {
    double value;
    double slope;
};

/// A root of f between lo and hi, where f(lo) > 0 ≥ f(hi): Newton steps from `start`, kept inside
/// the bracket by bisection. Where f jumps across zero (a λ equation in two pieces that do not
/// meet, falling at the step), the bracket closes on the jump. None when it does not converge.
template <typename F>
std::optional<double> findRoot(F f, double lo, double hi, double start)
{
    double x = start;
    for (int i = 0; i < kMostSteps; ++i) {
        const Residual r = f(x);
        if (r.value == 0) return x;
        if (r.value > 0)
            lo = x;
        else
            hi = x;
        double next = x - r.value / r.slope;
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);  // also a zero or nan slope
        if (std::fabs(next - x) < kStep || hi - lo < kStep) return next;
        x = next;
    }
    return std::nullopt;
}

/// What a solve works with: diameters in m and the logarithms of their ratios.
struct Geometry {
    double D0, D1, D2;
    double log1, log2;  // ln(D1/D0), ln(D2/D1)
};

Geometry geometryOf(const Construction& c)
{
    const double D0 = c.pipeDiameter / 1000;
    const double D1 = D0 + 2 * c.inner.thickness / 1000;
    const double D2 = c.outer ? D1 + 2 * c.outer->thickness / 1000 : D1;
    return {D0, D1, D2, std::log(D1 / D0), c.outer ? std::log(D2 / D1) : 0.0};
}

std::string_view refusalOf(const Construction& c, const Surroundings& s)
{
    const double numbers[] = {c.pipeDiameter, c.inner.thickness, c.outer ? c.outer->thickness : 1.0,
                              s.medium, s.ambient, s.wind, s.emissivity};
    for (double x : numbers)
        if (!std::isfinite(x)) return kNotFinite;
    if (!(c.pipeDiameter > 0)) return kNoDiameter;
    if (!(c.inner.thickness > 0) || (c.outer && !(c.outer->thickness > 0))) return kNoThickness;
    if (!(s.medium > s.ambient)) return kNotHot;
    if (s.wind < 0) return kNegativeWind;
    if (!(s.emissivity >= 0 && s.emissivity <= 1)) return kBadEmissivity;
    // Every face lies between Ta and T0, and so does every layer's mean temperature.
    if (!conductivityPositive(c.inner.material, s.ambient, s.medium)) return kNoConductivity;
    if (c.outer && !conductivityPositive(c.outer->material, s.ambient, s.medium)) return kNoConductivity;
    return {};
}

/// A first Ts: the layers at λ of the mean of T0 and Ta, and αs = 10 W/(m²·K).
double firstSurfaceTemperature(const Construction& c, const Surroundings& s, const Geometry& g)
{
    const double tm = 0.5 * (s.medium + s.ambient);
    double resistance = g.log1 / (2 * pi * conductivity(c.inner.material, tm));
    if (c.outer) resistance += g.log2 / (2 * pi * conductivity(c.outer->material, tm));
    const double surface = 1 / (pi * g.D2 * 10);
    return s.ambient + (s.medium - s.ambient) * surface / (resistance + surface);
}

/// Heat leaving the outer surface per metre, π D2 αs (Ts − Ta), and its derivative by Ts.
Residual surfaceLoss(const Surroundings& s, const Geometry& g, double Ts)
{
    const SurfaceFlux f = surfaceFlux(s.emissivity, Ts, s.ambient, g.D2, s.wind);
    return {pi * g.D2 * f.flux, pi * g.D2 * f.slope};
}

/// The interface temperature T1 at which the two layers carry the same heat, for a given Ts.
std::optional<double> interfaceTemperature(const Construction& c, const Surroundings& s, const Geometry& g,
                                           double Ts, double start)
{
    auto imbalance = [&](double T1) {
        const Conduction inner = conduction(c.inner.material, g.log1, s.medium, T1);
        const Conduction outer = conduction(c.outer->material, g.log2, T1, Ts);
        return Residual{inner.q - outer.q, inner.byOuter - outer.byInner};
    };
    return findRoot(imbalance, Ts, s.medium, std::fmin(std::fmax(start, Ts), s.medium));
}

/// The heat-flux balance at Ts: heat conducted to the surface less heat the surface gives off.
/// For two layers T1 follows Ts, and `T1` keeps the last one as the next search's start.
std::optional<Residual> balance(const Construction& c, const Surroundings& s, const Geometry& g, double Ts,
                                double& T1)
{
    const Residual off = surfaceLoss(s, g, Ts);
    if (!c.outer) {
        const Conduction through = conduction(c.inner.material, g.log1, s.medium, Ts);
        return Residual{through.q - off.value, through.byOuter - off.slope};
    }
    const std::optional<double> t1 = interfaceTemperature(c, s, g, Ts, T1);
    if (!t1) return std::nullopt;
    T1 = *t1;
    const Conduction inner = conduction(c.inner.material, g.log1, s.medium, T1);
    const Conduction outer = conduction(c.outer->material, g.log2, T1, Ts);
    // Along the balance of the layers, dT1/dTs = (∂q2/∂Ts) / (∂q1/∂T1 − ∂q2/∂T1).
    const double follow = outer.byOuter / (inner.byOuter - outer.byInner);
    const double slope = outer.byOuter + outer.byInner * (std::isfinite(follow) ? follow : 0.0);
    return Residual{outer.q - off.value, slope - off.slope};
}

}  // namespace

Outcome<HeatLoss> solveHeatLoss(const Construction& c, const Surroundings& s, const HeatLoss* previous)
{
    if (const std::string_view refusal = refusalOf(c, s); !refusal.empty()) return Outcome<HeatLoss>::refused(refusal);
    const Geometry g = geometryOf(c);

    double T1 = previous != nullptr ? previous->interfaceTemperature : 0.5 * (s.medium + s.ambient);
    bool lost = false;
    auto residual = [&](double Ts) {
        const std::optional<Residual> r = balance(c, s, g, Ts, T1);
        if (!r) lost = true;
        return r.value_or(Residual{0, 1});
    };
    // At Ts = Ta the surface gives off nothing and the layers conduct; at Ts = T0 the reverse.
    const double start = previous != nullptr && previous->surfaceTemperature > s.ambient && previous->surfaceTemperature < s.medium
                             ? previous->surfaceTemperature : firstSurfaceTemperature(c, s, g);
    const std::optional<double> Ts = findRoot(residual, s.ambient, s.medium, start);
    if (!Ts || lost) return Outcome<HeatLoss>::refused(kNoConvergence);
    if (c.outer) {
        const std::optional<double> t1 = interfaceTemperature(c, s, g, *Ts, T1);
        if (!t1) return Outcome<HeatLoss>::refused(kNoConvergence);
        T1 = *t1;
    } else {
        T1 = *Ts;
    }

    // q from the surface side; each λ as the balance has it: the material's λ at the layer's mean
    // temperature, to rounding. (Across the rock-wool step at 100 ℃ λ runs straight over 10 ℃,
    // materials.cpp says why, so one answer balances there too.)
    const double q = surfaceLoss(s, g, *Ts).value;
    const double inner = q * g.log1 / (2 * pi * (s.medium - T1));
    const double outer = c.outer ? q * g.log2 / (2 * pi * (T1 - *Ts)) : inner;
    HeatLoss loss{*Ts,
                  T1,
                  q,
                  q / (pi * g.D2),
                  g.D2 * 1000,
                  inner,
                  outer,
                  surfaceCoefficient(s.emissivity, *Ts, s.ambient, g.D2, s.wind)};
    const double all[] = {loss.surfaceTemperature, loss.interfaceTemperature, loss.perMetre, loss.innerConductivity,
                          loss.outerConductivity, loss.surfaceCoefficient};
    for (double x : all)
        if (!std::isfinite(x)) return Outcome<HeatLoss>::refused(kNoConvergence);
    return loss;
}

}  // namespace dorvent::insulation
