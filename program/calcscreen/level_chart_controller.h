// What the mouse and the scroll commands do on the calculation screen's level chart, apart from the
// form: the cursor and its read-out (the level and the time under it), the rubber band of a drag with
// the left button and the points it ends on, and the cursor kept on its sample while the window moves.
// It drives the chart's state (platform::LevelChartModel) and reads nothing of the form; the form shows
// the read-out in its labels and hands a finished drag to the procedure the user chose.
#pragma once

#include "level_chart_model.h"

#include "model/record_stream.h"
#include "platform/dates.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace murtesk {

// The cursor's read-out: "Ｌp 63.4dB" (or "Ｌp ---dB" at or below -60 dB) and the time of its point;
// both " " while the cursor stands on no value.
struct CursorReadOut {
    std::string level = " ";
    std::string time = " ";
    bool Shown() const { return level != " "; }
};

class LevelChartController {
public:
    explicit LevelChartController(platform::LevelChartModel& chart) : chart_(chart) {}

    // The chart without levels, cursor, ranges or labels.
    void Empty();

    const CursorReadOut& ReadOut() const { return readOut_; }
    // The read-out of a level at a time; a read-out as given; none.
    void ShowReadOut(double level, Date time);
    void SetReadOut(CursorReadOut readOut) { readOut_ = std::move(readOut); }
    void ClearReadOut() { readOut_ = {}; }

    // The cursor kept across a move of the window: its sample (a position of the series) when the
    // read-out shows one, with the read-out.
    struct KeptCursor {
        std::optional<std::int64_t> sample;
        CursorReadOut readOut;
    };
    // The cursor of a window starting startSec whole seconds after the series' start, at `rate`.
    KeptCursor KeepCursor(std::int64_t startSec, double rate) const;
    // Puts the kept cursor back on its sample in the window now starting startSec, widthSec wide;
    // false (the cursor left where the new window put it) when the sample is not in it.
    bool RestoreCursor(const KeptCursor& kept, std::int64_t startSec, std::int64_t widthSec, double rate);

    // The mouse in the chart widget's pixels; Button as platform::kLeftButton and the others. A move
    // puts the cursor on the nearest point, its read-out at windowStart + (k - 1) / rate (none for a
    // level of exactly 0 or an unusable rate). A press inside the plot with the left button starts a
    // drag, hiding the cursor, while the chart has two points or more; the release gives the drag's
    // points (first <= last, 1-based in the window), nothing for a click or a release elsewhere.
    void MouseDown(int Button, int x, int y);
    void MouseMove(int Button, int x, int y, Date windowStart, double rate);
    std::optional<std::pair<std::int32_t, std::int32_t>> MouseUp(int Button, int x);
    // The chart reported a click (press and release on one pixel): the release makes no range.
    void Click() { skip_ = true; }

private:
    void ResetDrag();
    platform::RubberBand Band() const { return {startX_, top_, currentX_, bottom_}; }

    platform::LevelChartModel& chart_;
    CursorReadOut readOut_;
    int plotLeft_ = 0, plotTop_ = 0, plotRight_ = -1, plotBottom_ = -1;
    int startX_ = -1, top_ = -1, currentX_ = -1, bottom_ = -1;
    bool skip_ = false;
};

}  // namespace murtesk
