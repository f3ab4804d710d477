// A picture box used as a position strip: a user scale, lines drawn on its background in copy mode,
// and full-height vertical lines drawn in invert mode over it, where drawing a line a second time at
// the same place removes it (a cursor is moved by drawing it at the old place, then at the new one).
// The view keeps the background as a cached picture and inverts the lines over it; a click reaches
// the form in the strip's scale.
#pragma once

#include "controls.h"
#include "level_chart_model.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace murtesk::platform {

struct StripLine {
    double x = 0.0;
    double y1 = 0.0;
    double y2 = 0.0;
    ChartColor color;
    int width = 1;  // pixels
};

struct PositionStrip : ControlState {
    // x runs from ScaleLeft at the left edge to ScaleLeft + ScaleWidth at the right edge, y from ScaleTop
    // at the top to ScaleTop + ScaleHeight at the bottom.
    double ScaleLeft = 0.0;
    double ScaleTop = 0.0;
    double ScaleWidth = 1.0;
    double ScaleHeight = 1.0;
    std::vector<StripLine> Lines;  // the background, in drawing order
    std::vector<double> Inverted;  // x of the lines drawn in invert mode, each once
    // Changes whenever the background does (scale, lines, clearing).
    std::uint64_t BackgroundRevision = 0;

    // Clears the picture.
    void Cls() {
        Lines.clear();
        Inverted.clear();
        ++BackgroundRevision;
    }
    // The scale from corner (x1, y1) at the top left to (x2, y2) at the bottom right.
    void Scale(double x1, double y1, double x2, double y2) {
        ScaleLeft = x1;
        ScaleTop = y1;
        ScaleWidth = x2 - x1;
        ScaleHeight = y2 - y1;
        ++BackgroundRevision;
    }
    void Line(double x, double y1, double y2, ChartColor color, int width) {
        Lines.push_back(StripLine{x, y1, y2, color, width});
        ++BackgroundRevision;
    }
    // A full-height vertical line at x in invert mode.
    void InvertLine(double x) {
        auto it = std::find(Inverted.begin(), Inverted.end(), x);
        if (it != Inverted.end()) {
            Inverted.erase(it);
        } else {
            Inverted.push_back(x);
        }
    }
};

}  // namespace murtesk::platform
