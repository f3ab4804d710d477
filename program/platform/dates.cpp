#include "dates.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <utility>

namespace murtesk::platform {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
// Days from 1970-01-01 to 1899-12-30.
constexpr std::int64_t kEpochShift = -25'569;
// Year 100-01-01 and 9999-12-31 23:59:59.999 as day counts.
constexpr double kFirstDay = -657'434.0;
constexpr double kLastDay = 2'958'466.0;

// Days since 1970-01-01 of a proleptic Gregorian date (after H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

std::mutex g_clock_mutex;
std::function<double()> g_clock;

double SystemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return DateFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec, static_cast<int>(ms < 0 ? ms + 1000 : ms));
}

}  // namespace

std::int64_t DateToMilliseconds(double date) {
    if (!std::isfinite(date)) date = 0.0;
    date = std::clamp(date, kFirstDay - 1.0, kLastDay);
    // A negative date is its day minus a positive time of day.
    const double day = std::trunc(date);
    const double time = std::fabs(date - day);
    return static_cast<std::int64_t>(day) * kMillisecondsPerDay +
           std::llround(time * static_cast<double>(kMillisecondsPerDay));
}

double DateFromMilliseconds(std::int64_t milliseconds) {
    const std::int64_t day = FloorDiv(milliseconds, kMillisecondsPerDay);
    const double time = static_cast<double>(milliseconds - day * kMillisecondsPerDay) /
                        static_cast<double>(kMillisecondsPerDay);
    return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

double DateFromParts(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    const std::int64_t months = static_cast<std::int64_t>(year) * 12 + (month - 1);
    const std::int64_t y = FloorDiv(months, 12);
    const std::int64_t m = months - y * 12 + 1;
    const std::int64_t days = DaysFromCivil(y, m, 1) + (day - 1) - kEpochShift;
    const std::int64_t ms = days * kMillisecondsPerDay +
                            ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 +
                            millisecond;
    return DateFromMilliseconds(ms);
}

DateParts PartsFromDate(double date) {
    const std::int64_t ms = DateToMilliseconds(date);
    const std::int64_t day = FloorDiv(ms, kMillisecondsPerDay);
    std::int64_t rest = ms - day * kMillisecondsPerDay;
    DateParts parts;
    CivilFromDays(day + kEpochShift, parts.Year, parts.Month, parts.Day);
    parts.Millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    parts.Second = static_cast<int>(rest % 60);
    rest /= 60;
    parts.Minute = static_cast<int>(rest % 60);
    parts.Hour = static_cast<int>(rest / 60);
    return parts;
}

double AddSeconds(double date, double seconds) {
    if (!std::isfinite(seconds)) return date;
    seconds = std::clamp(seconds, -4.0e11, 4.0e11);
    return DateFromMilliseconds(DateToMilliseconds(date) + std::llround(seconds * 1000.0));
}

std::int64_t WholeSecondsBetween(double from, double to) {
    return FloorDiv(DateToMilliseconds(to), 1000) - FloorDiv(DateToMilliseconds(from), 1000);
}

std::string FormatDate(double date, std::string_view pattern) {
    const DateParts p = PartsFromDate(date);
    std::string out;
    bool after_hour = false;
    auto number = [&](int value, std::size_t width) {
        std::string digits = std::to_string(value);
        if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
        out += digits;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        switch (c) {
            case 'y':
                if (run >= 4) number(p.Year, 4);
                else number(p.Year % 100, 2);
                after_hour = false;
                break;
            case 'm':
                number(after_hour ? p.Minute : p.Month, run >= 2 ? 2 : 1);
                after_hour = false;
                break;
            case 'd': number(p.Day, run >= 2 ? 2 : 1); after_hour = false; break;
            case 'h': number(p.Hour, run >= 2 ? 2 : 1); after_hour = true; break;
            case 'n': number(p.Minute, run >= 2 ? 2 : 1); after_hour = false; break;
            case 's': number(p.Second, run >= 2 ? 2 : 1); after_hour = false; break;
            default: out.append(run, c); break;
        }
        i += run;
    }
    return out;
}

std::string FormatDisplayDate(double date) { return FormatDate(date, "yyyy/mm/dd hh:mm:ss"); }
std::string FormatFileNameDate(double date) { return FormatDate(date, "yy-m-d-h_n_s"); }
std::string FormatCompactDate(double date) { return FormatDate(date, "yymmddhhnnss"); }

double Now() {
    std::function<double()> clock;
    {
        std::lock_guard lock(g_clock_mutex);
        clock = g_clock;
    }
    return clock ? clock() : SystemNow();
}

void SetClock(std::function<double()> clock) {
    std::lock_guard lock(g_clock_mutex);
    g_clock = std::move(clock);
}

ScopedClock::ScopedClock(double now) {
    std::lock_guard lock(g_clock_mutex);
    saved_ = std::exchange(g_clock, [now] { return now; });
}

ScopedClock::~ScopedClock() {
    SetClock(std::move(saved_));
}

}  // namespace murtesk::platform
