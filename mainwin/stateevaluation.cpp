#include "mainwin/stateevaluation.h"

#include "steam/b23.h"
#include "steam/regions.h"
#include "steam/saturation.h"

namespace dorvent {
namespace {

constexpr double kLowestTemperature = 273.15;   // K
constexpr double kHighestTemperature = 2273.15; // K
constexpr double kRegion1Limit = 623.15;        // K, top of compressed water
constexpr double kB23Limit = 863.15;            // K, top of the B23 boundary
constexpr double kRegion5Start = 1073.15;       // K, region 5 lies above
constexpr double kHighestPressure = 100.0;      // MPa
constexpr double kRegion5HighestPressure = 10.0;  // MPa

/// The two halves of a range message; both empty when t and p are in range. The comparisons
/// are written so that a NaN fails them too.
struct RangeCheck {
    std::string_view pressure;
    std::string_view temperature;

    bool inRange() const { return pressure.empty() && temperature.empty(); }
    std::string message() const { return std::string(pressure) + " " + std::string(temperature); }
};

RangeCheck checkRange(double t, double p)
{
    RangeCheck check;
    if (!(t >= kLowestTemperature)) {
        check.temperature = "温度过低";
    } else if (t > kHighestTemperature) {
        check.temperature = "温度过高";
    }
    if (!(p >= 0.0)) {
        check.pressure = "压力过低";
    } else if (p > kHighestPressure || (t > kRegion5Start && t <= kHighestTemperature && p > kRegion5HighestPressure)) {
        check.pressure = "压力过高";
    }
    return check;
}

/// Saturation and boundary values, each only inside the range of its routine.
void updateBoundaryValues(double t, double p, SteamState& state)
{
    // The conditions match the routines' own ranges, so none of these refuses.
    if (p >= 611.213e-6 && p <= 22.064) (void)qiutbaohe(p, state.tbaohe);
    if (t >= 273.15 && t <= 647.096) (void)qiupbaohe(t, state.pbaohe);
    if (p >= 16.5292 && p <= 100.0) (void)qiut23bianjie(p, state.t23bianjie);
    if (t >= 623.15 && t <= 863.15) (void)qiup23bianjie(t, state.p23bianjie);
}

/// The side of a boundary pressure that p lies on; equality is exact, without tolerance.
std::int16_t bySide(double p, double boundary, std::int16_t above, std::int16_t below, std::int16_t on)
{
    if (p > boundary) return above;
    if (p < boundary) return below;
    return on;
}

/// Region code of an in-range state, by temperature band, then by pressure.
std::int16_t classify(double t, double p, const SteamState& state)
{
    if (t <= kRegion1Limit) return bySide(p, state.pbaohe, region::water, region::steam, region::saturation);
    if (t <= kB23Limit) return bySide(p, state.p23bianjie, region::nearCritical, region::steam, region::boundary23);
    if (t <= kRegion5Start) return region::steam;
    return region::hotSteam;
}

std::string regionLine(std::int16_t area)
{
    if (area == region::boundary23) return "蒸汽属于区域2、3分界线";
    return "蒸汽属于区域" + std::to_string(area) + "：" + std::string(quyumingcheng[static_cast<std::size_t>(area - 1)]);
}

}  // namespace

void qiuzhuangtai(double t, double p, std::int16_t& area, std::string& report, SteamState& state)
{
    const RangeCheck range = checkRange(t, p);
    if (!range.inRange()) {
        report = range.message();
        return;
    }
    area = classifyState(t, p, state);
    report = regionLine(area);
    appendPropertySection(report, area, t, p);
}

std::int16_t classifyState(double t, double p, SteamState& state)
{
    if (!checkRange(t, p).inRange()) return region::none;
    updateBoundaryValues(t, p, state);
    return classify(t, p, state);
}

double refreshDensity(SteamState& state)
{
    (state.area == region::hotSteam ? quyu5 : quyu2)(state.t, state.p, state.birong, state.bihan, state.cp);
    return 1.0 / state.birong;
}

}  // namespace dorvent
