// Range editing on the calculation screen: the five procedures every way of entering a range ends
// in (a drag, two dates, the saved video times), and the commands that exclude or include a whole
// series, delete one excluded range, clear the LE range or the marks, and show a mark's statistics.
//
// An edit over all bands recomputes the statistics of every band at once, spread over the cores
// (ResetNewBands, GetLEBands); a band whose histogram cannot be saved keeps its last statistics,
// the others are done, and the user is told once. The edits change the document in memory; the screen saves it on leaving.
#include "frmOctCalc.h"

#include "frmDateArea.h"
#include "globals.h"
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
using calc::GapsWithin;
using calc::NewRange;
using calc::Recalcs;

namespace {

constexpr const char* kNoticeTitle = "お知らせ";
constexpr const char* kSelectExcluded = "削除したい範囲を選択してください.";
constexpr const char* kSelectMark = "計算値を表示したいマーク範囲を選択してください.";
constexpr const char* kNoSavedTimes = "保存時間①②が設定されていません";

}  // namespace

std::int32_t frmOctCalc::ValueCount(std::int16_t slot) const {
    return shown_.channel ? shown_.channel->LevelData.getDataNumNoWait(BandFolder(slot)) : 0;
}

std::vector<std::int16_t> frmOctCalc::EditBands() const {
    std::vector<std::int16_t> bands;
    if (!shown_.channel) {
        return bands;
    }
    const std::int32_t listed = shown_.channel->BandLCalcInfos.count();
    if (optAreaBand.Selected() == 0) {
        const std::int16_t slots = SlotCount(shown_.channel->ChMeasureCondition.oct1or3);
        for (std::int16_t slot = 1; slot <= slots && slot <= listed; ++slot) {
            bands.push_back(slot);
        }
    } else if (shown_.band >= 1 && shown_.band <= listed) {
        bands.push_back(shown_.band);
    }
    return bands;
}

void frmOctCalc::addCalcDelArea(std::int32_t S, std::int32_t E) {
    Recalcs work(ui_);
    for (const std::int16_t slot : EditBands()) {
        CBandLCalcInfo& info = shown_.channel->BandLCalcInfos.Item(slot);
        // The range is kept even where there is nothing to compute.
        work.AddEdited(
            info.Scopes, [S, E](CScopes& ranges) { ranges.AddOneNoOverlap(NewRange(S, E)); }, ValueCount(slot),
            info.LCalc, shown_.channel->LevelData, BandFolder(slot));
    }
    work.Run();
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::addCalcArea(std::int32_t S, std::int32_t E) {
    Recalcs work(ui_);
    for (const std::int16_t slot : EditBands()) {
        const std::int32_t n = ValueCount(slot);
        if (n <= 1) {
            continue;
        }
        CBandLCalcInfo& info = shown_.channel->BandLCalcInfos.Item(slot);
        CScopes target = GapsWithin(info.Scopes, n);
        target.AddOneNoOverlap(NewRange(S, E));
        work.Add(info.LCalc, std::move(target), shown_.channel->LevelData, BandFolder(slot));
        info.Scopes = GapsWithin(work.LastList(), n);
    }
    work.Run();
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::setLEArea(std::int32_t S, std::int32_t E) {
    std::vector<BandLE> work;
    for (const std::int16_t slot : EditBands()) {
        CBandLCalcInfo& info = shown_.channel->BandLCalcInfos.Item(slot);
        info.LEScopes.AllDelete();
        info.LEScopes.SimpleAdd(NewRange(S, E));
        work.push_back(
            {&info.AllLCalc, &shown_.channel->LevelData, BandFolder(slot), S, E, shown_.channel->ChMeasureCondition.LevelOutHz});
    }
    GetLEBands(work);
    setFormOfGraphArea();
    setFormOfLE();
}

void frmOctCalc::deleteMarkArea(std::int32_t S, std::int32_t E) {
    for (const std::int16_t slot : EditBands()) {
        const std::int32_t n = ValueCount(slot);
        if (n <= 1) {
            continue;
        }
        CScopes& marks = shown_.channel->BandLCalcInfos.Item(slot).MarkScopes;
        CScopes gaps = GapsWithin(marks, n);
        gaps.AddOneNoOverlap(NewRange(S, E));
        marks = GapsWithin(gaps, n);
    }
    setFormOfGraphArea();
    setFormOfMarkArea();
}

void frmOctCalc::addMarkArea(std::int32_t S, std::int32_t E) {
    for (const std::int16_t slot : EditBands()) {
        shown_.channel->BandLCalcInfos.Item(slot).MarkScopes.AddOneNoOverlap(NewRange(S, E));
    }
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
    for (const std::int16_t slot : EditBands()) {
        CBandLCalcInfo& info = shown_.channel->BandLCalcInfos.Item(slot);
        // A band without statistics of its series has no series to exclude.
        if (!(info.AllLCalc.Scope.E.AsDouble() >= 1.0)) {
            continue;
        }
        info.Scopes.AllDelete();
        info.Scopes.SimpleAdd(std::make_shared<CScope>(info.AllLCalc.Scope.MeCopy()));
        info.LCalc.initdB();
    }
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::cmdAllCalc_Click() {
    Busy busy(ui_);
    for (const std::int16_t slot : EditBands()) {
        if (ValueCount(slot) > 1) {
            shown_.channel->BandLCalcInfos.Item(slot).Scopes.AllDelete();
        }
    }
    addCalcArea(1, 2);
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
    if (lstCalcDelArea.ListIndex < info->Scopes.count()) {
        info->Scopes.Delete(lstCalcDelArea.ListIndex + 1);
        if (const std::int32_t n = ValueCount(shown_.band); n > 1) {
            Recalcs work(ui_);
            work.Add(info->LCalc, GapsWithin(info->Scopes, n), shown_.channel->LevelData, ShownBandFolder());
            work.Run();
        }
    }
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::cmdDelLE_Click() { ClearRanges(&CBandLCalcInfo::LEScopes, &frmOctCalc::setFormOfLE); }

void frmOctCalc::cmdClearAllMark_Click() { ClearRanges(&CBandLCalcInfo::MarkScopes, &frmOctCalc::setFormOfMarkArea); }

void frmOctCalc::ClearRanges(CScopes CBandLCalcInfo::*list, void (frmOctCalc::*refresh)()) {
    Busy busy(ui_);
    for (const std::int16_t slot : EditBands()) {
        (shown_.channel->BandLCalcInfos.Item(slot).*list).AllDelete();
    }
    setFormOfGraphArea();
    (this->*refresh)();
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
