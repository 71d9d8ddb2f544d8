#include "numtext/readnumber.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace dorvent {
namespace {

// Exponents are saturated here: far beyond any double, yet their sums cannot overflow.
constexpr std::int64_t kExponentLimit = 1'000'000'000;

bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentMark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

/// Walks the text character by character, skipping the characters that do not count.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    /// The next character that counts, or '\0' at the end.
    char peek()
    {
        while (pos_ < text_.size() && isIgnored(text_[pos_])) ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

/// The parts of a decimal number: significant digits d1 d2 ... (first one not zero) and the
/// power of ten of the place just before d1, so that the value is 0.d1d2... x 10^magnitude.
struct Decimal {
    bool negative = false;
    std::string digits;
    std::int64_t magnitude = 0;
};

std::int64_t readExponent(Cursor& cursor)
{
    bool negative = false;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        negative = cursor.peek() == '-';
        cursor.advance();
    }
    std::int64_t exponent = 0;
    for (char c = cursor.peek(); isDigit(c); c = cursor.peek()) {
        exponent = std::min(exponent * 10 + (c - '0'), kExponentLimit);
        cursor.advance();
    }
    return negative ? -exponent : exponent;
}

/// Reads the leading number; false when the text does not start with one.
bool readDecimal(std::string_view text, Decimal& number)
{
    Cursor cursor(text);
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        number.negative = cursor.peek() == '-';
        cursor.advance();
    }

    bool anyDigit = false;
    bool afterPoint = false;
    std::int64_t leadingZerosAfterPoint = 0;
    std::int64_t digitsBeforePoint = 0;
    for (char c = cursor.peek();; c = cursor.peek()) {
        if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (isDigit(c)) {
            anyDigit = true;
            if (number.digits.empty() && c == '0') {
                if (afterPoint) ++leadingZerosAfterPoint;
            } else {
                number.digits += c;
                if (!afterPoint) ++digitsBeforePoint;
            }
        } else {
            break;
        }
        cursor.advance();
    }
    if (!anyDigit) return false;

    number.magnitude = digitsBeforePoint > 0 ? digitsBeforePoint : -leadingZerosAfterPoint;
    if (isExponentMark(cursor.peek())) {
        cursor.advance();
        number.magnitude += readExponent(cursor);  // "1e" and "1e+" keep the bare mantissa
    }
    return true;
}

}  // namespace

double readNumber(std::string_view text)
{
    Decimal number;
    if (!readDecimal(text, number)) return 0.0;

    constexpr double infinity = std::numeric_limits<double>::infinity();
    double magnitude = 0.0;
    if (number.digits.empty()) {
        magnitude = 0.0;
    } else if (number.magnitude > 400) {
        magnitude = infinity;
    } else if (number.magnitude < -400) {
        magnitude = 0.0;
    } else {
        const std::string normalised = "0." + number.digits + "e" + std::to_string(number.magnitude);
        const auto [end, error] = std::from_chars(normalised.data(), normalised.data() + normalised.size(),
                                                  magnitude, std::chars_format::general);
        if (error == std::errc::result_out_of_range) magnitude = number.magnitude > 0 ? infinity : 0.0;
    }
    return number.negative ? -magnitude : magnitude;
}

}  // namespace dorvent
