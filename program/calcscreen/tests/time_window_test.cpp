// The time-window rules with values worked out by hand: positions, point counts, scroll steps and
// values, window starts from the bar, and windows that cannot be drawn.
#include "time_window.h"

#include "platform/dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace murtesk {
namespace {

const Date kStart = platform::DateFromParts(2023, 3, 15, 9, 0, 0);

TEST(TimeWindow, PositionsOfAWindow) {
    // Rate 10, a 60 s window 30 s after the start: 601 points from position 301 to 901.
    const auto p = PositionsOf(30, 60, 10.0);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->first, 301);
    EXPECT_EQ(p->count, 601);
    EXPECT_EQ(p->last, 901);
    // 0.5 values per second: 30 × 0.5 + 1 = 16; 61 × 0.5 + 1 = 31.5 rounds to the even 32.
    const auto half = PositionsOf(30, 61, 0.5);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->first, 16);
    EXPECT_EQ(half->count, 32);
    EXPECT_EQ(half->last, 46);  // 30.5 + 16 = 46.5, to the even 46

    EXPECT_DOUBLE_EQ(PositionX(311, 301, 10.0), 1.0);
    EXPECT_DOUBLE_EQ(PositionX(350, 301, 10.0), 4.9);
    EXPECT_DOUBLE_EQ(PositionX(1000, 301, 10.0), 69.9);
    EXPECT_EQ(CursorPosition(30, 10.0, 5), 305);

    for (const double bad : {0.0, -10.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(PositionsOf(0, 60, bad)) << bad;
        EXPECT_FALSE(CursorPosition(0, bad, 1)) << bad;
    }
    EXPECT_FALSE(PositionsOf(0, -1, 10.0));            // a reversed window
    EXPECT_FALSE(PositionsOf(3'000'000, 60, 1000.0));  // the first position leaves 32 bits
}

struct ScrollCase {
    std::int64_t width;
    std::int64_t length;
    std::int64_t start;
    bool later;
    ScrollSetup expected;
};

class Scroll : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(Scroll, StepsAndValue) {
    const ScrollCase c = GetParam();
    const ScrollSetup s = ScrollFor(c.width, c.length, c.start, c.later);
    EXPECT_EQ(s.max, c.expected.max);
    EXPECT_EQ(s.largeChange, c.expected.largeChange);
    EXPECT_EQ(s.smallChange, c.expected.smallChange);
    EXPECT_EQ(s.value, c.expected.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Scroll,
    ::testing::Values(ScrollCase{60, 3600, 900, true, {1000, 17, 2, 250}},  // 16.7 and 1.7 rounded
                      ScrollCase{10, 36000, 0, false, {1000, 1, 1, 0}},     // 0.28 and 0.1 become 1
                      ScrollCase{60, 100, 70, true, {1000, 600, 60, 700}},
                      ScrollCase{60, 100, 500, true, {1000, 600, 60, 1000}},   // past the end: held to 1000
                      ScrollCase{3600, 3600, 0, false, {0, 32767, 32767, 0}},  // covers it from the start
                      ScrollCase{3600, 3600, 10, true, {1000, 32767, 32767, 1000}},
                      ScrollCase{60, 0, 0, false, {0, 32767, 32767, 0}},  // no length: fixed, no division
                      ScrollCase{60, -5, 0, true, {0, 32767, 32767, 0}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(TimeWindow, WindowStartFromTheBar) {
    const Date end = platform::AddSeconds(kStart, 3600);
    EXPECT_EQ(platform::WholeSecondsBetween(kStart, *WindowStartFromScroll(kStart, end, 3600, 250, 1000)), 900);
    EXPECT_EQ(*WindowStartFromScroll(kStart, end, 3600, 1000, 1000), end);
    // 3600 × 999 / 1000 = 3596.4 s.
    EXPECT_EQ(platform::WholeSecondsBetween(kStart, *WindowStartFromScroll(kStart, end, 3600, 999, 1000)), 3596);
    // A 7 s measurement: 71 × 7 / 1000 = 0.497 rounds to 0.
    EXPECT_EQ(*WindowStartFromScroll(kStart, platform::AddSeconds(kStart, 7), 7, 71, 1000), kStart);
    EXPECT_FALSE(WindowStartFromScroll(kStart, end, 3600, 10, 0));  // a bar whose maximum is 0
}

TEST(TimeWindow, WholeSecondsAndWindowsThatAreNoPairOfDates) {
    EXPECT_EQ(platform::WholeSecondsBetween(kStart, AddWholeSeconds(kStart, 2.5)), 2);
    EXPECT_EQ(platform::WholeSecondsBetween(kStart, AddWholeSeconds(kStart, 3.5)), 4);
    EXPECT_EQ(WholeSecondOf(platform::AddSeconds(kStart, 12.75)), platform::AddSeconds(kStart, 12));

    CXYAxis axis;
    axis.XAxisUnit = 3;
    axis.XAxisMin = Variant::FromDate(kStart);
    axis.XAxisMax = Variant::FromDate(platform::AddSeconds(kStart, 60));
    ASSERT_TRUE(WindowOf(axis));
    EXPECT_EQ(WindowOf(axis)->widthSec, 60);

    CXYAxis reversed = axis;
    std::swap(reversed.XAxisMin, reversed.XAxisMax);
    CXYAxis minutes = axis;
    minutes.XAxisUnit = 1;
    CXYAxis null = axis;
    null.XAxisMax = Variant::Null();
    CXYAxis numbers;  // a new axis: 0..50 as 16-bit numbers
    for (const CXYAxis* bad : {&reversed, &minutes, &null, &numbers}) {
        EXPECT_FALSE(WindowOf(*bad));
    }
}

}  // namespace
}  // namespace murtesk
