// Range editing on the calculation screen: the five procedures every way of entering a range ends
// in (a drag, two dates, the saved video times), and the commands that exclude or include a whole
// series, delete one excluded range, clear the LE range or the marks, and show a mark's statistics.
// Each runs the editor of its list (range_editors.h) on the band set of optAreaBand, tells the user
// once when statistics could not be saved, and refreshes the overlay and the list's panel. The edits
// change the document in memory; the screen saves it on leaving.
#include "frmOctCalc.h"

#include "frmDateArea.h"
#include "globals.h"
#include "range_editors.h"
#include "range_work.h"

#include "model/band_recalc.h"
#include "model/band_slots.h"
#include "model/scopes.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

namespace murtesk {

using calc::Busy;

namespace {

constexpr const char* kNoticeTitle = "お知らせ";
constexpr const char* kSelectExcluded = "削除したい範囲を選択してください.";
constexpr const char* kSelectMark = "計算値を表示したいマーク範囲を選択してください.";
constexpr const char* kNoSavedTimes = "保存時間①②が設定されていません";

}  // namespace

std::int32_t frmOctCalc::ValueCount(std::int16_t slot) const {
    return shown_.channel ? shown_.channel->LevelData.getDataNumNoWait(BandFolder(slot)) : 0;
}

BandSet frmOctCalc::EditSet() const {
    const CPreserve* records = Records();
    return BandSet::Of(shown_, records != nullptr ? records->SaveFilePath : std::string(), optAreaBand.Selected() == 0);
}

void frmOctCalc::addCalcDelArea(std::int32_t S, std::int32_t E) {
    calc::TellIfNotSaved(ui_, ExcludedRanges(EditSet()).Add(S, E));
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::addCalcArea(std::int32_t S, std::int32_t E) {
    calc::TellIfNotSaved(ui_, TargetRanges(EditSet()).Add(S, E));
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::setLEArea(std::int32_t S, std::int32_t E) {
    LERanges(EditSet()).Set(S, E);
    setFormOfGraphArea();
    setFormOfLE();
}

void frmOctCalc::deleteMarkArea(std::int32_t S, std::int32_t E) {
    MarkRanges(EditSet()).Erase(S, E);
    setFormOfGraphArea();
    setFormOfMarkArea();
}

void frmOctCalc::addMarkArea(std::int32_t S, std::int32_t E) {
    MarkRanges(EditSet()).Add(S, E);
    setFormOfGraphArea();
    setFormOfMarkArea();
}

void frmOctCalc::DoMouseAction(std::int32_t S, std::int32_t E) {
    if (optMouseAction[1].Value) {
        addCalcArea(S, E);
    } else if (optMouseAction[0].Value) {
        addCalcDelArea(S, E);
    } else if (optMouseAction[2].Value) {
        setLEArea(S, E);
    } else if (optMouseAction[3].Value) {
        addMarkArea(S, E);
    } else {
        deleteMarkArea(S, E);
    }
}

void frmOctCalc::DateRangeCommand(void (frmOctCalc::*procedure)(std::int32_t, std::int32_t)) {
    if (!shown_.measure || !shown_.channel) {
        return;
    }
    g_bDialogOk = true;
    g_DateAreaScope =
        std::make_shared<CScope>(Variant::FromDate(shown_.measure->StartTime), Variant::FromDate(shown_.measure->EndTime));
    g_DateAreaLimit = std::make_shared<CScope>(*g_DateAreaScope);
    {
        frmDateArea dialog(ui_);
        ui_.ShowModal(dialog);
    }
    const double rate = shown_.channel->ChMeasureCondition.LevelOutHz;
    const auto position = [&](const Variant& date, std::int32_t& p) {
        const auto seconds = platform::WholeSecondsBetween(shown_.measure->StartTime, date.AsDouble());
        return platform::RoundToInt32(static_cast<double>(seconds) * rate + 1.0, p);
    };
    std::int32_t S = 0;
    std::int32_t E = 0;
    if (g_bDialogOk && position(g_DateAreaScope->S, S) && position(g_DateAreaScope->E, E)) {
        Busy busy(ui_);
        (this->*procedure)(S, E);
    }
    g_DateAreaScope.reset();
    g_DateAreaLimit.reset();
}

void frmOctCalc::cmdAddDel_Click() { DateRangeCommand(&frmOctCalc::addCalcDelArea); }
void frmOctCalc::cmdAddCalc_Click() { DateRangeCommand(&frmOctCalc::addCalcArea); }
void frmOctCalc::cmdChangeLEArea_Click() { DateRangeCommand(&frmOctCalc::setLEArea); }
void frmOctCalc::cmdAddMark_Click() { DateRangeCommand(&frmOctCalc::addMarkArea); }

void frmOctCalc::cmdDelCalc_Click() {
    Busy busy(ui_);
    ExcludedRanges(EditSet()).ExcludeAll();
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::cmdAllCalc_Click() {
    Busy busy(ui_);
    calc::TellIfNotSaved(ui_, TargetRanges(EditSet()).All());
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::cmdReverse_Click() {
    if (lstCalcDelArea.ListIndex < 0) {
        ui_.MsgBox(kSelectExcluded, platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
        return;
    }
    CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr) {
        return;
    }
    Busy busy(ui_);
    BandSet shown = EditSet();
    shown.slots = {shown_.band};
    calc::TellIfNotSaved(ui_, ExcludedRanges(std::move(shown)).Delete(shown_.band, lstCalcDelArea.ListIndex + 1));
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::cmdDelLE_Click() {
    Busy busy(ui_);
    LERanges(EditSet()).Clear();
    setFormOfGraphArea();
    setFormOfLE();
}

void frmOctCalc::cmdClearAllMark_Click() {
    Busy busy(ui_);
    MarkRanges(EditSet()).Clear();
    setFormOfGraphArea();
    setFormOfMarkArea();
}

void frmOctCalc::mnuToolArea_Click() {
    if (g_SaveTime[0] < 0 || g_SaveTime[1] < 0) {
        ui_.MsgBox(kNoSavedTimes);
        return;
    }
    if (!shown_.channel) {
        return;
    }
    const double rate = shown_.channel->ChMeasureCondition.LevelOutHz;
    std::int32_t p[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const double rounded = platform::RoundHalfToEven(g_SaveTime[static_cast<std::size_t>(i)] / 1000.0 * rate);
        if (!platform::RoundToInt32(rounded + 1.0, p[i])) {
            return;
        }
    }
    Busy busy(ui_);
    DoMouseAction(std::min(p[0], p[1]), std::max(p[0], p[1]));
}

void frmOctCalc::cmdShowMarkCalc_Click() {
    if (lstMarkArea.ListIndex < 0) {
        ui_.MsgBox(kSelectMark, platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
        return;
    }
    if (!shown_.channel) {
        return;
    }
    g_bDialogOk = true;
    g_ChMeasure = shown_.channel;
    g_BandIndex = shown_.band;
    g_SelectNo = lstMarkArea.ListIndex + 1;
    g_CalcAreaInfluence = chkCalcAreaInfluence.Value ? 1 : 0;
    if (g_ShowBandResult) {
        g_ShowBandResult(ui_, chkAllBandMarkCalc.Value ? BandResultWindow::frmAllBandL : BandResultWindow::frmOneBandL);
    }
    g_ChMeasure.reset();
}

}  // namespace murtesk
