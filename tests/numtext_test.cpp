#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"

namespace dorvent {

constexpr double kInf = std::numeric_limits<double>::infinity(), kLargest = std::numeric_limits<double>::max();

TEST(ReadNumber, ReadsTheLongestLeadingDecimalNumberCorrectlyRoundedOrOutOfRange)
{
    using namespace std::string_literals;
    const std::pair<std::string, double> cases[] = {
        {"250", 250.0}, {" 1 2", 12.0}, {"\t1\n.\n5", 1.5}, {"-3.25", -3.25}, {"+7", 7.0}, {"1D3", 1000.0}, {"1d3", 1000.0},
        {"1e3", 1000.0}, {"1E-2", 0.01}, {"1e", 1.0}, {"1e+", 1.0}, {"2e+x", 2.0}, {".5e1x", 5.0}, {"-.5", -0.5},
        {"1.", 1.0}, {"0.05", 0.05}, {"00012.50", 12.5}, {"1.2.3", 1.2}, {"12abc", 12.0}, {"1 e 2", 100.0}, {"1-2", 1.0},
        {"--1", 0.0}, {"abc", 0.0}, {"", 0.0}, {"&H10", 0.0}, {"nan", 0.0}, {"inf", 0.0}, {"-", 0.0}, {".", 0.0},
        {"+.", 0.0}, {"e5", 0.0}, {"0x1A", 0.0}, {"1,5", 1.0}, {"５", 0.0}, {"3\r", 3.0}, {"4\0" "5"s, 4.0},
        {"1e0000000000000000000002", 100.0}, {"0.000000000000000000001e21", 1.0}, {"0.1", 0.1}, {"2.0005", 2.0005},
        {"123456789012345678901234567890", 123456789012345678901234567890.0}, {std::string(30000, '9'), kInf},
        {"0." + std::string(5000, '0') + "1e5000", 0.1}, {"1e400", kInf}, {"-1e400", -kInf}, {"1e309", kInf},
        {"1e99999999999999999999", kInf}, {"1e308", 1e308}, {"1e-400", 0.0}, {"0e999999", 0.0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(readNumber(text), value) << '"' << text.substr(0, 40) << '"';
    EXPECT_TRUE(std::signbit(readNumber("-1e-400")));
}

TEST(FormatNumber, RoundsHalvesAwayFromZeroOnTheFifteenDigitTextAndIsTotal)
{
    const struct { double value; int decimals; const char* text; } cases[] = {
        {2.0005, 3, "2.001"},  // binary 2.000499999...; its 15-digit text ends in 5
        {0.125, 2, "0.13"}, {-0.125, 2, "-0.13"}, {1.0005, 3, "1.001"}, {2.0004999, 3, "2.000"}, {0.0, 3, "0.000"},
        {-0.0, 3, "0.000"}, {-0.0004, 3, "0.000"}, {-0.0005, 3, "-0.001"}, {0.0005, 3, "0.001"}, {0.00049, 3, "0.000"},
        {9.9995, 3, "10.000"}, {999.9996, 3, "1000.000"}, {0.5, 0, "1"}, {5.123456789, 6, "5.123457"},
        {0.001002151675, 6, "0.001002"}, {1234567.891, 2, "1234567.89"}, {1e-300, 6, "0.000000"}, {12.3, 3, "12.300"},
        {1e20, 3, "100000000000000000000.000"}, {kInf, 3, "inf"}, {-kInf, 3, "-inf"}, {NAN, 3, "nan"},
        {std::numeric_limits<double>::denorm_min(), 6, "0.000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value;
    // The largest double keeps 15 significant digits, which lie beyond it: its text reads back as infinity.
    const std::string largest = formatFixed(kLargest, 6);
    EXPECT_EQ(largest.substr(0, 15) + " " + std::to_string(largest.size()), "179769313486232 316");
    EXPECT_EQ(std::pair(readNumber(largest), readNumber(formatFixed(-kLargest, 2))), std::pair(kInf, -kInf));
    for (const auto& [value, text] : {std::pair{2.01f, "2.01"}, {2.3f, "2.3"}, {18.0f, "18"}, {4.5f, "4.5"}, {0.0f, "0"}})
        EXPECT_EQ(formatShortest(value), text);
}

}  // namespace dorvent
