// The pipe hydraulics, the proposal and the chosen-pipe check from arbitrary numbers and texts:
// outputs finite or untouched, rows well formed, at most one message per call.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pipes/chosenpipe.h"
#include "pipes/proposal.h"
#include "pipes/qiuliusu.h"
#include "tests/shapes.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

bool isKnownMessage(std::string_view message)
{
    for (std::string_view known :
         {std::string_view{}, std::string_view{"没有合适的管径"}, std::string_view{"没有合适的管径，已求出最相近管径"},
          dorvent::kNotComputableMessage, dorvent::kFlowMissingMessage, dorvent::kWallThicknessMessage,
          dorvent::kNotSuperheatedMessage, dorvent::kStateFirstMessage, std::string_view{"壁厚不能为0"}}) {
        if (message == known) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const std::int16_t area = data.ConsumeIntegralInRange<std::int16_t>(0, 6);
    const float G = data.ConsumeFloatingPoint<float>();
    const double rho = data.ConsumeFloatingPoint<double>();
    const double D = data.ConsumeFloatingPoint<double>();
    const double s = data.ConsumeFloatingPoint<double>();

    double w = 12345.0;
    double R = 67890.0;
    const dorvent::Refusal refusal = dorvent::qiuliusu(area, G, rho, D, s, w, R);
    if (refusal) {
        check(w == 12345.0 && R == 67890.0);
        check(isKnownMessage(refusal.message));
    } else {
        check(std::isfinite(w) && std::isfinite(R));
    }

    const std::string flow = data.ConsumeRandomLengthString(32);
    const std::int16_t steam = data.ConsumeBool() ? 2 : 5;
    const dorvent::PipeProposal proposal = dorvent::proposeForDensity(steam, rho, flow);
    check(isKnownMessage(proposal.message));
    for (const std::string& row : proposal.rows) check(dorvent::shapes::isProposalRow(row));

    const std::string outer = data.ConsumeRandomLengthString(16);
    const std::string wall = data.ConsumeRemainingBytesAsString();
    const dorvent::ChosenPipeResult chosen = dorvent::checkPipe(steam, rho, {flow, "DN", outer, wall});
    check(isKnownMessage(chosen.message));
    if (chosen.computed) {
        check(dorvent::shapes::isFixed(chosen.velocity, 3) && dorvent::shapes::isFixed(chosen.friction, 3));
    }
    return 0;
}
