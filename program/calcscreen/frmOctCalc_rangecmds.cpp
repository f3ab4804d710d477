// Range commands over a whole band or channel: the level-over ("orange") ranges of the shown band,
// turned into excluded or mark ranges through the editors of range_editors.h, the range files, and
// the copies of the shown band's ranges to the other channels of the measurement.
//
// Lists that receive many ranges are appended to and merged once (the same list as merging range by
// range, without its cost growing with the square); the statistics of every band touched are then
// recomputed together on the cores.
#include "frmOctCalc.h"

#include "frmLevelOverArea.h"
#include "globals.h"
#include "range_editors.h"
#include "range_files.h"
#include "range_work.h"

#include "model/band_slots.h"
#include "model/level_over.h"
#include "model/shared_procedures.h"
#include "platform/numbers.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace murtesk {

using calc::Busy;
using calc::GapsWithin;
using calc::NewRange;
using calc::Recalcs;

namespace {

constexpr const char* kNoticeTitle = "お知らせ";
constexpr const char* kNoOrangeRanges =
    "指定レベル以上のオレンジ範囲がありません.\r\nメニューの[ツール]-[指定レベル以上範囲表示...]で\r\n"
    "指定レベル以上の範囲を表示させてください.";
constexpr const char* kCannotOpen = "ファイルを開けませんでした．";
constexpr const char* kSaveTitle = "出力するﾌｧｲﾙ名を指定して下さい．";
constexpr const char* kOpenTitle = "読み込むﾌｧｲﾙ名を指定して下さい．";
constexpr const char* kDeleteAreaFilter = "DeleteAreaﾌｧｲﾙ (*.dla)|*.dla";
constexpr const char* kMarkAreaFilter = "MarkAreaﾌｧｲﾙ (*.mrk)|*.mrk";

// The slots of another channel that receive copied ranges: every slot of its band type (allBands),
// else F and W; none for a channel that is not analysed or lacks the slots.
std::vector<std::int16_t> ChannelCopySlots(const CChMeasure& target, bool allBands) {
    std::vector<std::int16_t> slots;
    const std::int16_t type = target.ChMeasureCondition.oct1or3;
    if (type != 1 && type != 3) {
        return slots;
    }
    const std::int16_t last = allBands ? SlotCount(type) : std::int16_t{2};
    if (target.BandLCalcInfos.count() < last) {
        return slots;
    }
    for (std::int16_t slot = 1; slot <= last; ++slot) {
        slots.push_back(slot);
    }
    return slots;
}

}  // namespace

void frmOctCalc::setMarkAreaToBands(const CScopes& ranges) {
    MarkRanges(EditSet()).Merge(ranges);
    setFormOfGraphArea();
    setFormOfMarkArea();
}

// ---- Level-over ranges

void frmOctCalc::mnuLevelOverArea_Click() {
    CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr) {
        return;
    }
    g_bDialogOk = true;
    g_ChMeasure = shown_.channel;
    g_BandIndex = shown_.band;
    {
        frmLevelOverArea dialog(ui_);
        ui_.ShowModal(dialog);
        if (ui_.IsLoaded(dialog)) {
            ui_.Unload(dialog);
        }
    }
    if (g_bDialogOk) {
        g_ChMeasure.reset();
        Busy busy(ui_);
        BandSet shown = EditSet();
        shown.slots = {shown_.band};
        LevelOverRanges(std::move(shown)).Find(levelSliceLength_);
        setFormOfGraphArea();
    } else if (g_ChMeasure != nullptr) {
        // "非表示": the dialog has emptied the band's ranges.
        g_ChMeasure.reset();
        Busy busy(ui_);
        setFormOfGraphArea();
    }
}

bool frmOctCalc::HasOrangeRanges() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info != nullptr && info->LevelOverScopes.count() > 0) {
        return true;
    }
    ui_.MsgBox(kNoOrangeRanges, platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
    return false;
}

void frmOctCalc::cmdLevelOverDelete_Click() {
    if (!HasOrangeRanges()) {
        return;
    }
    Busy busy(ui_);
    CBandLCalcInfo& shown = *ShownBandInfo();
    // An edit that could not be saved changed nothing: the orange ranges stay for another try.
    if (ExcludedRanges(EditSet()).Merge(shown.LevelOverScopes)) {
        shown.LevelOverScopes.AllDelete();
    } else {
        calc::TellIfNotSaved(ui_, false);
    }
    setFormOfGraphArea();
    setFormOfCalcArea();
}

void frmOctCalc::cmdOrangeMark_Click() {
    if (!HasOrangeRanges()) {
        return;
    }
    Busy busy(ui_);
    CBandLCalcInfo& shown = *ShownBandInfo();
    setMarkAreaToBands(shown.LevelOverScopes);
    shown.LevelOverScopes.AllDelete();
    setFormOfGraphArea();
}

// ---- Copies to the other channels

void frmOctCalc::ForEachOtherChannel(const std::function<void(CChMeasure&, double)>& step) {
    if (!shown_.measure || !shown_.channel || Records() == nullptr || shown_.measure->ChMeasures.count() < 2) {
        return;
    }
    for (std::int32_t i = 1; i <= shown_.measure->ChMeasures.count(); ++i) {
        CChMeasure& target = shown_.measure->ChMeasures.Item(i);
        if (&target == shown_.channel.get()) {
            continue;
        }
        target.CalcXYAxis.XAxisMin = shown_.channel->CalcXYAxis.XAxisMin;
        target.CalcXYAxis.XAxisMax = shown_.channel->CalcXYAxis.XAxisMax;
        target.CalcXYAxis.XAxisUnit = shown_.channel->CalcXYAxis.XAxisUnit;
        step(target, target.ChMeasureCondition.LevelOutHz / shown_.channel->ChMeasureCondition.LevelOutHz);
    }
}

void frmOctCalc::cmdLinkCh_Click() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || shown->LEScopes.count() == 0) {
        return;
    }
    const auto S = ScopePosition(shown->LEScopes.Item(1).S);
    const auto E = ScopePosition(shown->LEScopes.Item(1).E);
    if (!S || !E) {
        return;
    }
    std::vector<BandLE> work;
    ForEachOtherChannel([&](CChMeasure& target, double ratio) {
        const auto [s, e] = ChannelRange(static_cast<std::int32_t>(*S), static_cast<std::int32_t>(*E), ratio);
        for (const std::int16_t slot : ChannelCopySlots(target, optAreaBand.Selected() == 0)) {
            CBandLCalcInfo& info = target.BandLCalcInfos.Item(slot);
            info.LEScopes.AllDelete();
            info.LEScopes.SimpleAdd(NewRange(s, e));
            work.push_back({&info.AllLCalc, &target.LevelData,
                            GetBandFolder(Records()->SaveFilePath, target.ChMeasureCondition.oct1or3, slot), s, e,
                            target.ChMeasureCondition.LevelOutHz});
        }
    });
    GetLEBands(work);
}

void frmOctCalc::cmdLinkChMark_Click() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || shown->MarkScopes.count() == 0) {
        return;
    }
    std::deque<CScopes> converted;
    std::vector<std::pair<CScopes*, const CScopes*>> lists;
    ForEachOtherChannel([&](CChMeasure& target, double ratio) {
        converted.push_back(ChannelRanges(shown->MarkScopes, ratio));
        for (const std::int16_t slot : ChannelCopySlots(target, optAreaBand.Selected() == 0)) {
            lists.emplace_back(&target.BandLCalcInfos.Item(slot).MarkScopes, &converted.back());
        }
    });
    calc::AppendAndMerge(lists);
}

void frmOctCalc::cmdLinkChDelArea_Click() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || shown->Scopes.count() == 0 || !shown_.measure || shown_.measure->ChMeasures.count() < 2) {
        return;
    }
    Busy busy(ui_);
    Recalcs work;
    std::deque<CScopes> converted;
    ForEachOtherChannel([&](CChMeasure& target, double ratio) {
        const CScopes& list = converted.emplace_back(ChannelRanges(shown->Scopes, ratio));
        for (const std::int16_t slot : ChannelCopySlots(target, optAreaBand.Selected() == 0)) {
            CBandLCalcInfo& info = target.BandLCalcInfos.Item(slot);
            const std::string folder = GetBandFolder(Records()->SaveFilePath, target.ChMeasureCondition.oct1or3, slot);
            work.AddEdited(
                info.Scopes,
                [&list](const CScopes& ranges) {
                    CScopes merged = ranges;
                    merged.AppendMerged(list);
                    return merged;
                },
                target.LevelData.getDataNumNoWait(folder), info.LCalc, target.LevelData, folder);
        }
    });
    calc::TellIfNotSaved(ui_, work.Run());
}

// ---- Range files

bool frmOctCalc::WriteRangeFile(const CScopes& list, const std::string& path, const char* failed, const char* saved) {
    ui_.Refresh(*this);
    ui_.DoEvents();
    Busy busy(ui_);
    // The file is replaced only once it was written whole: a failed save leaves the old one.
    const bool ok = list.FileWrite(path, shown_.measure->StartTime, 1.0 / shown_.channel->ChMeasureCondition.LevelOutHz);
    ui_.MsgBox(ok ? saved : failed);
    return ok;
}

std::optional<CScopes> frmOctCalc::ReadRangeFile(const std::string& path) {
    ui_.Refresh(*this);
    ui_.DoEvents();
    Busy busy(ui_);
    CScopes read;
    Date fileStart = 0.0;
    double filePeriod = 0.0;
    std::optional<CScopes> mapped;
    if (read.FileRead(path, fileStart, filePeriod)) {
        mapped = MapFileRanges(read, fileStart, filePeriod, shown_.measure->StartTime,
                               shown_.channel->ChMeasureCondition.LevelOutHz, ValueCount(shown_.band));
    }
    if (!mapped) {
        busy.End();
        ui_.MsgBox(kCannotOpen);
    }
    return mapped;
}

bool frmOctCalc::ReadDeleteAreaFrom(const std::string& path) {
    CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || !shown_.measure) {
        return false;
    }
    auto mapped = ReadRangeFile(path);
    if (!mapped) {
        return false;
    }
    shown->Scopes.AppendMerged(*mapped);
    return true;
}

bool frmOctCalc::ReadMarkAreaFrom(const std::string& path) {
    if (ShownBandInfo() == nullptr || !shown_.measure) {
        return false;
    }
    auto mapped = ReadRangeFile(path);
    if (!mapped) {
        return false;
    }
    if (mapped->count() > 0) {
        setMarkAreaToBands(*mapped);
    }
    return true;
}

bool frmOctCalc::setDeleteAreaToBands() {
    CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr) {
        return true;
    }
    Busy busy(ui_);
    const bool saved = ExcludedRanges(EditSet()).CopyToAll(shown->Scopes);
    setFormOfGraphArea();
    setFormOfCalcArea();
    return saved;
}

std::optional<std::string> frmOctCalc::ChooseRangeFile(bool save, const char* filter) {
    dlgFileSave.DialogTitle = save ? kSaveTitle : kOpenTitle;
    dlgFileSave.Filter = filter;
    std::optional<std::string> chosen = save ? dlgFileSave.ShowSave() : dlgFileSave.ShowOpen();
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    return chosen;
}

void frmOctCalc::cmdDelSave_Click() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || !shown_.measure) return;
    if (const auto path = ChooseRangeFile(true, kDeleteAreaFilter))
        WriteRangeFile(shown->Scopes, *path, "計算除外範囲保存処理が失敗しました．", "計算除外範囲を保存しました．");
}

void frmOctCalc::cmdMarkSave_Click() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || !shown_.measure) return;
    if (const auto path = ChooseRangeFile(true, kMarkAreaFilter))
        WriteRangeFile(shown->MarkScopes, *path, "マーク範囲保存処理が失敗しました．", "マーク範囲を保存しました．");
}

void frmOctCalc::cmdMarkOpen_Click() {
    if (const auto path = ChooseRangeFile(false, kMarkAreaFilter)) ReadMarkAreaFrom(*path);
}

void frmOctCalc::cmdDelOpen_Click() {
    const auto path = ChooseRangeFile(false, kDeleteAreaFilter);
    CBandLCalcInfo* shown = ShownBandInfo();
    if (!path || shown == nullptr) {
        return;
    }
    CScopes before = shown->Scopes;
    if (ReadDeleteAreaFrom(*path) && !setDeleteAreaToBands()) {
        // The shown band's statistics still count the list it had before the file.
        shown->Scopes = std::move(before);
        setFormOfGraphArea();
        setFormOfCalcArea();
        calc::TellIfNotSaved(ui_, false);
    }
}

}  // namespace murtesk
