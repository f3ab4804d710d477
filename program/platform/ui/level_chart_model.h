// The state of a level-versus-time chart, as a form model holds it under the chart's name and its
// widget draws it:
// - group 1, series 1: the levels of a time window, 4-byte floats; point k (1-based) lies at
//   X = (k - 1) × XStep, so no X array is kept. The form reads the window straight into the
//   chart's buffer (PrepareLevels, then SetLevels), and the widget draws from it.
// - group 1, series 2: a few (X, Y) points, a horizontal line across the window or nothing.
// - group 2: the range overlay. Range k (1-based) owns series 2k - 1 (upper, Y = 50) and 2k
//   (lower, Y = -50); only ranges that show in the window carry points, (X1, ±50) and (X2, ±50).
//   The chart keeps the visible ranges and the total number of ranges, so a list of a million
//   ranges costs what its visible part costs.
// - labels attached to data coordinates of group 2, made on demand from a source the form gives.
// - marker "X": a vertical cursor on a point index of series 1 (0 = none); marker "Y": a
//   horizontal marker at a level, shown or hidden.
// - the X axis from XMin to XMax annotated as times counted from a time base, written with a
//   strftime-like format (%Y %m %d %H %M %S); the Y axis from YMin to YMax.
//
// - a rubber band: the rectangle of a drag in progress, in widget pixels.
//
// Repaints: each change asks for one unless the redraw is held; a hold taken while none is held
// collects every change until it is released, which asks for one repaint in all. The background
// (everything but the cursor and the rubber band) and those two count apart, so a cursor move or a
// drag repaints over a cached picture of the rest.
#pragma once

#include "chart_geometry.h"
#include "controls.h"
#include "redraw_hold.h"

#include "platform/large_buffer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace murtesk::platform {

struct ChartColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const ChartColor&) const = default;
};

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const ChartPoint&) const = default;
};

// One range of the overlay that shows in the window, already clipped to it.
struct ChartRangeSpan {
    std::int32_t range = 0;  // k, 1-based: it owns series 2k - 1 and 2k
    double x1 = 0.0;
    double x2 = 0.0;
    ChartColor color;
};

struct RubberBand {
    int left = 0;  // the column where the drag started
    int top = 0;
    int right = 0;  // the column it reached, left of `left` for a drag to the left
    int bottom = 0;
    bool operator==(const RubberBand&) const = default;
};

struct ChartLabel {
    std::string text;
    double x = 0.0;  // data coordinates of group 2
    double y = 0.0;
};

// Labels made when asked: `count` labels, label i (1-based) from at(i) (nothing when its source
// has gone). firstShown..lastShown are the labels whose anchor lies in the window (none when
// firstShown > lastShown), the ones a widget draws.
struct ChartLabelSource {
    std::int32_t count = 0;
    std::int32_t firstShown = 1;
    std::int32_t lastShown = 0;
    std::function<std::optional<ChartLabel>(std::int32_t)> at;
};

inline constexpr double kRangeUpperY = 50.0;
inline constexpr double kRangeLowerY = -50.0;

class LevelChartModel : public ControlState {
public:
    LevelChartModel() = default;
    LevelChartModel(const LevelChartModel&) = delete;
    LevelChartModel& operator=(const LevelChartModel&) = delete;

    // ---- Redraw hold
    bool RedrawHeld() const { return held_; }
    void HoldRedraw() { held_ = true; }
    // Ends the hold; the changes made under it ask for one repaint.
    void ReleaseRedraw();

    // ---- Axes
    void SetXAxis(double min, double max);
    double XMin() const { return xMin_; }
    double XMax() const { return xMax_; }
    void SetTimeBase(double date, std::string format);
    double TimeBase() const { return timeBase_; }
    const std::string& TimeFormat() const { return timeFormat_; }
    // The label of the X axis at x seconds from the time base.
    std::string TimeLabel(double x) const;
    void SetYAxis(double min, double max);
    double YMin() const { return yMin_; }
    double YMax() const { return yMax_; }

    // ---- Group 1, series 1: the levels
    // A buffer for at least `count` values, its contents unspecified; valid until the next call.
    float* PrepareLevels(std::int32_t count);
    // The first `count` values of the buffer become the series, point k at (k - 1) × xStep.
    void SetLevels(std::int32_t count, double xStep);
    void ClearLevels() { SetLevels(0, xStep_); }
    std::int32_t LevelCount() const { return levelCount_; }
    std::span<const float> Levels() const;
    double XStep() const { return xStep_; }
    // Point k (1-based, 1..LevelCount).
    ChartPoint LevelPoint(std::int32_t k) const;

    // ---- Group 1, series 2
    void SetLine(std::vector<ChartPoint> points);
    const std::vector<ChartPoint>& Line() const { return line_; }

    // ---- Group 2: the range overlay
    // rangeCount ranges own 2 × rangeCount series; `shown` lists those with points, by Range.
    void SetRanges(std::int32_t rangeCount, std::vector<ChartRangeSpan> shown);
    std::int32_t RangeSeriesCount() const { return 2 * rangeCount_; }
    const std::vector<ChartRangeSpan>& ShownRanges() const { return shown_; }
    // The points of series s of group 2 (1-based): two points for a shown range, else none.
    std::vector<ChartPoint> RangeSeries(std::int32_t s) const;
    // The colour of series s of group 2, for a shown range.
    std::optional<ChartColor> RangeSeriesColor(std::int32_t s) const;

    // ---- Labels
    void SetLabels(ChartLabelSource labels);
    std::int32_t LabelCount() const { return labels_.count; }
    std::optional<ChartLabel> Label(std::int32_t i) const;
    const ChartLabelSource& Labels() const { return labels_; }

    // ---- Markers
    // Marker "X" on point k of series 1; 0 = no point.
    void SetCursorPoint(std::int32_t k);
    std::int32_t CursorPoint() const { return cursorPoint_; }
    void SetCursorShown(bool shown);
    bool CursorShown() const { return cursorShown_; }
    // Marker "Y".
    void SetLevelMarker(std::optional<double> level);
    std::optional<double> LevelMarker() const { return levelMarker_; }

    // ---- Rubber band: a rectangle in widget pixels drawn over the picture while the user drags.
    // It lasts until the next change of the picture.
    void SetRubberBand(std::optional<RubberBand> band);
    const std::optional<RubberBand>& RubberBandShown() const { return rubberBand_; }

    // ---- Where the widget draws the plot, in its pixels (set by the widget, not a repaint)
    void SetPlotRect(PlotRect plot) { plot_ = plot; }
    // The plot and the axes as drawn now.
    ChartGeometry Geometry() const { return ChartGeometry(plot_, xMin_, xMax_, yMin_, yMax_); }
    // The point of series 1 whose X lies nearest to the middle of pixel column px: 1..LevelCount,
    // also for a column outside the plot; 0 without points or a usable geometry.
    std::int32_t NearestPoint(int px) const;

    // ---- Repaints asked for
    std::uint64_t BackgroundRevision() const { return backgroundRevision_; }
    std::uint64_t CursorRevision() const { return cursorRevision_; }
    std::uint64_t Repaints() const { return repaints_; }

private:
    void Changed(bool background);

    bool held_ = false;
    bool dirtyBackground_ = false;
    bool dirtyCursor_ = false;
    std::uint64_t backgroundRevision_ = 0;
    std::uint64_t cursorRevision_ = 0;
    std::uint64_t repaints_ = 0;

    double xMin_ = 0.0;
    double xMax_ = 1.0;
    double yMin_ = 0.0;
    double yMax_ = 100.0;
    double timeBase_ = 0.0;
    std::string timeFormat_;

    LargeBuffer levels_;
    std::size_t capacity_ = 0;
    std::int32_t levelCount_ = 0;
    double xStep_ = 1.0;

    std::vector<ChartPoint> line_;
    std::int32_t rangeCount_ = 0;
    std::vector<ChartRangeSpan> shown_;
    ChartLabelSource labels_;

    std::int32_t cursorPoint_ = 0;
    bool cursorShown_ = true;
    std::optional<double> levelMarker_;
    std::optional<RubberBand> rubberBand_;
    PlotRect plot_;
};

// Writes a date with a strftime-like format: %Y (4-digit year), %m, %d, %H, %M, %S (2 digits),
// %% a percent sign; anything else as it stands.
std::string FormatChartTime(double date, const std::string& format);

}  // namespace murtesk::platform
