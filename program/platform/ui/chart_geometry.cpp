#include "chart_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace murtesk::platform {

PlotRect PlotRectOf(int widgetWidth, int widgetHeight, const ChartMargins& margins) {
    PlotRect rect;
    rect.left = margins.left;
    rect.top = margins.top;
    rect.width = widgetWidth - margins.left - margins.right;
    rect.height = widgetHeight - margins.top - margins.bottom;
    if (rect.width < 0) {
        rect.width = 0;
    }
    if (rect.height < 0) {
        rect.height = 0;
    }
    return rect;
}

ChartGeometry::ChartGeometry(PlotRect plot, double xMin, double xMax, double yMin, double yMax)
    : plot_(plot), xMin_(xMin), xMax_(xMax), yMin_(yMin), yMax_(yMax) {
    usable_ = !plot.Empty() && std::isfinite(xMin) && std::isfinite(xMax) && std::isfinite(yMin) &&
              std::isfinite(yMax) && xMax > xMin && yMax > yMin;
    if (usable_) {
        columnsPerX_ = plot.width / (xMax - xMin);
        usable_ = std::isfinite(columnsPerX_) && columnsPerX_ > 0.0;
    }
}

double ChartGeometry::PixelX(double x) const { return plot_.left + (x - xMin_) * columnsPerX_; }

double ChartGeometry::PixelY(double y) const { return plot_.top + (yMax_ - y) / (yMax_ - yMin_) * plot_.height; }

double ChartGeometry::DataX(double px) const { return xMin_ + (px - plot_.left) / columnsPerX_; }

double ChartGeometry::DataY(double py) const { return yMax_ - (py - plot_.top) / plot_.height * (yMax_ - yMin_); }

std::int64_t ChartGeometry::ColumnOfX(double x) const {
    if (!usable_ || !(x >= xMin_)) {
        return std::isnan(x) || !usable_ ? plot_.width : -1;
    }
    if (x > xMax_) {
        return plot_.width;
    }
    const double c = std::floor((x - xMin_) * columnsPerX_);
    return c >= plot_.width ? plot_.width - 1 : static_cast<std::int64_t>(c);
}

bool ChartGeometry::ContainsInclusive(int px, int py) const {
    return !plot_.Empty() && px >= plot_.left && px <= plot_.left + plot_.width - 1 && py >= plot_.top &&
           py <= plot_.top + plot_.height - 1;
}

bool ChartGeometry::ContainsStrict(int px, int py) const {
    return !plot_.Empty() && px > plot_.left && px < plot_.left + plot_.width - 1 && py > plot_.top &&
           py < plot_.top + plot_.height - 1;
}

double TimeTickStep(double widthSeconds, int plotWidthPx, int labelWidthPx) {
    if (!(widthSeconds > 0.0) || plotWidthPx <= 0 || labelWidthPx <= 0) {
        return 0.0;
    }
    const double need = labelWidthPx * 1.5;
    const double pxPerSecond = plotWidthPx / widthSeconds;
    static constexpr std::array<double, 17> kLadder = {1,   2,   5,    10,   15,   30,    60,    120,  300,
                                                       600, 900, 1800, 3600, 7200, 10800, 21600, 43200};
    for (const double step : kLadder) {
        if (step * pxPerSecond >= need) {
            return step <= widthSeconds ? step : 0.0;
        }
    }
    for (double days = 1.0; days * 86400.0 <= widthSeconds; days *= 2.0) {
        if (days * 86400.0 * pxPerSecond >= need) {
            return days * 86400.0;
        }
    }
    return 0.0;
}

double LevelTickStep(double range, int plotHeightPx, int labelHeightPx) {
    if (!(range > 0.0) || !std::isfinite(range) || plotHeightPx <= 0 || labelHeightPx <= 0) {
        return 0.0;
    }
    const double need = labelHeightPx * 2.0;
    const double pxPerUnit = plotHeightPx / range;
    for (double decade = 0.1; decade <= range * 10.0; decade *= 10.0) {
        for (const double m : {1.0, 2.0, 5.0}) {
            const double step = m * decade;
            if (step * pxPerUnit >= need) {
                return step <= range ? step : 0.0;
            }
        }
    }
    return 0.0;
}

double FirstTick(double from, double origin, double step) {
    return origin + std::ceil((from - origin) / step - 1e-9) * step;
}

std::vector<PlacedAxisLabel> PlaceAxisLabels(std::span<const int> centres, std::span<const int> widths, int minLeft,
                                             int maxRight, int gap) {
    const std::size_t n = std::min(centres.size(), widths.size());
    std::vector<int> lefts(n);
    for (std::size_t i = 0; i < n; ++i) {
        lefts[i] = std::max(minLeft, std::min(centres[i] - widths[i] / 2, maxRight - widths[i]));
    }
    const auto clear = [&](std::size_t before, std::size_t after) {
        return lefts[before] + widths[before] + gap <= lefts[after];
    };
    bool oneLine = true;
    for (std::size_t i = 1; i < n && oneLine; ++i) {
        oneLine = clear(i - 1, i);
    }
    const std::size_t lines = oneLine ? 1 : 2;
    std::vector<PlacedAxisLabel> placed;
    std::vector<std::size_t> lastOnLine(lines, n);  // n: none yet
    for (std::size_t i = 0; i < n; ++i) {
        const int line = static_cast<int>(i % lines);
        const std::size_t last = lastOnLine[static_cast<std::size_t>(line)];
        const bool end = i == 0 || i + 1 == n;
        if (!end) {
            // Room after the label kept before it on its line, and before the last label if that shares the line.
            if (last != n && !clear(last, i)) continue;
            if ((n - 1) % lines == i % lines && !clear(i, n - 1)) continue;
        }
        placed.push_back({i, line, lefts[i]});
        lastOnLine[static_cast<std::size_t>(line)] = i;
    }
    return placed;
}

}  // namespace murtesk::platform
