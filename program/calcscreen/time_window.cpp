#include "time_window.h"

#include "platform/dates.h"
#include "platform/numbers.h"

#include <cmath>

namespace murtesk {

using platform::RoundHalfToEven;
using platform::RoundToInt32;

Date AddWholeSeconds(Date date, double seconds) { return platform::AddSeconds(date, RoundHalfToEven(seconds)); }

Date WholeSecondOf(Date date) {
    const std::int64_t ms = platform::DateToMilliseconds(date);
    const std::int64_t second = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    return platform::DateFromMilliseconds(second * 1000);
}

bool WithinWholeSeconds(Date date, Date from, Date to) {
    const auto second = [](Date d) { return platform::DateToMilliseconds(WholeSecondOf(d)); };
    return second(from) <= second(date) && second(date) <= second(to);
}

namespace {

std::optional<Date> DateEnd(const Variant& end) {
    const bool dated = end.IsDate() || std::holds_alternative<double>(end.value());
    const double value = end.AsDouble();
    if (!dated || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<TimeWindow> WindowOf(const CXYAxis& axis) {
    const auto start = DateEnd(axis.XAxisMin);
    const auto end = DateEnd(axis.XAxisMax);
    if (axis.XAxisUnit != 3 || !start || !end) {
        return std::nullopt;
    }
    const std::int64_t width = platform::WholeSecondsBetween(*start, *end);
    if (width < 0) {
        return std::nullopt;
    }
    return TimeWindow{*start, *end, width};
}

void SetWindow(CXYAxis& axis, Date start, std::int64_t widthSec) {
    axis.XAxisUnit = 3;
    axis.XAxisMin = Variant::FromDate(start);
    axis.XAxisMax = Variant::FromDate(platform::AddSeconds(start, static_cast<double>(widthSec)));
}

bool RateUsable(double rate) { return std::isfinite(rate) && rate > 0.0; }

std::optional<WindowPositions> PositionsOf(std::int64_t startSec, std::int64_t widthSec, double rate) {
    if (!RateUsable(rate) || widthSec < 0) {
        return std::nullopt;
    }
    WindowPositions p;
    const double span = static_cast<double>(widthSec) * rate;
    if (!RoundToInt32(static_cast<double>(startSec) * rate + 1.0, p.first) || !RoundToInt32(span + 1.0, p.count) ||
        !RoundToInt32(span + p.first, p.last)) {
        return std::nullopt;
    }
    return p;
}

double PositionX(double position, std::int32_t first, double rate) { return (position - first) / rate; }

std::optional<std::int64_t> CursorPosition(std::int64_t startSec, double rate, std::int32_t point) {
    if (!RateUsable(rate)) {
        return std::nullopt;
    }
    const double base = RoundHalfToEven(static_cast<double>(startSec) * rate);
    if (!(std::fabs(base) < 9.0e15)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(base) + point;
}

namespace {

// A scroll step: held to 1000 above and to one second's worth (u) below, then at least 1.
int ScrollStep(double step, double u) {
    if (step > 1000.0) {
        step = 1000.0;
    } else if (step < u) {
        step = u;
    }
    const double rounded = RoundHalfToEven(step);
    return rounded < 1.0 ? 1 : static_cast<int>(rounded);
}

}  // namespace

ScrollSetup ScrollFor(std::int64_t widthSec, std::int64_t lengthSec, std::int64_t startSec, bool startsLater) {
    ScrollSetup s;
    if (widthSec >= 0 && widthSec < lengthSec) {
        const double t = static_cast<double>(lengthSec);
        const double u = 1000.0 / t;
        s.largeChange = ScrollStep(1000.0 * static_cast<double>(widthSec) / t, u);
        s.smallChange = ScrollStep(s.largeChange / 10.0, u);
        double v = static_cast<double>(startSec) * 1000.0 / t;
        v = v > 1000.0 ? 1000.0 : v < 0.0 ? 0.0 : v;
        s.value = static_cast<int>(RoundHalfToEven(v));
        return s;
    }
    s.largeChange = 32767;
    s.smallChange = 32767;
    if (startsLater && widthSec >= 0 && lengthSec > 0) {
        s.value = 1000;
    } else {
        s.value = 0;
        s.max = 0;
    }
    return s;
}

std::optional<Date> WindowStartFromScroll(Date measureStart, Date measureEnd, std::int64_t lengthSec, int value,
                                          int max) {
    if (max <= 0) {
        return std::nullopt;
    }
    const double seconds = RoundHalfToEven(static_cast<double>(value) * static_cast<double>(lengthSec) / max);
    Date start = platform::AddSeconds(measureStart, seconds);
    if (start < measureStart) {
        start = measureStart;
    } else if (start > measureEnd) {
        start = measureEnd;
    }
    return start;
}

}  // namespace murtesk
