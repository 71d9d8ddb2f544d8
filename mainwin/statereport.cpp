#include <cmath>

#include "mainwin/stateevaluation.h"
#include "numtext/formatnumber.h"
#include "steam/regions.h"

namespace dorvent {
namespace {

void appendLine(std::string& report, std::string_view label, double value, int decimals, std::string_view unit)
{
    report += "\r\n";
    report += label;
    report += formatFixed(value, decimals);
    report += unit;
}

bool allFinite(double a, double b, double c) { return std::isfinite(a) && std::isfinite(b) && std::isfinite(c); }

// Steam at a pressure of exactly zero has no properties: the routines need p > 0.
constexpr std::string_view kPropertiesUndefined = "\r\n该状态下无法计算物性";

}  // namespace

void appendPropertySection(std::string& report, std::int16_t area, double t, double p)
{
    double v = 0.0;
    double h = 0.0;
    double cp = 0.0;
    if (area == region::steam || area == region::hotSteam) {
        (area == region::steam ? quyu2 : quyu5)(t, p, v, h, cp);
        if (!allFinite(1.0 / v, h, cp)) {
            report += kPropertiesUndefined;
            return;
        }
        appendLine(report, "蒸汽密度 ", 1.0 / v, 3, " kg/m3");
        appendLine(report, "蒸汽比焓 ", h, 3, " kJ/kg");
        appendLine(report, "蒸汽定压比热 ", cp, 3, " kJ/(kg·K)");
        return;
    }
    if (area == region::water) {
        quyu1(t, p, v, h, cp);  // region 1 lies above the saturation pressure, so p > 0 here
        appendLine(report, "不饱和水比容 ", v, 6, " m3/kg");
        appendLine(report, "不饱和水密度 ", 1.0 / v, 6, " kg/m3");
        appendLine(report, "不饱和水比焓 ", h, 6, " kJ/kg");
        appendLine(report, "不饱和水定压比热 ", cp, 6, " kJ/(kg·K)");
    }
    report += "\r\n蒸汽不是过热蒸汽，不能用本程序计算";
}

}  // namespace dorvent
