// The level chart of the calculation screen: its axes and scroll bar from the shown channel's
// window, the window's levels read in one block into the chart, the scroll bar moving the window,
// the hand-overs to the graph-axis and horizontal-line dialogs, and the range overlay.
#include "frmOctCalc.h"

#include "frmHorizontalLine.h"
#include "globals.h"
#include "time_window.h"

#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace murtesk {

namespace {

constexpr const char* kTimeLabelFormat = "%d日 %H:%M:%S";
constexpr platform::ChartColor kLevelOverColor{255, 153, 0};
constexpr platform::ChartColor kMarkColor{255, 255, 0};
constexpr platform::ChartColor kExcludedColor{0, 0, 255};
constexpr platform::ChartColor kLEColor{0, 255, 0};
constexpr double kMarkLabelY = 1.0;

// A range end as a position; nothing when it holds no number.
std::optional<double> RangeEnd(const Variant& end) {
    if (end.IsEmpty() || end.IsNull()) {
        return std::nullopt;
    }
    const double value = end.AsDouble();
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

double KeyOrLowest(const Variant& end) { return RangeEnd(end).value_or(-std::numeric_limits<double>::infinity()); }

// The channel record the dialogs edit: what they can change (the axes and the line) with the
// condition and level-data record they read; not the band records, whose range lists may be large.
std::shared_ptr<CChMeasure> DialogCopy(const CChMeasure& channel) {
    auto copy = std::make_shared<CChMeasure>(channel.BandLCalcInfos.context());
    copy->ChMeasureCondition = channel.ChMeasureCondition;
    copy->LevelData = channel.LevelData;
    copy->CalcXYAxis = channel.CalcXYAxis;
    copy->HzYAxis = channel.HzYAxis;
    copy->HorizontalLine = channel.HorizontalLine;
    return copy;
}

void TakeBack(const CChMeasure& copy, CChMeasure& channel) {
    channel.CalcXYAxis = copy.CalcXYAxis;
    channel.HzYAxis = copy.HzYAxis;
    channel.HorizontalLine = copy.HorizontalLine;
}

}  // namespace

void frmOctCalc::setGraphAxisAndScroll() {
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    WindowState w;
    const bool drawn = ReadWindow(w);
    if (drawn) {
        Chart2DLevelWave.SetXAxis(0.0, static_cast<double>(w.window.widthSec));
        Chart2DLevelWave.SetTimeBase(WholeSecondOf(w.window.start), kTimeLabelFormat);
    } else {
        Chart2DLevelWave.SetXAxis(0.0, 0.0);
    }
    if (shown_.channel) {
        Chart2DLevelWave.SetYAxis(shown_.channel->CalcXYAxis.YAxisMin, shown_.channel->CalcXYAxis.YAxisMax);
    }

    scrollGuard_ = true;
    const bool later = drawn && platform::DateToMilliseconds(w.window.start) > platform::DateToMilliseconds(w.start);
    const ScrollSetup s =
        drawn ? ScrollFor(w.window.widthSec, w.lengthSec, w.startSec, later) : ScrollFor(0, 0, 0, false);
    scrGraph.Min = 0;
    scrGraph.Max = s.max;
    scrGraph.LargeChange = s.largeChange;
    scrGraph.SmallChange = s.smallChange;
    scrGraph.Value = s.value;
    scrollGuard_ = false;
}

void frmOctCalc::setGraphOfForm() {
    if (!shown_.channel) {
        return;
    }
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    const CChMeasureCondition& condition = shown_.channel->ChMeasureCondition;
    Chart2DLevelWave.SetLevelMarker(
        condition.WaveFileOut.OkFlg != 0 ? std::optional<double>(condition.WaveFileOut.RecLevel) : std::nullopt);
    std::int32_t n = 0;
    WindowState w;
    std::optional<WindowPositions> positions;
    if (ReadWindow(w)) {
        positions = PositionsOf(w.startSec, w.window.widthSec, w.rate);
    }
    if (positions && positions->first >= 1) {
        // Only what the file holds is read: a window past its end costs nothing.
        const std::string folder = BandFolder(shown_.band);
        const std::int64_t available =
            static_cast<std::int64_t>(bandFiles_.Count(shown_.channel->LevelData, folder)) - positions->first + 1;
        const auto want = static_cast<std::int32_t>(std::clamp<std::int64_t>(available, 0, positions->count));
        if (want > 0) {
            n = bandFiles_.Read(shown_.channel->LevelData, folder, positions->first, want,
                                Chart2DLevelWave.PrepareLevels(want));
        }
    }
    if (n > 0) {
        Chart2DLevelWave.SetLevels(n, 1.0 / w.rate);
        if (shown_.channel->HorizontalLine.OkFlg != 0) {
            const double level = shown_.channel->HorizontalLine.RecLevel;
            Chart2DLevelWave.SetLine({{0.0, level}, {n / w.rate, level}});
        } else {
            Chart2DLevelWave.SetLine({});
        }
        Chart2DLevelWave.SetCursorPoint(1);
        chart_.ShowReadOut(Chart2DLevelWave.Levels()[0], w.window.start);
        ShowReadOut();
        setFormOfCursorBandLevel();
        setFormOfGraphArea();
    } else {
        chart_.Empty();
        // The line is drawn across the channel's own levels: none without them, and never the line
        // of the channel shown before.
        Chart2DLevelWave.SetLine({});
        chart_.ClearReadOut();
        ShowReadOut();
        setGraphOfCSFFT();
        setFormOfCSFFTLabel();
    }
}

void frmOctCalc::scrGraph_Change() {
    // A change while the bar cannot move (its maximum 0) is the bar pulling its own value in.
    if (scrollGuard_ || scrGraph.Max <= 0) {
        return;
    }
    WindowState w;
    if (!ReadWindow(w)) {
        return;
    }
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    const LevelChartController::KeptCursor cursor = chart_.KeepCursor(w.startSec, w.rate);
    const auto start = WindowStartFromScroll(w.start, w.end, w.lengthSec, scrGraph.Value, scrGraph.Max);
    if (!start) {
        return;
    }
    SetWindow(shown_.channel->CalcXYAxis, *start, w.window.widthSec);
    Chart2DLevelWave.SetTimeBase(WholeSecondOf(*start), kTimeLabelFormat);
    if (scrGraph.LargeChange == 32767 &&
        platform::DateToMilliseconds(*start) <= platform::DateToMilliseconds(w.start)) {
        scrGraph.SetMax(0);
    }
    setGraphOfForm();

    if (chart_.RestoreCursor(cursor, platform::WholeSecondsBetween(w.start, *start), w.window.widthSec, w.rate)) {
        ShowReadOut();
        setFormOfCursorBandLevel();
    }
}

void frmOctCalc::cmdSetLevelWave_Click() {
    if (!shown_.channel || !shown_.measure) {
        return;
    }
    g_bDialogOk = true;
    g_MeasStartTime = shown_.measure->StartTime;
    g_MeasEndTime = shown_.measure->EndTime;
    g_ChMeasure = DialogCopy(*shown_.channel);
    ShowSetCalcGraph();
    const std::shared_ptr<CChMeasure> copy = std::move(g_ChMeasure);
    g_ChMeasure.reset();
    if (!g_bDialogOk || !copy) {
        return;
    }
    TakeBack(*copy, *shown_.channel);
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    setGraphAxisAndScroll();
    // The band charts take their new level axes before the redraw fills them: set up afterwards,
    // the cursor chart would lose its bars while its labels still showed the levels.
    setGraphOfCalcFFT();
    setGraphOfCSFFT();
    setGraphOfForm();
    const int k = cmbCalcL.ListIndex < 0 ? 0 : cmbCalcL.ListIndex;
    cmbCalcL.ListIndex = -1;
    cmbCalcL.ListIndex = k;
    cmbCalcL_Click();
}

void frmOctCalc::mnuHorizontalLine_Click() {
    if (!shown_.channel) {
        return;
    }
    g_bDialogOk = true;
    g_ChMeasure = DialogCopy(*shown_.channel);
    {
        frmHorizontalLine dialog(ui_);
        ui_.ShowModal(dialog);
    }
    const std::shared_ptr<CChMeasure> copy = std::move(g_ChMeasure);
    g_ChMeasure.reset();
    if (!g_bDialogOk || !copy) {
        return;
    }
    TakeBack(*copy, *shown_.channel);
    setGraphOfForm();
}

void frmOctCalc::setFormOfGraphArea() {
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    WindowState w;
    std::int32_t w0 = 0;
    CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || !ReadWindow(w) || !RateUsable(w.rate) ||
        !platform::RoundToInt32(static_cast<double>(w.startSec) * w.rate + 1.0, w0)) {
        Chart2DLevelWave.SetRanges(0, {});
        Chart2DLevelWave.SetLabels({});
        return;
    }
    const double width = static_cast<double>(w.window.widthSec);
    // Positions inside the window: S < w0 + W × rate and E > w0 (x1 < W and x2 > 0).
    const double lastShown = w0 + width * w.rate;
    std::vector<platform::ChartRangeSpan> shown;
    std::int32_t k = 0;
    // The lists are ordered by start without overlaps, as every edit leaves them: the visible
    // ranges lie between two binary searches, whatever the length of the list.
    const auto draw = [&](const CScopes& list, const platform::ChartColor& color) {
        const auto first =
            std::partition_point(list.begin(), list.end(), [&](const auto& r) { return KeyOrLowest(r->E) <= w0; });
        const auto last =
            std::partition_point(first, list.end(), [&](const auto& r) { return KeyOrLowest(r->S) < lastShown; });
        for (auto it = first; it != last; ++it) {
            const auto s = RangeEnd((*it)->S);
            const auto e = RangeEnd((*it)->E);
            if (!s || !e) {
                continue;
            }
            double x1 = PositionX(*s, w0, w.rate);
            double x2 = PositionX(*e, w0, w.rate);
            if (ClipRange(0.0, width, x1, x2)) {
                shown.push_back({k + static_cast<std::int32_t>(it - list.begin()) + 1, x1, x2, color});
            }
        }
        k += list.count();
    };
    draw(info->LevelOverScopes, kLevelOverColor);
    draw(info->MarkScopes, kMarkColor);
    draw(info->Scopes, kExcludedColor);
    draw(info->LEScopes, kLEColor);
    Chart2DLevelWave.SetRanges(k, std::move(shown));

    // Mark labels "[i]" at each mark's own start, made when the chart asks for them.
    const CScopes& marks = info->MarkScopes;
    platform::ChartLabelSource labels;
    labels.count = marks.count();
    labels.firstShown = static_cast<std::int32_t>(
        std::partition_point(marks.begin(), marks.end(), [&](const auto& r) { return KeyOrLowest(r->S) < w0; }) -
        marks.begin() + 1);
    labels.lastShown =
        static_cast<std::int32_t>(std::partition_point(marks.begin(), marks.end(),
                                                       [&](const auto& r) { return KeyOrLowest(r->S) <= lastShown; }) -
                                  marks.begin());
    labels.at = [channel = shown_.channel, band = shown_.band, w0,
                 rate = w.rate](std::int32_t i) -> std::optional<platform::ChartLabel> {
        if (band > channel->BandLCalcInfos.count()) {
            return std::nullopt;
        }
        const CScopes& list = channel->BandLCalcInfos.Item(band).MarkScopes;
        if (i < 1 || i > list.count()) {
            return std::nullopt;
        }
        const auto s = RangeEnd(list.Item(i).S);
        if (!s) {
            return std::nullopt;
        }
        return platform::ChartLabel{"[" + std::to_string(i) + "]", PositionX(*s, w0, rate), kMarkLabelY};
    };
    Chart2DLevelWave.SetLabels(std::move(labels));
}

}  // namespace murtesk
