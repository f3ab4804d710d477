// The fast level texts against the program's formatter: every float of a sweep over the levels the
// files hold, halves of hundredths around zero, and the magnitudes and values that take the slow path.
#include "model/level_text.h"

#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace murtesk {
namespace {

std::string Line(float v) {
    std::string s;
    AppendLevelLine(s, v);
    return s;
}

std::string Plain(float v) {
    std::string s;
    AppendPlainLevel(s, v);
    return s;
}

// The column text as the column files give it: "000.00" read back as a number, in plain notation.
std::string PlainOracle(float v) { return platform::NumberToText(std::stod(platform::FormatNumber(v, "000.00"))); }

void ExpectAsFormatter(float v) {
    ASSERT_EQ(Line(v), platform::FormatNumber(v, "000.00") + "\r\n") << v;
    if (std::isfinite(v)) {
        ASSERT_EQ(Plain(v), PlainOracle(v)) << v;
    }
}

TEST(LevelText, HandPickedValues) {
    const struct {
        float v;
        const char* line;
        const char* plain;
    } cases[] = {
        {65.3f, "065.30\r\n", "65.3"},      {-3.5f, "-003.50\r\n", "-3.5"},    {-1000.0f, "-1000.00\r\n", "-1000"},
        {0.0f, "000.00\r\n", "0"},          {-0.004f, "000.00\r\n", "0"},      {-60.0f, "-060.00\r\n", "-60"},
        {0.125f, "000.13\r\n", "0.13"},     {-0.125f, "-000.13\r\n", "-0.13"}, {99.995f, "100.00\r\n", "100"},
        {1234.5f, "1234.50\r\n", "1234.5"}, {7.05f, "007.05\r\n", "7.05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Line(c.v), c.line) << c.v;
        EXPECT_EQ(Plain(c.v), c.plain) << c.v;
    }
}

TEST(LevelText, SameTextAsTheFormatterOverTheLevelRange) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> level(-1100.0f, 200.0f);
    for (int i = 0; i < 200000; ++i) ExpectAsFormatter(level(random));
    // Every float near the halves of a hundredth, and tiny values of both signs.
    for (int h = -20000; h <= 20000; ++h) {
        const float half = (static_cast<float>(h) + 0.5f) / 100.0f;
        ExpectAsFormatter(half);
        ExpectAsFormatter(std::nextafter(half, 1e9f));
        ExpectAsFormatter(std::nextafter(half, -1e9f));
    }
    for (const float v : {1e-30f, -1e-30f, std::numeric_limits<float>::denorm_min(), -0.0f}) ExpectAsFormatter(v);
}

TEST(LevelText, LargeAndNonFiniteValuesTakeTheFormatter) {
    for (const float v : {1e9f, -1e9f, 3.4e38f, 123456789012.0f, std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()})
        ExpectAsFormatter(v);
}

}  // namespace
}  // namespace murtesk
