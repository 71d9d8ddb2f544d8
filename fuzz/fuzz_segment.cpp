// The segment calculation from arbitrary inputs: six finite result lines or one message.
// Lengths are kept to at most 2 km (20 sections) so that one input runs in well under a second:
// every section takes at most 100 temperature steps of at most 100 pressure steps each.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mainwin/steaminput.h"
#include "numtext/precision.h"
#include "segment/guanduanjisuan.h"
#include "tests/shapes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    dorvent::SteamState state;
    const std::string pressure = std::to_string(data.ConsumeFloatingPointInRange<double>(-1.0, 120.0));
    const std::string temperature = std::to_string(data.ConsumeFloatingPointInRange<double>(-300.0, 2500.0));
    dorvent::duqucanshu({pressure, "MPa", temperature, "℃"}, state);

    // Each input in its engineering range or anywhere at all, as the fuzzer chooses.
    const auto value = [&data](double lowest, double highest) {
        return data.ConsumeBool() ? data.ConsumeFloatingPointInRange<double>(lowest, highest)
                                  : data.ConsumeFloatingPoint<double>();
    };
    dorvent::SegmentInput in;
    in.L = data.ConsumeFloatingPointInRange<float>(-10.0f, 2000.0f);
    in.zeta = dorvent::toSinglePrecision(value(0.0, 2.0));
    in.beta = dorvent::toSinglePrecision(value(0.0, 2.0));
    in.phi = dorvent::toSinglePrecision(value(0.0, 1.5));
    in.ta = value(-50.0, 400.0);
    in.q = value(0.0, 20.0);
    in.d = value(-50.0, 100.0);
    in.G = value(0.0, 500.0);
    in.D = data.ConsumeFloatingPointInRange<double>(-100.0, 2000.0);
    in.s = data.ConsumeFloatingPointInRange<double>(-10.0, 100.0);
    in.R0 = value(0.0, 5000.0);
    in.p0 = state.p;
    in.T0 = state.t;
    in.region0 = state.area;

    const dorvent::SegmentOutcome outcome = dorvent::guanduanjisuan(in, state);
    if (outcome.failure.empty()) {
        if (!dorvent::shapes::isSegmentReport(dorvent::segmentReport(outcome.result))) std::abort();
    } else if (outcome.failure.find("nan") != std::string_view::npos) {
        std::abort();
    }
    return 0;
}
