#include "mainwin/steaminput.h"

#include "mainwin/stateevaluation.h"
#include "numtext/readnumber.h"

namespace dorvent {
namespace {

/// Pressure [MPa] from the typed number and its unit; an unknown unit keeps the old value.
/// 1 kgf/cm2 is taken as exactly 0.1 MPa, as the engineers' tables round it.
void convertPressure(double number, std::string_view unit, double& p)
{
    if (unit == "MPa") {
        p = number;
    } else if (unit == "kPa") {
        p = number / 1000.0;
    } else if (unit == "kgf/cm2") {
        p = number / 10.0;
    }
}

/// Temperature [K] and [℃] from the typed number and its unit; an unknown unit keeps both.
void convertTemperature(double number, std::string_view unit, double& t, double& tsheshidu)
{
    if (unit == "℃") {
        t = number + 273.15;
        tsheshidu = number;
    } else if (unit == "K") {
        t = number;
        tsheshidu = number - 273.15;
    }
}

}  // namespace

std::string duqucanshu(const SteamInputTexts& texts, SteamState& state)
{
    state.pbaohe = 0.0;
    state.tbaohe = 0.0;
    state.area = region::none;

    // Missing input is the exact empty text; a text of blanks is not missing.
    if (texts.pressure.empty()) return "请输入压力";
    if (texts.temperature.empty()) return " 请输入温度";
    return evaluateSteamParameters({readNumber(texts.pressure), texts.pressureUnit, readNumber(texts.temperature),
                                    texts.temperatureUnit},
                                   state);
}

std::string evaluateSteamParameters(const SteamParameters& given, SteamState& state)
{
    state.pbaohe = 0.0;
    state.tbaohe = 0.0;
    state.area = region::none;
    convertPressure(given.pressure, given.pressureUnit, state.p);
    convertTemperature(given.temperature, given.temperatureUnit, state.t, state.tsheshidu);
    if (state.p == 0.0) return "压力不能为0";

    std::string report;
    qiuzhuangtai(state.t, state.p, state.area, report, state);
    return report;
}

}  // namespace dorvent
