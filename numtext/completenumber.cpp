#include "numtext/completenumber.h"

#include <charconv>
#include <string>

namespace dorvent {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// The text with the full-width forms U+FF01 to U+FF5E as ASCII and the ideographic space as a
/// blank; every other byte as it is.
std::string halfWidth(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        if (i + 2 < text.size() && byte(i) == 0xEF && (byte(i + 1) == 0xBC || byte(i + 1) == 0xBD)) {
            const unsigned code = 0xF000 | (byte(i + 1) & 0x3F) << 6 | (byte(i + 2) & 0x3F);  // U+FF00 block
            const unsigned ascii = code - 0xFEE0;
            if (ascii >= 0x21 && ascii <= 0x7E) {
                out += static_cast<char>(ascii);
                i += 2;
                continue;
            }
        }
        if (i + 2 < text.size() && byte(i) == 0xE3 && byte(i + 1) == 0x80 && byte(i + 2) == 0x80) {  // U+3000
            out += ' ';
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

/// Digits, with commas only between groups of three after a first group of one to three.
bool groupedDigits(std::string_view digits)
{
    if (digits.find(',') == std::string_view::npos) return true;
    std::size_t group = 0;
    bool first = true;
    for (const char c : digits) {
        if (c == ',') {
            if (group == 0 || group > 3 || (!first && group != 3)) return false;
            first = false;
            group = 0;
        } else {
            ++group;
        }
    }
    return group == 3;
}

}  // namespace

std::optional<double> readCompleteNumber(std::string_view typed)
{
    const std::string text = halfWidth(typed);
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    const std::string_view number = std::string_view(text).substr(begin, text.find_last_not_of(" \t") + 1 - begin);

    // sign, digits and commas, point and digits, exponent: nothing left over.
    std::size_t i = 0;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    const std::size_t integerBegin = i;
    while (i < number.size() && (isDigit(number[i]) || number[i] == ',')) ++i;
    const std::string_view integer = number.substr(integerBegin, i - integerBegin);
    std::size_t fractionDigits = 0;
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && isDigit(number[i]); ++i) ++fractionDigits;
    }
    if ((integer.empty() && fractionDigits == 0) || !groupedDigits(integer)) return std::nullopt;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        const std::size_t exponentBegin = i;
        while (i < number.size() && isDigit(number[i])) ++i;
        if (i == exponentBegin) return std::nullopt;
    }
    if (i != number.size()) return std::nullopt;

    std::string plain;
    for (const char c : number) {
        if (c != ',' && c != '+') plain += c;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return value;
}

}  // namespace dorvent
