#include "steam/wetsteam.h"

#include <cmath>

#include "steam/b23.h"
#include "steam/regions.h"
#include "steam/saturation.h"

namespace dorvent {
namespace {

constexpr double kLowestPressure = 611.213e-6;      // MPa, saturation at 273.15 K
constexpr double kLowestTemperature = 273.15;       // K
constexpr double kRegion5Start = 1073.15;           // K, region 2 ends, region 5 begins
constexpr double kHighestTemperature = 2273.15;     // K
constexpr double kHighestPressure = 100.0;          // MPa
constexpr double kRegion5HighestPressure = 10.0;    // MPa, as far as the 1997 region 5 equation reaches

constexpr double kEnthalpyTolerance = 1e-9;         // kJ/kg
constexpr double kSmallestStep = 1e-10;             // K
constexpr int kMostSteps = 100;                     // a bound only: a few steps are the rule

using Routine = void (*)(double T, double p, double& v, double& h, double& cp);

/// One state of one region's routine.
struct Point {
    double T;
    double v;
    double h;
    double cp;
};

Point pointAt(Routine routine, double T, double p)
{
    Point point{T, 0.0, 0.0, 0.0};
    routine(T, p, point.v, point.h, point.cp);
    return point;
}

struct Saturation {
    Point liquid;
    Point vapour;
};

std::optional<Saturation> saturation(double p)
{
    if (!(p >= kLowestPressure && p <= kWetSteamHighestPressure)) return std::nullopt;
    const double T = saturationTemperature(p);
    return Saturation{pointAt(quyu1, T, p), pointAt(quyu2, T, p)};
}

/// The temperature where the routine's h(T) at p equals h, for low.h <= h <= high.h. h rises with
/// T (cp > 0), so the root stays between the highest T found below h and the lowest found above.
/// A Newton step that would leave that bracket is replaced by the bracket's linear interpolation
/// (a midpoint would halve the bracket only: where h(T) bends upwards, Newton steps from below
/// overshoot, and a root near the upper end would take dozens of halvings). The steps are
/// bounded in number, so the answer is finite and inside [low.T, high.T] whatever cp does.
Point solveTemperature(Routine routine, double p, double h, const Point& low, const Point& high)
{
    // At an end the root would lie on the bracket, where the steps below never land.
    if (h - low.h <= kEnthalpyTolerance) return low;
    if (high.h - h <= kEnthalpyTolerance) return high;
    Point below = low;
    Point above = high;
    auto interpolated = [&] { return below.T + (h - below.h) / (above.h - below.h) * (above.T - below.T); };

    // First guess: the parabola through low with its slope cp, and through high. Near saturation
    // cp falls with T and far above it rises again; the parabola follows both better than the tangent.
    const double span = high.T - low.T;
    const double curvature = (high.h - low.h - low.cp * span) / (span * span);
    const double rise = h - low.h;
    double T = low.T + 2.0 * rise / (low.cp + std::sqrt(low.cp * low.cp + 4.0 * curvature * rise));
    if (!(T > below.T && T < above.T)) T = interpolated();

    Point point = pointAt(routine, T, p);
    for (int step = 0; step < kMostSteps; ++step) {
        const double excess = point.h - h;
        if (std::fabs(excess) <= kEnthalpyTolerance) break;
        (excess < 0.0 ? below : above) = point;
        double next = T - excess / point.cp;
        if (!(next > below.T && next < above.T)) next = interpolated();
        const double change = next - T;
        T = next;
        point = pointAt(routine, T, p);
        // Where cp is large (near the critical point) a step this small still moves h by 1e-9.
        if (std::fabs(change) < kSmallestStep) break;
    }
    return point;
}

}  // namespace

std::optional<SaturationProperties> saturationAt(double p)
{
    const auto s = saturation(p);
    if (!s) return std::nullopt;
    return SaturationProperties{s->liquid.T, s->liquid.h, s->vapour.h, s->liquid.v, s->vapour.v};
}

std::optional<EnthalpyState> stateAt(double p, double h)
{
    if (!(p > 0.0 && p <= kHighestPressure && std::isfinite(h))) return std::nullopt;

    // The lowest superheated state at p: saturated steam where there is a wet range, else the
    // B23 boundary (region 3 lies below it) or, below the triple-point pressure, 273.15 K.
    Point lowest;
    if (const auto s = saturation(p)) {
        if (h < s->liquid.h) return std::nullopt;
        if (h <= s->vapour.h) {
            const double x = (h - s->liquid.h) / (s->vapour.h - s->liquid.h);
            return EnthalpyState{s->liquid.T, s->liquid.v + x * (s->vapour.v - s->liquid.v), x, true};
        }
        lowest = s->vapour;
    } else {
        lowest = pointAt(quyu2, p < kLowestPressure ? kLowestTemperature : b23Temperature(p), p);
        if (h < lowest.h) return std::nullopt;
    }

    Point steam;
    const Point region2End = pointAt(quyu2, kRegion5Start, p);
    if (h <= region2End.h) {
        steam = solveTemperature(quyu2, p, h, lowest, region2End);
    } else {
        if (p > kRegion5HighestPressure) return std::nullopt;
        const Point region5Start = pointAt(quyu5, kRegion5Start, p);
        const Point region5End = pointAt(quyu5, kHighestTemperature, p);
        if (h > region5End.h) return std::nullopt;
        // Below about 5 MPa region 5 starts a little above region 2's end; an h between them is
        // taken at the boundary.
        steam = h <= region5Start.h ? region5Start : solveTemperature(quyu5, p, h, region5Start, region5End);
    }
    if (!std::isfinite(steam.v)) return std::nullopt;  // p so far below the triple point that v overflows
    return EnthalpyState{steam.T, steam.v, 1.0, false};
}

std::optional<double> steamTemperature(double p, double h)
{
    const auto state = stateAt(p, h);
    if (!state || state->wet) return std::nullopt;
    return state->T;
}

}  // namespace dorvent
