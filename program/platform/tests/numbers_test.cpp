#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace murtesk::platform {
namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

class FixedFormats : public testing::TestWithParam<FormatCase> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedFormats,
    testing::Values(
        // Halves away from zero, also when the half is exact in binary (printf rounds these to even).
        FormatCase{0.125, "000.00", "000.13"}, FormatCase{-0.125, "000.00", "-000.13"},
        FormatCase{0.25, "0.0", "0.3"}, FormatCase{-0.25, "0.0", "-0.3"},
        FormatCase{2.5, "0", "3"}, FormatCase{-2.5, "0", "-3"}, FormatCase{0.5, "0", "1"},
        FormatCase{1.0005, "0.000", "1.001"},
        // A value whose decimal text is a half but whose binary value lies just below it.
        FormatCase{2.675, "0.00", "2.68"}, FormatCase{1.15, "0.0", "1.2"},
        // Negative widths: the sign stands before the padded digits.
        FormatCase{-3.5, "000.00", "-003.50"}, FormatCase{-60.0, "000.00", "-060.00"},
        FormatCase{-1234.5, "000.00", "-1234.50"},
        // No minus sign on what rounds to zero.
        FormatCase{-0.04, "0.0", "0.0"}, FormatCase{-0.0, "0.0", "0.0"},
        FormatCase{-0.0004, "000.00", "000.00"}, FormatCase{-0.4, "0", "0"},
        // Carries through every digit.
        FormatCase{9.96, "0.0", "10.0"}, FormatCase{99.995, "000.00", "100.00"},
        FormatCase{-999.95, "0.0", "-1000.0"},
        // Ordinary values, large and small.
        FormatCase{65.4321, "0.0", "65.4"}, FormatCase{7.0, "0000", "0007"}, FormatCase{12, "000", "012"},
        FormatCase{123456789012.0, "0", "123456789012"}, FormatCase{1e20, "0.0", "100000000000000000000.0"},
        FormatCase{1e-20, "0.000", "0.000"}, FormatCase{0.0005, "0.000", "0.001"},
        FormatCase{0.00049999, "0.000", "0.000"}, FormatCase{0.05, "0.0", "0.1"},
        FormatCase{std::numeric_limits<double>::quiet_NaN(), "0.0", "NaN"},
        FormatCase{-std::numeric_limits<double>::infinity(), "0.0", "-Inf"}));

TEST_P(FixedFormats, RoundHalvesAwayFromZero) {
    EXPECT_EQ(FormatNumber(GetParam().value, GetParam().pattern), GetParam().expected)
        << GetParam().value << " as " << GetParam().pattern;
}

TEST(FixedFormats, UnsupportedPatternsAreRefused) {
    for (const char* pattern : {"", ".0", "0.", "#0.0", "0.0%", "0,0"}) {
        EXPECT_THROW(ParseFixedFormat(pattern), std::invalid_argument) << pattern;
    }
    EXPECT_EQ(ParseFixedFormat("000.00").integer_digits, 3);
    EXPECT_EQ(ParseFixedFormat("000.00").decimals, 2);
}

TEST(FixedFormats, EveryHundredthFromMinusTenToTenMatchesItsDecimalText) {
    // Independent oracle: the value is built from an integer count of hundredths, and the expected
    // text is written from that integer.
    for (int hundredths = -1000; hundredths <= 1000; ++hundredths) {
        const double value = hundredths / 100.0;
        const int tenths_away = (std::abs(hundredths) + 5) / 10;  // halves away from zero
        std::string expected = (hundredths < 0 && tenths_away != 0) ? "-" : "";
        expected += std::to_string(tenths_away / 10) + "." + std::to_string(tenths_away % 10);
        EXPECT_EQ(FormatNumber(value, "0.0"), expected) << value;
    }
}

TEST(NumberText, WritesTheShortestStandardForm) {
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(1.5), "1.5");
    EXPECT_EQ(NumberToText(100), "100");
    EXPECT_EQ(NumberToText(0.001), "0.001");
    EXPECT_EQ(NumberToText(-2.25), "-2.25");
    EXPECT_EQ(NumberToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberToText(16384), "16384");
    EXPECT_EQ(NumberToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(NumberToText(1e15), "1E+15");
    EXPECT_EQ(NumberToText(0.0001), "0.0001");
    EXPECT_EQ(NumberToText(0.00001), "1E-05");
    EXPECT_EQ(NumberToText(-1.5e-7), "-1.5E-07");
}

TEST(RoundHalfToEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfToEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfToEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfToEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfToEven(-3.5), -4.0);
    EXPECT_EQ(RoundHalfToEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfToEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfToEven(2.4999999), 2.0);
    EXPECT_EQ(RoundHalfToEven(-0.6), -1.0);
    EXPECT_EQ(RoundHalfToEven(4503599627370497.0), 4503599627370497.0);

    std::int32_t r = 0;
    EXPECT_TRUE(RoundToInt32(2147483647.4, r));
    EXPECT_EQ(r, 2147483647);
    EXPECT_TRUE(RoundToInt32(-2147483648.5, r));  // to even: -2147483648
    EXPECT_EQ(r, -2147483647 - 1);
    EXPECT_FALSE(RoundToInt32(2147483647.5, r));
    EXPECT_FALSE(RoundToInt32(std::nan(""), r));
}

}  // namespace
}  // namespace murtesk::platform
