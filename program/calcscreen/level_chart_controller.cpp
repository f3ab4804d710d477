#include "level_chart_controller.h"

#include "chart_mouse.h"
#include "time_window.h"

#include "model/level_accumulator.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>

namespace murtesk {

void LevelChartController::Empty() {
    chart_.ClearLevels();
    chart_.SetCursorPoint(0);
    // Group 2 keeps four series without points; no mark label stays behind.
    chart_.SetRanges(2, {});
    chart_.SetLabels({});
}

void LevelChartController::ShowReadOut(double level, Date time) {
    // At or below -60 dB there is no level, as in the panels: the filters' first steps read far below.
    readOut_.level = "Ｌp " + (level > kNoLevel ? platform::FormatNumber(level, "0.0") : std::string("---")) + "dB";
    readOut_.time = platform::FormatDisplayDate(time);
}

LevelChartController::KeptCursor LevelChartController::KeepCursor(std::int64_t startSec, double rate) const {
    KeptCursor kept{std::nullopt, readOut_};
    if (readOut_.Shown()) {
        kept.sample = CursorPosition(startSec, rate, chart_.CursorPoint());
    }
    return kept;
}

bool LevelChartController::RestoreCursor(const KeptCursor& kept, std::int64_t startSec, std::int64_t widthSec,
                                         double rate) {
    const auto positions = PositionsOf(startSec, widthSec, rate);
    if (!kept.sample || !positions || *kept.sample < positions->first || *kept.sample > positions->last) {
        return false;
    }
    chart_.SetCursorPoint(static_cast<std::int32_t>(*kept.sample - positions->first + 1));
    readOut_ = kept.readOut;
    return true;
}

void LevelChartController::ResetDrag() {
    const platform::PlotRect plot = chart_.Geometry().Plot();
    plotLeft_ = plot.left;
    plotTop_ = plot.top;
    plotRight_ = plot.left + plot.width - 1;
    plotBottom_ = plot.top + plot.height - 1;
    startX_ = top_ = currentX_ = bottom_ = -1;
}

void LevelChartController::MouseDown(int Button, int x, int y) {
    if (skip_ || Button != platform::kLeftButton || chart_.LevelCount() <= 1) {
        return;
    }
    ResetDrag();
    if (x < plotLeft_ || x > plotRight_ || y < plotTop_ || y > plotBottom_) {
        return;
    }
    startX_ = currentX_ = x;
    top_ = plotTop_ + 1;
    bottom_ = plotBottom_ - 1;
    chart_.SetCursorShown(false);
    chart_.SetRubberBand(Band());
}

void LevelChartController::MouseMove(int Button, int x, int y, Date windowStart, double rate) {
    const std::int32_t n = chart_.LevelCount();
    const std::int32_t k = chart_.NearestPoint(x);
    const double level = k >= 1 && k <= n ? chart_.LevelPoint(k).y : 0.0;
    if (level != 0.0 && RateUsable(rate)) {
        // The sample's time to the millisecond, shown in whole seconds cut as the range lists cut them.
        ShowReadOut(level, platform::AddSeconds(windowStart, (k - 1) / rate));
    } else {
        ClearReadOut();
    }
    chart_.SetCursorPoint(k);

    if (skip_ || Button != platform::kLeftButton || startX_ < 0 || n <= 1) {
        return;
    }
    // The band's edge follows the mouse only inside the plot; above or below it, it stays.
    if (y > plotTop_ && y < plotBottom_ && x > plotLeft_ && x < plotRight_) {
        currentX_ = x;
    }
    bottom_ = plotBottom_ - 1;
    chart_.SetRubberBand(Band());
}

std::optional<std::pair<std::int32_t, std::int32_t>> LevelChartController::MouseUp(int Button, int x) {
    const std::int32_t n = chart_.LevelCount();
    if (Button != platform::kLeftButton || startX_ <= -1 || n <= 1 || skip_) {
        skip_ = false;
        // A left press that ends in no range (a click) took the marker away: it comes back.
        if (Button == platform::kLeftButton && startX_ > -1) {
            startX_ = -1;
            chart_.SetRubberBand(std::nullopt);
            chart_.SetCursorShown(true);
        }
        return std::nullopt;
    }
    if (x > plotLeft_ && x < plotRight_) {
        currentX_ = x;
    }
    bottom_ = plotBottom_ - 1;
    chart_.SetRubberBand(Band());
    chart_.SetCursorShown(true);
    const std::int32_t p1 = chart_.NearestPoint(startX_);
    const std::int32_t p2 = chart_.NearestPoint(currentX_);
    return std::pair{std::min(p1, p2), std::max(p1, p2)};
}

}  // namespace murtesk
