// Hydraulics, proposal and chosen pipe from any input: outputs finite or untouched, rows well formed, known messages.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "pipes/chosenpipe.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "tests/shapes.h"

using namespace dorvent;
using shapes::require;

static bool isKnownMessage(std::string_view message)
{
    const std::string_view known[] = {"", "没有合适的管径", "没有合适的管径，已求出最相近管径", kNotComputableMessage,
                                      kFlowMissingMessage, kWallThicknessMessage, kNotSuperheatedMessage,
                                      kStateFirstMessage, "壁厚不能为0"};
    return std::ranges::find(known, message) != std::end(known);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const std::int16_t area = data.ConsumeIntegralInRange<std::int16_t>(0, 6);
    const float G = data.ConsumeFloatingPoint<float>();
    const double rho = data.ConsumeFloatingPoint<double>();
    double D = data.ConsumeFloatingPoint<double>(), s = data.ConsumeFloatingPoint<double>(), w = 12345.0, R = 67890.0;
    const Refusal refusal = qiuliusu(area, G, rho, D, s, w, R);
    require(refusal ? w == 12345.0 && R == 67890.0 && isKnownMessage(refusal.message) : std::isfinite(w) && std::isfinite(R));

    const std::string flow = data.ConsumeRandomLengthString(32);
    const std::int16_t steam = data.ConsumeBool() ? 2 : 5;
    const PipeProposal proposal = proposeForDensity(steam, rho, flow);
    require(isKnownMessage(proposal.message));
    for (const std::string& row : proposal.rows) require(shapes::isProposalRow(row));

    const std::string outer = data.ConsumeRandomLengthString(16);
    const std::string wall = data.ConsumeRemainingBytesAsString();
    const ChosenPipeResult chosen = checkPipe(steam, rho, {flow, "DN", outer, wall});
    require(isKnownMessage(chosen.message));
    require(!chosen.computed || shapes::shapeOf(chosen.velocity + " " + chosen.friction) == "#3 #3");
    return 0;
}
