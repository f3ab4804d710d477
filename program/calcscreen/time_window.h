// The time window of the calculation screen's level chart, and the rules that turn it into sample
// positions, chart points and scroll-bar values.
//
// - Date differences count whole seconds (second boundaries crossed, dates taken to the
//   millisecond): platform::WholeSecondsBetween.
// - Seconds added to a date are first rounded to whole seconds, halves to the even second
//   (AddWholeSeconds); platform::AddSeconds alone would keep milliseconds.
// - Every other fraction that becomes a whole number is rounded to the nearest, halves to even.
// - Position p (1-based) of a series lies at the measurement's start + (p - 1) / rate seconds.
//
// Arithmetic runs in 64 bits or double; a result narrowed to 32 bits that does not fit, a rate
// that is not a positive finite number, or a reversed width give nothing rather than a wrong
// number. Nothing here divides by a measurement length or a scroll maximum of 0 or below.
#pragma once

#include "model/record_stream.h"
#include "model/xy_axis.h"

#include <cstdint>
#include <optional>

namespace murtesk {

// A date `seconds` later, the seconds rounded to whole seconds (halves to even) first.
Date AddWholeSeconds(Date date, double seconds);
// The date cut to its whole second (the time base of the chart's labels).
Date WholeSecondOf(Date date);
// True when the date's whole second lies within those of `from` and `to` (both ends allowed): how a
// date typed in whole seconds is held against a span whose ends may carry a part of a second (the
// measurements of projects saved before starts were whole seconds), as the span is shown.
bool WithinWholeSeconds(Date date, Date from, Date to);

// A window read from a chart axis: both ends dates (XAxisUnit 3) in order.
struct TimeWindow {
    Date start = 0.0;           // XAxisMin
    Date end = 0.0;             // XAxisMax
    std::int64_t widthSec = 0;  // whole seconds from start to end, never negative
};

// The window of a level chart's axis; nothing when it is no pair of dates or is reversed.
std::optional<TimeWindow> WindowOf(const CXYAxis& axis);
// Sets a level chart's axis to the window of widthSec seconds from `start`, both ends dates.
void SetWindow(CXYAxis& axis, Date start, std::int64_t widthSec);

// True for a level output rate the conversions can use: finite and positive.
bool RateUsable(double rate);

// Where a window lies in a series of `rate` values per second whose position 1 is at the
// measurement's start, startSec whole seconds before the window's start.
struct WindowPositions {
    std::int32_t first = 0;  // position of the window's first value: round(startSec × rate + 1)
    std::int32_t count = 0;  // values drawn: round(widthSec × rate + 1)
    std::int32_t last = 0;   // round(widthSec × rate + first)
};

// Nothing when the rate is unusable, the width negative or a position leaves the 32-bit range.
std::optional<WindowPositions> PositionsOf(std::int64_t startSec, std::int64_t widthSec, double rate);

// The chart X (seconds from the window's first value) of position p: (p - first) / rate.
double PositionX(double position, std::int32_t first, double rate);

// The position the cursor stands on: round(startSec × rate) + point (1-based point of the chart).
std::optional<std::int64_t> CursorPosition(std::int64_t startSec, double rate, std::int32_t point);

// The scroll bar of a window: its maximum, steps and value.
struct ScrollSetup {
    int max = 1000;
    int largeChange = 1;
    int smallChange = 1;
    int value = 0;
};

// The scroll bar for a window widthSec wide starting startSec after the measurement's start, in a
// measurement lengthSec long (the whole-second length from start to end). A window shorter than
// the measurement scrolls over 0..1000; one at least as long gives steps of 32767 and a value of
// 1000 when it starts after the measurement (startsLater), else a fixed bar (Max 0, Value 0); so
// does a measurement whose length is not positive or a reversed window.
ScrollSetup ScrollFor(std::int64_t widthSec, std::int64_t lengthSec, std::int64_t startSec, bool startsLater);

// The window start for scroll value `value` of a bar whose maximum is `max`: the measurement's
// start + round(value × lengthSec / max) seconds, held within measureStart..measureEnd. Nothing
// when max is not positive.
std::optional<Date> WindowStartFromScroll(Date measureStart, Date measureEnd, std::int64_t lengthSec, int value,
                                          int max);

}  // namespace murtesk
