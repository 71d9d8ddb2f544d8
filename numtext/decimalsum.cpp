#include "numtext/decimalsum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "numtext/formatnumber.h"

namespace dorvent {
namespace {

constexpr int kMostPlaces = 9;
constexpr std::array<double, kMostPlaces + 1> kTens = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr double kExactIntegers = 9007199254740992.0;  // 2^53: every integer up to it is a double

/// Digits after the point of the shortest decimal text of a finite value.
int decimalPlaces(double value)
{
    const std::string text = formatShortest(value);
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

}  // namespace

double addDecimals(double a, double b)
{
    const double plain = a + b;
    if (!std::isfinite(plain)) return plain;
    const int places = std::max(decimalPlaces(a), decimalPlaces(b));
    if (places > kMostPlaces) return plain;
    // Both as whole numbers of the last decimal place: exact, and so is their sum; one division
    // by a power of ten, itself exact, then rounds once to the double nearest the decimal sum.
    const double scale = kTens[static_cast<std::size_t>(places)];
    const double whole = std::round(a * scale) + std::round(b * scale);
    if (std::fabs(a * scale) + std::fabs(b * scale) >= kExactIntegers / 2) return plain;
    return whole / scale;
}

}  // namespace dorvent
