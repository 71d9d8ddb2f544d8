#include "numtext/formatnumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "numtext/readnumber.h"

namespace dorvent {
namespace {

constexpr int kSignificantDigits = 15;

/// The 15 significant digits of |value| and the power of ten of the first of them.
struct Significand {
    char digits[kSignificantDigits];
    int exponent;
};

Significand significandOf(double value)
{
    // "d.dddddddddddddde+XX"
    char text[32];
    const char* end =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, kSignificantDigits - 1).ptr;
    Significand s{};
    s.digits[0] = text[0];
    std::copy(text + 2, text + 1 + kSignificantDigits, s.digits + 1);
    const char* exponentSign = text + 2 + kSignificantDigits;
    std::from_chars(exponentSign + 1, end, s.exponent);
    if (*exponentSign == '-') s.exponent = -s.exponent;
    return s;
}

/// Adds one unit in the last place of a string of decimal digits.
void roundUp(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

std::string formatFixed(double value, int decimals)
{
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    decimals = std::max(decimals, 0);

    const Significand s = significandOf(value);
    // Digits for the places 10^top down to 10^-decimals.
    const int top = std::max(s.exponent, 0);
    std::string digits(static_cast<std::size_t>(top + decimals + 1), '0');
    bool carry = false;
    for (int i = 0; i < kSignificantDigits; ++i) {
        const int place = s.exponent - i;
        if (place >= -decimals) {
            digits[static_cast<std::size_t>(top - place)] = s.digits[i];
        } else {
            carry = place == -decimals - 1 && s.digits[i] >= '5';
            break;
        }
    }
    if (carry) roundUp(digits);

    const bool isZero = digits.find_first_not_of('0') == std::string::npos;
    const std::size_t integerDigits = digits.size() - static_cast<std::size_t>(decimals);
    std::string text = (value < 0 && !isZero) ? "-" : "";
    text.append(digits, 0, integerDigits);
    if (decimals > 0) {
        text += '.';
        text.append(digits, integerDigits);
    }
    return text;
}

std::string formatShortest(float value)
{
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string apartFrom(double value, double limit)
{
    for (int decimals = 3; decimals <= 9; ++decimals) {
        std::string text = formatFixed(value, decimals);
        const double printed = readNumber(text);
        if (printed != limit && (printed < limit) == (value < limit)) return text;
    }
    return formatShortest(value);
}

std::string formatShortest(double value)
{
    char text[400];  // the longest fixed text of a double: 309 integer digits, or 0. and 324 decimals
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
    return std::string(text, end);
}

}  // namespace dorvent
