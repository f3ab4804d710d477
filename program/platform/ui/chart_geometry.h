// Geometry of a chart's plot area: the rectangle, in widget pixels, where the data are drawn, and
// the mapping between data coordinates and pixels; and the spacing of axis labels. Pure
// arithmetic, shared by the chart widgets, the forms' mouse handling and the tests.
//
// Pixel column c of the plot (0-based) is the widget column Left + c. A data X belongs to the
// column floor((X - XMin) × Width / (XMax - XMin)); the right end XMax belongs to the last column.
// Y grows upwards in data and downwards in pixels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace murtesk::platform {

struct PlotRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
};

struct ChartMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The plot rectangle of a widget of the given size; empty when the margins leave no room.
PlotRect PlotRectOf(int widgetWidth, int widgetHeight, const ChartMargins& margins);

class ChartGeometry {
public:
    ChartGeometry() = default;
    ChartGeometry(PlotRect plot, double xMin, double xMax, double yMin, double yMax);

    const PlotRect& Plot() const { return plot_; }
    double XMin() const { return xMin_; }
    double XMax() const { return xMax_; }
    double YMin() const { return yMin_; }
    double YMax() const { return yMax_; }
    // The plot has an area and both axis ranges are finite with max > min: only then do the
    // mappings below mean anything.
    bool Usable() const { return usable_; }

    double PixelX(double x) const;
    double PixelY(double y) const;
    double DataX(double px) const;
    double DataY(double py) const;

    // The plot column of a data X: -1 left of the plot, Width right of it (and for NaN).
    std::int64_t ColumnOfX(double x) const;

    // Whether a widget pixel lies on the plot. Inclusive: any pixel of the plot, its edge pixels
    // (columns Left and Left + Width - 1, rows Top and Top + Height - 1) included; Strict: inside
    // the edge pixels.
    bool ContainsInclusive(int px, int py) const;
    bool ContainsStrict(int px, int py) const;

private:
    PlotRect plot_;
    double xMin_ = 0.0;
    double xMax_ = 1.0;
    double yMin_ = 0.0;
    double yMax_ = 1.0;
    double columnsPerX_ = 0.0;
    bool usable_ = false;
};

// The step between time labels, in seconds: the least step of a ladder of round steps (1, 2, 5,
// 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h, then whole days) whose labels, each
// labelWidthPx wide, keep at least half a label width between them on a plot plotWidthPx wide showing
// widthSeconds. 0 when no label fits or the width is not positive.
double TimeTickStep(double widthSeconds, int plotWidthPx, int labelWidthPx);

// The step between level labels (1, 2, 5 × a power of ten dB) whose labels, labelHeightPx high,
// keep at least one label height between them; 0 when none fits.
double LevelTickStep(double range, int plotHeightPx, int labelHeightPx);

// The first tick at or after `from` on a grid of `step` through `origin`.
double FirstTick(double from, double origin, double step);

// A label of an axis placed under the plot: which one, on which line (0 the first under the plot), and
// its left pixel.
struct PlacedAxisLabel {
    std::size_t index = 0;
    int line = 0;
    int left = 0;
};

// Places axis labels centred on their pixels (`centres`, ascending; `widths` in pixels), each within
// [minLeft, maxRight] (moved inwards at the ends), with at least `gap` pixels between labels on one line.
// All go on one line when they fit there; otherwise they alternate between two lines, and a label that
// still runs into its neighbour on its line is left out, the first and the last never (they name the
// ends of the axis). The labels come back in their order.
std::vector<PlacedAxisLabel> PlaceAxisLabels(std::span<const int> centres, std::span<const int> widths, int minLeft,
                                             int maxRight, int gap);

}  // namespace murtesk::platform
