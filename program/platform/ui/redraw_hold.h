// A redraw hold of a chart model for a scope: holds when the chart is not held yet and releases at
// the end, so the changes made inside ask for one repaint; under a hold taken by a caller it does
// nothing.
#pragma once

namespace murtesk::platform {

template <class Chart>
class ChartRedrawHold {
public:
    explicit ChartRedrawHold(Chart& chart) : chart_(chart), took_(!chart.RedrawHeld()) {
        if (took_) {
            chart_.HoldRedraw();
        }
    }
    ~ChartRedrawHold() {
        if (took_) {
            chart_.ReleaseRedraw();
        }
    }
    ChartRedrawHold(const ChartRedrawHold&) = delete;
    ChartRedrawHold& operator=(const ChartRedrawHold&) = delete;

private:
    Chart& chart_;
    bool took_;
};

}  // namespace murtesk::platform
