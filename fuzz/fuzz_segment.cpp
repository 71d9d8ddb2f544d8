// The segment calculation from arbitrary inputs: six finite result lines or one message. At most 2 km
// (20 sections of at most 100 temperature steps of at most 100 pressure steps), well under a second each.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "mainwin/steaminput.h"
#include "numtext/precision.h"
#include "segment/guanduanjisuan.h"
#include "tests/shapes.h"

using namespace dorvent;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    SteamState state;
    const std::string pressure = std::to_string(data.ConsumeFloatingPointInRange<double>(-1.0, 120.0));
    const std::string temperature = std::to_string(data.ConsumeFloatingPointInRange<double>(-300.0, 2500.0));
    duqucanshu({pressure, "MPa", temperature, "℃"}, state);

    // Each input in its engineering range or anywhere at all, as the fuzzer chooses.
    const auto value = [&data](double lowest, double highest) {
        return data.ConsumeBool() ? data.ConsumeFloatingPointInRange<double>(lowest, highest) : data.ConsumeFloatingPoint<double>();
    };
    const SegmentInput in{.L = data.ConsumeFloatingPointInRange<float>(-10.0f, 2000.0f),
                           .zeta = toSinglePrecision(value(0.0, 2.0)), .beta = toSinglePrecision(value(0.0, 2.0)),
                           .phi = toSinglePrecision(value(0.0, 1.5)), .ta = value(-50.0, 400.0), .q = value(0.0, 20.0),
                           .d = value(-50.0, 100.0), .G = value(0.0, 500.0), .D = data.ConsumeFloatingPointInRange<double>(-100.0, 2000.0),
                           .s = data.ConsumeFloatingPointInRange<double>(-10.0, 100.0), .R0 = value(0.0, 5000.0),
                           .p0 = state.p, .T0 = state.t, .region0 = state.area};

    const SegmentOutcome outcome = guanduanjisuan(in, state);
    shapes::require(outcome.failure.empty() ? shapes::isSegmentReport(segmentReport(outcome.result))
                                            : outcome.failure.find("nan") == std::string_view::npos);
    return 0;
}
