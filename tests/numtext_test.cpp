#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"

namespace dorvent {
namespace {

using namespace std::string_literals;

TEST(ReadNumber, ReadsTheLongestLeadingDecimalNumber)
{
    struct Case {
        std::string text;
        double value;
    };
    const Case cases[] = {
        {"250", 250.0},        {" 1 2", 12.0},       {"\t1\n.\n5", 1.5},   {"-3.25", -3.25},
        {"+7", 7.0},           {"1D3", 1000.0},      {"1d3", 1000.0},      {"1e3", 1000.0},
        {"1E-2", 0.01},        {"1e", 1.0},          {"1e+", 1.0},         {"2e+x", 2.0},
        {".5e1x", 5.0},        {"-.5", -0.5},        {"1.", 1.0},          {"0.05", 0.05},
        {"00012.50", 12.5},    {"1.2.3", 1.2},       {"12abc", 12.0},      {"1 e 2", 100.0},
        {"1-2", 1.0},          {"--1", 0.0},         {"abc", 0.0},         {"", 0.0},
        {"&H10", 0.0},         {"nan", 0.0},         {"inf", 0.0},         {"-", 0.0},
        {".", 0.0},            {"+.", 0.0},          {"e5", 0.0},          {"0x1A", 0.0},
        {"1,5", 1.0},          {"５", 0.0},           {"3\r", 3.0},         {"4\0" "5"s, 4.0},
        {"1e0000000000000000000002", 100.0},         {"0.000000000000000000001e21", 1.0},
    };
    for (const Case& c : cases) EXPECT_EQ(readNumber(c.text), c.value) << "text: \"" << c.text << '"';
}

TEST(ReadNumber, IsCorrectlyRoundedForLongDigitStrings)
{
    EXPECT_EQ(readNumber("0.1"), 0.1);
    EXPECT_EQ(readNumber("2.0005"), 2.0005);
    EXPECT_EQ(readNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_EQ(readNumber("0." + std::string(5000, '0') + "1e5000"), 0.1);
    EXPECT_EQ(readNumber(std::string(30000, '9')), std::numeric_limits<double>::infinity());
}

TEST(ReadNumber, NumbersBeyondTheDoubleRangeReadAsInfinityOrZero)
{
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(readNumber("1e400"), infinity);
    EXPECT_EQ(readNumber("-1e400"), -infinity);
    EXPECT_EQ(readNumber("1e309"), infinity);
    EXPECT_EQ(readNumber("1e99999999999999999999"), infinity);
    EXPECT_EQ(readNumber("1e308"), 1e308);
    EXPECT_EQ(readNumber("1e-400"), 0.0);
    EXPECT_EQ(readNumber("-1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(readNumber("-1e-400")));
    EXPECT_EQ(readNumber("0e999999"), 0.0);
}

TEST(FormatFixed, RoundsHalvesAwayFromZeroOnTheFifteenDigitText)
{
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {2.0005, 3, "2.001"},     // binary 2.000499999...; its 15-digit text ends in 5
        {0.125, 2, "0.13"},       {-0.125, 2, "-0.13"},  {1.0005, 3, "1.001"},
        {2.0004999, 3, "2.000"},  {0.0, 3, "0.000"},     {-0.0, 3, "0.000"},
        {-0.0004, 3, "0.000"},    {-0.0005, 3, "-0.001"}, {0.0005, 3, "0.001"},
        {0.00049, 3, "0.000"},    {9.9995, 3, "10.000"},  {999.9996, 3, "1000.000"},
        {0.5, 0, "1"},            {5.123456789, 6, "5.123457"}, {0.001002151675, 6, "0.001002"},
        {1234567.891, 2, "1234567.89"},                   {1e-300, 6, "0.000000"},
        {12.3, 3, "12.300"},      {1e20, 3, "100000000000000000000.000"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value;
}

TEST(FormatFixed, IsTotalOverEveryDouble)
{
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatFixed(infinity, 3), "inf");
    EXPECT_EQ(formatFixed(-infinity, 3), "-inf");
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::quiet_NaN(), 3), "nan");
    const std::string largest = formatFixed(std::numeric_limits<double>::max(), 6);
    EXPECT_EQ(largest.size(), 309u + 7u);
    EXPECT_EQ(largest.substr(0, 15), "179769313486232");
    // Its 15 significant digits lie beyond the largest double, so the text reads back as
    // infinity, by the reader's rule for numbers beyond the range.
    EXPECT_EQ(readNumber(largest), infinity);
    EXPECT_EQ(readNumber(formatFixed(-std::numeric_limits<double>::max(), 2)), -infinity);
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::denorm_min(), 6), "0.000000");
}

TEST(FormatFixed, ReadsBackWithinHalfAUnitOfTheLastPlace)
{
    for (double value : {0.0, 1.0 / 3.0, -2.0 / 7.0, 523.15, 70.736, 2926.437, 1e-7, -98765.4321}) {
        for (int decimals : {2, 3, 6}) {
            const double back = readNumber(formatFixed(value, decimals));
            EXPECT_LE(std::fabs(back - value), 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9)) << value;
        }
    }
}

TEST(FormatShortest, WritesTheShortestSinglePrecisionText)
{
    EXPECT_EQ(formatShortest(2.01f), "2.01");
    EXPECT_EQ(formatShortest(2.3f), "2.3");
    EXPECT_EQ(formatShortest(18.0f), "18");
    EXPECT_EQ(formatShortest(4.5f), "4.5");
    EXPECT_EQ(formatShortest(0.0f), "0");
}

}  // namespace
}  // namespace dorvent
