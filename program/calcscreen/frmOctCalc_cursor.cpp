// The cursor of the calculation screen's level chart: putting it on a sample (the window moved to
// start there), the cursor band panel with every slot's level at the cursor, the scroll buttons
// that move the window while the cursor keeps its sample, the four searches, and the mouse: every
// move puts the cursor under it, a drag with the left button marks a range. The chart's controller
// (level_chart_controller.h) keeps the cursor's read-out and the drag; the form shows the read-out
// and hands a finished drag to the procedure of optMouseAction.
#include "frmOctCalc.h"

#include "globals.h"

#include "model/band_layout.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace murtesk {

namespace {

constexpr const char* kNoticeTitle = "お知らせ";
constexpr const char* kNoLmax = "Ｌmaxが存在しません.";
constexpr const char* kSelectExcluded = "検索したい計算除外範囲を選択してください.";
constexpr const char* kSelectMark = "検索したいマーク範囲を選択してください.";
// The level that stands for "no value" where the cursor lands.
constexpr double kCursorNoValue = -10.0;


// A window start held within the measurement: not before its start, then not after its end.
Date HeldStart(Date start, Date measureStart, Date measureEnd) {
    if (platform::DateToMilliseconds(start) < platform::DateToMilliseconds(measureStart)) {
        start = measureStart;
    }
    if (platform::DateToMilliseconds(start) > platform::DateToMilliseconds(measureEnd)) {
        start = measureEnd;
    }
    return start;
}

}  // namespace

void frmOctCalc::ShowReadOut() {
    lblCLp.Caption = chart_.ReadOut().level;
    lblCymdhms.Caption = chart_.ReadOut().time;
}

void frmOctCalc::moveCursorTo(std::int32_t pos) {
    WindowState w;
    if (!ReadWindow(w) || !RateUsable(w.rate)) {
        return;
    }
    // The window starts at the whole second at or before the sample, so the sample is in it; the
    // nearest second would start it after the sample for the later half of each second.
    const double beforeSec = std::floor((static_cast<double>(pos) - 1.0) / w.rate);
    const Date start = HeldStart(AddWholeSeconds(w.start, beforeSec), w.start, w.end);
    SetWindow(shown_.channel->CalcXYAxis, start, w.window.widthSec);
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    setGraphAxisAndScroll();
    setGraphOfForm();

    const std::int64_t startSec = platform::WholeSecondsBetween(w.start, start);
    const double skipped = platform::RoundHalfToEven(static_cast<double>(startSec) * w.rate);
    const auto k = static_cast<std::int32_t>(std::max(1.0, static_cast<double>(pos) - skipped));
    const std::int32_t n = Chart2DLevelWave.LevelCount();
    Chart2DLevelWave.SetCursorPoint(k);
    std::optional<double> level;
    if (k >= 1 && k <= n) {
        level = Chart2DLevelWave.LevelPoint(k).y;
    }
    if (level && *level != kCursorNoValue) {
        chart_.ShowReadOut(*level, platform::AddSeconds(start, (k - 1) / w.rate));
        ShowReadOut();
        setFormOfCursorBandLevel();
    } else {
        chart_.ClearReadOut();
        ShowReadOut();
        setGraphOfCSFFT();
        setFormOfCSFFTLabel();
    }
}

void frmOctCalc::setFormOfCursorBandLevel() {
    if (!shown_.channel) {
        return;
    }
    const BandLayout layout(shown_.channel->ChMeasureCondition.oct1or3);
    const std::int16_t n = layout.SlotCount();
    // The sample under the cursor; none while the cursor stands on no point of the window.
    std::int32_t pos = 0;
    WindowState w;
    std::int32_t first = 0;
    const std::int32_t point = Chart2DLevelWave.CursorPoint();
    if (point >= 1 && ReadWindow(w) && RateUsable(w.rate) &&
        platform::RoundToInt32(static_cast<double>(w.startSec) * w.rate + 1.0, first)) {
        pos = first + point - 1;
    }
    std::vector<double> chart(static_cast<std::size_t>(n), kNoLevel);
    for (std::int16_t slot = 1; slot <= n; ++slot) {
        const std::optional<double> v = ReadBandLevel(slot, pos);
        ShowBandValue(gridCursor, cursorValues_, slot, v);
        if (v && *v > kNoLevel) {
            chart[static_cast<std::size_t>(layout.DisplayPosition(slot) - 1)] = *v;
        }
    }
    platform::ChartRedrawHold hold(chartCSFFT);
    chartCSFFT.SetLevels(chart);
}

void frmOctCalc::scrollLevelGraph(bool toLeft) {
    WindowState w;
    if (!ReadWindow(w) || !RateUsable(w.rate)) {
        return;
    }
    const LevelChartController::KeptCursor cursor = chart_.KeepCursor(w.startSec, w.rate);
    const std::int32_t step = cmbScrollSec.SelectedData(0);
    const Date start = HeldStart(AddWholeSeconds(w.window.start, toLeft ? -step : step), w.start, w.end);
    SetWindow(shown_.channel->CalcXYAxis, start, w.window.widthSec);
    platform::ChartRedrawHold hold(Chart2DLevelWave);
    setGraphAxisAndScroll();
    setGraphOfForm();

    if (chart_.RestoreCursor(cursor, platform::WholeSecondsBetween(w.start, start), w.window.widthSec, w.rate)) {
        ShowReadOut();
        setFormOfCursorBandLevel();
    }
}

void frmOctCalc::cmbLeftScroll_Click() { scrollLevelGraph(true); }
void frmOctCalc::cmbRightScroll_Click() { scrollLevelGraph(false); }

void frmOctCalc::cmdSearchLmax_Click() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || !(info->LCalc.Scope.E.AsDouble() >= 1.0)) {
        ui_.MsgBox(kNoLmax, platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
        return;
    }
    moveCursorTo(info->LCalc.getLmaxPos());
}

namespace {

// The start of range `index` (0-based) of a list, when it holds a whole position.
std::optional<std::int32_t> StartOf(const CScopes& list, int index) {
    if (index < 0 || index >= list.count()) {
        return std::nullopt;
    }
    std::int32_t s = 0;
    if (!platform::RoundToInt32(list.Item(index + 1).S.AsDouble(), s)) {
        return std::nullopt;
    }
    return s;
}

}  // namespace

void frmOctCalc::cmdSearchDelCalc_Click() {
    if (lstCalcDelArea.ListIndex < 0) {
        ui_.MsgBox(kSelectExcluded, platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
        return;
    }
    if (const CBandLCalcInfo* info = ShownBandInfo()) {
        if (const auto s = StartOf(info->Scopes, lstCalcDelArea.ListIndex)) {
            moveCursorTo(*s);
        }
    }
}

void frmOctCalc::cmdSearchMark_Click() {
    if (lstMarkArea.ListIndex < 0) {
        ui_.MsgBox(kSelectMark, platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
        return;
    }
    if (const CBandLCalcInfo* info = ShownBandInfo()) {
        if (const auto s = StartOf(info->MarkScopes, lstMarkArea.ListIndex)) {
            moveCursorTo(*s);
        }
    }
}

void frmOctCalc::cmdSearchLE_Click() {
    if (const CBandLCalcInfo* info = ShownBandInfo()) {
        if (const auto s = StartOf(info->LEScopes, 0)) {
            moveCursorTo(*s);
        }
    }
}

// ---- The mouse on the level chart

void frmOctCalc::Chart2DLevelWave_MouseDown(int Button, int x, int y) { chart_.MouseDown(Button, x, y); }

void frmOctCalc::Chart2DLevelWave_MouseMove(int Button, int x, int y) {
    WindowState w;
    const bool drawn = ReadWindow(w);
    chart_.MouseMove(Button, x, y, drawn ? w.window.start : 0.0, drawn ? w.rate : 0.0);
    ShowReadOut();
    setFormOfCursorBandLevel();
}

void frmOctCalc::Chart2DLevelWave_MouseUp(int Button, int x, int /*y*/) {
    const auto points = chart_.MouseUp(Button, x);
    WindowState w;
    if (!points || !ReadWindow(w) || !RateUsable(w.rate)) {
        return;
    }
    const double off = std::max(0.0, platform::RoundHalfToEven(static_cast<double>(w.startSec) * w.rate));
    std::int32_t S = 0;
    std::int32_t E = 0;
    if (!platform::RoundToInt32(off + points->first, S) || !platform::RoundToInt32(off + points->second, E)) {
        return;
    }
    platform::BusyPointer busy(ui_);
    DoMouseAction(S, E);
}

void frmOctCalc::Chart2DLevelWave_Click() { chart_.Click(); }

}  // namespace murtesk
