// The state evaluation from four arbitrary texts: a report of one of the program's shapes, never inf or nan.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "mainwin/steaminput.h"
#include "tests/shapes.h"

static std::string unit(FuzzedDataProvider& data, std::initializer_list<const char*> known)
{
    if (data.ConsumeBool()) return data.ConsumeRandomLengthString(16);
    return *(known.begin() + data.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const std::string pressureUnit = unit(data, {"MPa", "kPa", "kgf/cm2"});
    const std::string temperatureUnit = unit(data, {"℃", "K"});
    const std::string pressure = data.ConsumeRandomLengthString(64);
    const std::string temperature = data.ConsumeRemainingBytesAsString();

    dorvent::SteamState state;
    const std::string report = dorvent::duqucanshu({pressure, pressureUnit, temperature, temperatureUnit}, state);
    dorvent::shapes::require(dorvent::shapes::isStateReport(report) && report.find("inf") == std::string::npos &&
                             report.find("nan") == std::string::npos);
    return 0;
}
