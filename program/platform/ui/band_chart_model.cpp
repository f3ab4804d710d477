#include "band_chart_model.h"

#include <algorithm>
#include <cmath>

namespace murtesk::platform {

void BandBarChartModel::Changed() {
    ++revision_;
    if (held_) {
        dirty_ = true;
    } else {
        ++repaints_;
    }
}

void BandBarChartModel::ReleaseRedraw() {
    held_ = false;
    if (dirty_) {
        ++repaints_;
    }
    dirty_ = false;
}

void BandBarChartModel::SetBandAxis(double min, double max, std::vector<BandAxisMark> marks) {
    bandMin_ = min;
    bandMax_ = max;
    marks_ = std::move(marks);
    Changed();
}

void BandBarChartModel::SetLevelAxis(double bottom, double top, bool automaticTop) {
    bottom_ = bottom;
    top_ = top;
    automaticTop_ = automaticTop;
    Changed();
}

double BandBarChartModel::ShownTop() const {
    if (!automaticTop_) {
        return top_;
    }
    double highest = bottom_;
    for (const double y : y_) {
        if (std::isfinite(y)) {
            highest = std::max(highest, y);
        }
    }
    return std::max(std::ceil(highest / 10.0) * 10.0, bottom_ + 10.0);
}

void BandBarChartModel::SetBars(std::int32_t n) {
    y_.assign(static_cast<std::size_t>(std::max<std::int32_t>(n, 0)), 0.0);
    Changed();
}

void BandBarChartModel::SetLevels(std::span<const double> values) {
    std::copy_n(values.begin(), std::min(values.size(), y_.size()), y_.begin());
    ++copies_;
    Changed();
}

}  // namespace murtesk::platform
