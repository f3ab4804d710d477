// Day-count dates: days since 1899-12-30 00:00 as a double, the time of day as the fraction. Days
// before that date count negative with the time still added as a positive fraction (-1.25 is
// 1899-12-29 06:00), as the project files store them.
//
// Every conversion first rounds a date to the millisecond, so a date computed as start + 9 s,
// which lies a hair below 07:08:09 in binary, still shows as 07:08:09 and counts as that second.
// Dates are valid from year 100 to 9999; others are clamped into that span.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace murtesk::platform {

struct DateParts {
    int Year = 1899;
    int Month = 12;   // 1..12
    int Day = 30;     // 1..31
    int Hour = 0;     // 0..23
    int Minute = 0;   // 0..59
    int Second = 0;   // 0..59
    int Millisecond = 0;  // 0..999
};

// The date of a civil date and time. Parts outside their range carry over (month 13 is January of
// the next year, hour 25 is 01:00 of the next day).
double DateFromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int millisecond = 0);
// The civil date and time of a date, rounded to the millisecond.
DateParts PartsFromDate(double date);

// The date as whole milliseconds from 1899-12-30 00:00 (negative before it), and back.
std::int64_t DateToMilliseconds(double date);
double DateFromMilliseconds(std::int64_t milliseconds);

// The date `seconds` later (earlier when negative), to the millisecond.
double AddSeconds(double date, double seconds);
// The number of second boundaries from `from` to `to` (negative when `to` is earlier): whole
// seconds of both dates, each rounded to the millisecond first.
std::int64_t WholeSecondsBetween(double from, double to);

// Formats a date with the date patterns of the program: yyyy, yy (year), m, mm (month, or the
// minute when it follows an hour), d, dd (day), h, hh (hour), n, nn (minute), s, ss (second); one
// letter is without a leading zero, two with. Any other character is written as it stands.
std::string FormatDate(double date, std::string_view pattern);
// "yyyy/mm/dd hh:mm:ss", the display form.
std::string FormatDisplayDate(double date);
// "yy-m-d-h_n_s", in names of files that belong to a measurement.
std::string FormatFileNameDate(double date);
// "yymmddhhnnss", in names of output files.
std::string FormatCompactDate(double date);

// The local date and time now, from the clock in use (the system clock unless a test set one).
double Now();
// Replaces the clock (nullptr: the system clock again). For tests.
void SetClock(std::function<double()> clock);

// Sets a fixed clock for a scope and puts the previous one back.
class ScopedClock {
public:
    explicit ScopedClock(double now);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    std::function<double()> saved_;
};

}  // namespace murtesk::platform
