#include "level_chart_model.h"

#include "platform/dates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace murtesk::platform {

void LevelChartModel::Changed(bool background) {
    if (background) {
        rubberBand_.reset();
    }
    if (held_) {
        (background ? dirtyBackground_ : dirtyCursor_) = true;
        return;
    }
    ++(background ? backgroundRevision_ : cursorRevision_);
    ++repaints_;
}

void LevelChartModel::ReleaseRedraw() {
    held_ = false;
    if (dirtyBackground_) {
        ++backgroundRevision_;
    }
    if (dirtyCursor_) {
        ++cursorRevision_;
    }
    if (dirtyBackground_ || dirtyCursor_) {
        ++repaints_;
    }
    dirtyBackground_ = false;
    dirtyCursor_ = false;
}

void LevelChartModel::SetXAxis(double min, double max) {
    xMin_ = min;
    xMax_ = max;
    Changed(true);
}

void LevelChartModel::SetTimeBase(double date, std::string format) {
    timeBase_ = date;
    timeFormat_ = std::move(format);
    Changed(true);
}

std::string LevelChartModel::TimeLabel(double x) const {
    return FormatChartTime(AddSeconds(timeBase_, x), timeFormat_);
}

void LevelChartModel::SetYAxis(double min, double max) {
    yMin_ = min;
    yMax_ = max;
    Changed(true);
}

float* LevelChartModel::PrepareLevels(std::int32_t count) {
    const std::size_t want = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (want > capacity_) {
        // No value initialisation: the read fills what it delivers, SetLevels says how much.
        levels_ = LargeBuffer();
        levels_ = LargeBuffer(want * sizeof(float));
        capacity_ = levels_.size() / sizeof(float);
    }
    return static_cast<float*>(levels_.data());
}

void LevelChartModel::SetLevels(std::int32_t count, double xStep) {
    levelCount_ =
        std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(std::min<std::size_t>(capacity_, INT32_MAX)));
    xStep_ = xStep;
    Changed(true);
}

std::span<const float> LevelChartModel::Levels() const {
    return {static_cast<const float*>(levels_.data()), static_cast<std::size_t>(levelCount_)};
}

ChartPoint LevelChartModel::LevelPoint(std::int32_t k) const {
    return {(k - 1) * xStep_, static_cast<const float*>(levels_.data())[k - 1]};
}

void LevelChartModel::SetLine(std::vector<ChartPoint> points) {
    line_ = std::move(points);
    Changed(true);
}

void LevelChartModel::SetRanges(std::int32_t rangeCount, std::vector<ChartRangeSpan> shown) {
    rangeCount_ = rangeCount;
    shown_ = std::move(shown);
    Changed(true);
}

std::vector<ChartPoint> LevelChartModel::RangeSeries(std::int32_t s) const {
    const std::int32_t k = (s + 1) / 2;
    const auto it = std::lower_bound(shown_.begin(), shown_.end(), k,
                                     [](const ChartRangeSpan& span, std::int32_t range) { return span.range < range; });
    if (s < 1 || it == shown_.end() || it->range != k) {
        return {};
    }
    const double y = s % 2 == 1 ? kRangeUpperY : kRangeLowerY;
    return {{it->x1, y}, {it->x2, y}};
}

std::optional<ChartColor> LevelChartModel::RangeSeriesColor(std::int32_t s) const {
    const std::int32_t k = (s + 1) / 2;
    const auto it = std::lower_bound(shown_.begin(), shown_.end(), k,
                                     [](const ChartRangeSpan& span, std::int32_t range) { return span.range < range; });
    if (s < 1 || it == shown_.end() || it->range != k) {
        return std::nullopt;
    }
    return it->color;
}

void LevelChartModel::SetLabels(ChartLabelSource labels) {
    labels_ = std::move(labels);
    Changed(true);
}

std::optional<ChartLabel> LevelChartModel::Label(std::int32_t i) const {
    if (i < 1 || i > labels_.count || !labels_.at) {
        return std::nullopt;
    }
    return labels_.at(i);
}

void LevelChartModel::SetCursorPoint(std::int32_t k) {
    cursorPoint_ = k;
    Changed(false);
}

void LevelChartModel::SetCursorShown(bool shown) {
    cursorShown_ = shown;
    Changed(false);
}

void LevelChartModel::SetLevelMarker(std::optional<double> level) {
    levelMarker_ = level;
    Changed(true);
}

void LevelChartModel::SetRubberBand(std::optional<RubberBand> band) {
    rubberBand_ = band;
    Changed(false);
}

std::int32_t LevelChartModel::NearestPoint(int px) const {
    const ChartGeometry g = Geometry();
    if (levelCount_ < 1 || !g.Usable() || !(xStep_ > 0.0)) {
        return 0;
    }
    const double k = std::nearbyint(g.DataX(px + 0.5) / xStep_) + 1.0;
    if (!(k >= 1.0)) {
        return 1;
    }
    return k >= levelCount_ ? levelCount_ : static_cast<std::int32_t>(k);
}

std::string FormatChartTime(double date, const std::string& format) {
    const DateParts p = PartsFromDate(date);
    std::string out;
    char buffer[8];
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        const char code = format[++i];
        switch (code) {
        case 'Y': std::snprintf(buffer, sizeof buffer, "%04d", p.Year); break;
        case 'm': std::snprintf(buffer, sizeof buffer, "%02d", p.Month); break;
        case 'd': std::snprintf(buffer, sizeof buffer, "%02d", p.Day); break;
        case 'H': std::snprintf(buffer, sizeof buffer, "%02d", p.Hour); break;
        case 'M': std::snprintf(buffer, sizeof buffer, "%02d", p.Minute); break;
        case 'S': std::snprintf(buffer, sizeof buffer, "%02d", p.Second); break;
        case '%': std::snprintf(buffer, sizeof buffer, "%%"); break;
        default: std::snprintf(buffer, sizeof buffer, "%%%c", code); break;
        }
        out += buffer;
    }
    return out;
}

}  // namespace murtesk::platform
