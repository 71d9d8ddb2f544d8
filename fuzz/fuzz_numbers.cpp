// The number reader never reads past its text; what the formatters write reads back within half a unit.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "numtext/readnumber.h"
#include "tests/shapes.h"

using dorvent::shapes::require;

static void checkRoundTrip(double value)
{
    for (int decimals : {2, 3, 6}) {
        const std::string text = dorvent::formatFixed(value, decimals);
        if (!std::isfinite(value)) {
            require(text == "inf" || text == "-inf" || text == "nan");
            continue;
        }
        // Half a unit, plus the 15 significant digits the rounding starts from, which near the largest double
        // lie beyond it and read as infinity.
        const double back = dorvent::readNumber(text);
        const bool nearLargest = std::fabs(value) > 1.79769313486231e308;
        require(std::fabs(back - value) <= 0.5 * std::pow(10.0, -decimals) + std::fabs(value) * 1e-14 ||
                (nearLargest && std::isinf(back) && std::signbit(back) == std::signbit(value)));
        require(text.find_first_not_of("-0123456789.") == std::string::npos);
    }
    const float single = dorvent::toSinglePrecision(value);
    if (std::isfinite(single)) require(static_cast<float>(dorvent::readNumber(dorvent::formatShortest(single))) == single);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The text exactly as given, in a buffer of its own size, so that reading past it is caught.
    const double value = dorvent::readNumber(std::string_view(reinterpret_cast<const char*>(data), size));
    require(!std::isnan(value));
    checkRoundTrip(value);
    if (size >= sizeof(double)) {  // any bit pattern, NaN and infinities included
        double raw = 0.0;
        std::memcpy(&raw, data, sizeof raw);
        checkRoundTrip(raw);
    }
    return 0;
}
