#include "platform/dates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace murtesk::platform {
namespace {

// Independent day count from the standard library's calendar.
double ChronoDay(int y, unsigned m, unsigned d) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{y}, month{m}, std::chrono::day{d}};
    const sys_days epoch = year_month_day{year{1899}, December, std::chrono::day{30}};
    return static_cast<double>((day - epoch).count());
}

TEST(DayCount, KnownDates) {
    EXPECT_EQ(DateFromParts(1899, 12, 30), 0.0);
    EXPECT_EQ(DateFromParts(1900, 1, 1), 2.0);
    EXPECT_EQ(DateFromParts(2024, 1, 1), 45292.0);
    EXPECT_EQ(DateFromParts(2024, 1, 1, 12), 45292.5);
    EXPECT_EQ(DateFromParts(1899, 12, 29, 6), -1.25);  // negative days keep a positive time
    EXPECT_EQ(DateFromParts(2024, 2, 28, 23 + 25), DateFromParts(2024, 3, 1, 0));  // leap year
    EXPECT_EQ(DateFromParts(2023, 13, 1), DateFromParts(2024, 1, 1));
    const DateParts p = PartsFromDate(-1.25);
    EXPECT_EQ(p.Year, 1899);
    EXPECT_EQ(p.Day, 29);
    EXPECT_EQ(p.Hour, 6);
}

TEST(DayCount, CivilDatesAgreeWithTheStandardCalendar) {
    using namespace std::chrono;
    for (double day = -657000; day < 2958000; day += 373) {
        const sys_days epoch = year_month_day{year{1899}, December, std::chrono::day{30}};
        const year_month_day ymd{epoch + days{static_cast<int>(day)}};
        const DateParts p = PartsFromDate(day);
        ASSERT_EQ(p.Year, static_cast<int>(ymd.year())) << day;
        ASSERT_EQ(p.Month, static_cast<int>(static_cast<unsigned>(ymd.month()))) << day;
        ASSERT_EQ(p.Day, static_cast<int>(static_cast<unsigned>(ymd.day()))) << day;
        ASSERT_EQ(DateFromParts(p.Year, p.Month, p.Day), day);
        ASSERT_EQ(ChronoDay(p.Year, static_cast<unsigned>(p.Month), static_cast<unsigned>(p.Day)), day);
    }
}

TEST(DayCount, EverySecondOfADayFormatsAndCountsRight) {
    const double base = ChronoDay(2024, 3, 5);
    double stepped = base;
    for (int s = 0; s < 86400; ++s) {
        const int h = s / 3600, n = s / 60 % 60, sec = s % 60;
        char display[32], file_name[32], compact[32];
        std::snprintf(display, sizeof display, "2024/03/05 %02d:%02d:%02d", h, n, sec);
        std::snprintf(file_name, sizeof file_name, "24-3-5-%d_%d_%d", h, n, sec);
        std::snprintf(compact, sizeof compact, "240305%02d%02d%02d", h, n, sec);
        // Three ways of reaching the same second, each with its own binary rounding.
        const double divided = base + s / 86400.0;
        const double multiplied = base + s * (1.0 / 86400.0);
        for (const double date : {divided, multiplied, stepped}) {
            ASSERT_EQ(FormatDisplayDate(date), display) << s;
            ASSERT_EQ(FormatFileNameDate(date), file_name) << s;
            ASSERT_EQ(FormatCompactDate(date), compact) << s;
            ASSERT_EQ(WholeSecondsBetween(base, date), s);
            ASSERT_EQ(WholeSecondsBetween(date, base), -s);
        }
        stepped += 1.0 / 86400.0;  // accumulates binary error over the day
    }
}

TEST(DayCount, WholeSecondsCountSecondBoundaries) {
    const double t = DateFromParts(2024, 3, 5, 7, 8, 9);
    EXPECT_EQ(WholeSecondsBetween(t, AddSeconds(t, 0.999)), 0);
    EXPECT_EQ(WholeSecondsBetween(AddSeconds(t, 0.999), AddSeconds(t, 1.0)), 1);
    EXPECT_EQ(WholeSecondsBetween(t, AddSeconds(t, 86400 * 400.0)), 86400 * 400);
    // Across 1899-12-30, where the day count changes sign.
    const double before = DateFromParts(1899, 12, 29, 23, 59, 59);
    EXPECT_EQ(WholeSecondsBetween(before, DateFromParts(1899, 12, 30, 0, 0, 1)), 2);
    EXPECT_EQ(AddSeconds(before, 1.0), 0.0);
    EXPECT_EQ(AddSeconds(0.0, -30 * 3600.0), -2.75);  // 1899-12-28 18:00
    EXPECT_EQ(AddSeconds(-2.75, 30 * 3600.0), 0.0);
}

TEST(DayCount, FormatPatterns) {
    const double t = DateFromParts(2007, 8, 9, 10, 11, 12);
    EXPECT_EQ(FormatDate(t, "yyyy/mm/dd  hh:nn:ss"), "2007/08/09  10:11:12");
    EXPECT_EQ(FormatDate(t, "hh:mm'ss"), "10:11'12");
    EXPECT_EQ(FormatDate(t, "hh時nn分ss秒"), "10時11分12秒");
    EXPECT_EQ(FormatDate(t, "yymmdd"), "070809");
    EXPECT_EQ(FormatDate(t, "m/d h"), "8/9 10");
}

TEST(DayCount, InjectedClock) {
    {
        ScopedClock clock(45292.5);
        EXPECT_EQ(Now(), 45292.5);
    }
    // The system clock again: some date after 2020.
    EXPECT_GT(Now(), DateFromParts(2020, 1, 1));
}

}  // namespace
}  // namespace murtesk::platform
