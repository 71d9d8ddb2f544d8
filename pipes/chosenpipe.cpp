#include "pipes/chosenpipe.h"

#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "numtext/readnumber.h"
#include "mainwin/stateevaluation.h"
#include "pipes/qiuliusu.h"

namespace dorvent {

ChosenPipeResult evaluateChosenPipe(SteamState& state, const ChosenPipeTexts& texts)
{
    if (state.area == region::none) return {.message = kStateFirstMessage};
    if (state.area != region::steam && state.area != region::hotSteam) return {.message = kNotSuperheatedMessage};
    return checkPipe(state.area, refreshDensity(state), texts);
}

ChosenPipeResult checkPipe(std::int16_t area, double rho, const ChosenPipeTexts& texts)
{
    ChosenPipeResult result;
    const double flow = readNumber(texts.flow);
    const double wall = readNumber(texts.bihou);
    const bool pipeShown = !texts.dn.empty() && !texts.waijing.empty() && !texts.bihou.empty();
    const bool flowGiven = !texts.flow.empty() && flow != 0.0;
    if (flowGiven && !texts.waijing.empty() && !texts.bihou.empty() && wall != 0.0) {
        double w = 0.0;
        double R = 0.0;
        const Refusal refusal =
            qiuliusu(area, toSinglePrecision(flow), rho, readNumber(texts.waijing), wall, w, R);
        result.message = refusal.message;
        // Only a flow or density without a finite answer leaves the results as they were; an
        // unrealistic wall shows the zero results the refusal left.
        result.computed = refusal.message != kNotComputableMessage;
        result.velocity = formatFixed(w, 3);
        result.friction = formatFixed(R, 3);
    } else if (pipeShown && !flowGiven) {
        result.message = kFlowMissingMessage;
    } else if (pipeShown) {
        result.message = "壁厚不能为0";  // the flow is there; the typed wall thickness reads as 0
    }
    return result;
}

}  // namespace dorvent
