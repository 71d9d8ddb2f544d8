#include "numtext/precision.h"

#include <limits>

#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"

namespace dorvent {

float toSinglePrecision(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    constexpr float infinity = std::numeric_limits<float>::infinity();
    if (value > largest) return infinity;
    if (value < -largest) return -infinity;
    return static_cast<float>(value);
}

double roundDecimal(double value, int decimals) { return readNumber(formatFixed(value, decimals)); }

}  // namespace dorvent
