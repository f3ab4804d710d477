// Range commands over a whole band or channel: the level-over ("orange") ranges of the shown band,
// turned into excluded or mark ranges, and the copies of the shown band's ranges to the other
// channels of the measurement.
//
// Lists that receive many ranges are appended to and merged once (the same list as merging range by
// range, without its cost growing with the square); the statistics of every band touched are then
// recomputed together on the cores.
#include "frmOctCalc.h"

#include "frmLevelOverArea.h"
#include "globals.h"
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

// Appends copies of the ranges of `from` to every list and merges each once: on the cores, as a
// list of 10,000 marks may go to 7 × 47 bands.
void AppendAndMerge(const std::vector<std::pair<CScopes*, const CScopes*>>& lists) {
    OnCores(lists.size(), 0, [&](std::size_t i) {
        try {
            lists[i].first->AppendMerged(*lists[i].second);
        } catch (const std::bad_alloc&) {
            // No memory for the merged list: the band keeps its list as it was.
        }
    });
}

}  // namespace

std::pair<std::int32_t, std::int32_t> frmOctCalc::ChannelRange(std::int32_t S, std::int32_t E, double ratio) {
    if (ratio == 1.0) {
        return {S, E};
    }
    // Positions stay within 32 bits; a scale past them is held at the edge, never wrapped.
    const auto held = [](double p) {
        constexpr double lo = std::numeric_limits<std::int32_t>::min();
        constexpr double hi = std::numeric_limits<std::int32_t>::max();
        return static_cast<std::int32_t>(std::clamp(p, lo, hi));
    };
    // The start keeps its time, (S - 1) steps after position 1; the end the time its step ends.
    const std::int32_t s = held(platform::RoundHalfToEven((static_cast<double>(S) - 1.0) * ratio) + 1.0);
    std::int32_t e = held(platform::RoundHalfToEven(static_cast<double>(E) * ratio));
    if (S <= E && e < s) {
        e = s;  // shorter than a step of the target: the step its start falls in
    }
    return {s, e};
}

void frmOctCalc::setMarkAreaToBands(const CScopes& ranges) {
    std::vector<std::pair<CScopes*, const CScopes*>> lists;
    for (const std::int16_t slot : EditBands()) {
        lists.emplace_back(&shown_.channel->BandLCalcInfos.Item(slot).MarkScopes, &ranges);
    }
    AppendAndMerge(lists);
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
    ShowLevelOverArea();
    if (g_bDialogOk) {
        g_ChMeasure.reset();
        Busy busy(ui_);
        info = ShownBandInfo();
        const std::string folder = ShownBandFolder();
        auto runs =
            FindLevelOverScopes(shown_.channel->LevelData, folder, ValueCount(shown_.band), info->OverLevel, levelSliceLength_, {});
        info->LevelOverScopes = runs ? std::move(*runs) : CScopes{};
        setFormOfGraphArea();
    } else if (g_ChMeasure != nullptr) {
        // "非表示": the dialog has emptied the band's ranges.
        g_ChMeasure.reset();
        Busy busy(ui_);
        setFormOfGraphArea();
    }
}

void frmOctCalc::ShowLevelOverArea() {
    frmLevelOverArea dialog(ui_);
    ui_.ShowModal(dialog);
    if (ui_.IsLoaded(dialog)) {
        ui_.Unload(dialog);
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
    Recalcs work(ui_);
    const CScopes& orange = shown.LevelOverScopes;
    for (const std::int16_t slot : EditBands()) {
        CBandLCalcInfo& info = shown_.channel->BandLCalcInfos.Item(slot);
        work.AddEdited(
            info.Scopes, [&orange](CScopes& ranges) { ranges.AppendMerged(orange); }, ValueCount(slot), info.LCalc,
            shown_.channel->LevelData, BandFolder(slot));
    }
    work.Run();
    shown.LevelOverScopes.AllDelete();
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

std::vector<std::int16_t> frmOctCalc::ChannelCopySlots(const CChMeasure& target) const {
    std::vector<std::int16_t> slots;
    const std::int16_t type = target.ChMeasureCondition.oct1or3;
    if (type != 1 && type != 3) {
        return slots;
    }
    const std::int16_t last = optAreaBand.Selected() == 0 ? SlotCount(type) : std::int16_t{2};
    if (target.BandLCalcInfos.count() < last) {
        return slots;
    }
    for (std::int16_t slot = 1; slot <= last; ++slot) {
        slots.push_back(slot);
    }
    return slots;
}

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
        for (const std::int16_t slot : ChannelCopySlots(target)) {
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
        for (const std::int16_t slot : ChannelCopySlots(target)) {
            lists.emplace_back(&target.BandLCalcInfos.Item(slot).MarkScopes, &converted.back());
        }
    });
    AppendAndMerge(lists);
}

void frmOctCalc::cmdLinkChDelArea_Click() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || shown->Scopes.count() == 0 || !shown_.measure || shown_.measure->ChMeasures.count() < 2) {
        return;
    }
    Busy busy(ui_);
    Recalcs work(ui_);
    std::deque<CScopes> converted;
    ForEachOtherChannel([&](CChMeasure& target, double ratio) {
        const CScopes& list = converted.emplace_back(ChannelRanges(shown->Scopes, ratio));
        for (const std::int16_t slot : ChannelCopySlots(target)) {
            CBandLCalcInfo& info = target.BandLCalcInfos.Item(slot);
            const std::string folder = GetBandFolder(Records()->SaveFilePath, target.ChMeasureCondition.oct1or3, slot);
            work.AddEdited(
                info.Scopes, [&list](CScopes& ranges) { ranges.AppendMerged(list); },
                target.LevelData.getDataNumNoWait(folder), info.LCalc, target.LevelData, folder);
        }
    });
    work.Run();
}

CScopes frmOctCalc::ChannelRanges(const CScopes& ranges, double ratio) {
    CScopes converted;
    for (std::int32_t i = 1; i <= ranges.count(); ++i) {
        const auto S = ScopePosition(ranges.Item(i).S);
        const auto E = ScopePosition(ranges.Item(i).E);
        if (!S || !E) {
            continue;
        }
        const auto clamp32 = [](std::int64_t v) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                                      std::numeric_limits<std::int32_t>::max()));
        };
        const auto [s, e] = ChannelRange(clamp32(*S), clamp32(*E), ratio);
        converted.SimpleAdd(NewRange(s, e));
    }
    return converted;
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

void frmOctCalc::setDeleteAreaToBands() {
    CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr) {
        return;
    }
    Busy busy(ui_);
    Recalcs work(ui_);
    const CScopes& list = shown->Scopes;
    for (const std::int16_t slot : EditBands()) {
        CBandLCalcInfo& info = shown_.channel->BandLCalcInfos.Item(slot);
        std::function<void(CScopes&)> copy;
        if (&info != shown) {
            copy = [&list](CScopes& ranges) { ranges = list; };  // a copy: every band gets the shown band's list
        }
        work.AddEdited(info.Scopes, std::move(copy), ValueCount(slot), info.LCalc, shown_.channel->LevelData,
                       BandFolder(slot));
    }
    work.Run();
    setFormOfGraphArea();
    setFormOfCalcArea();
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

bool frmOctCalc::saveDeleteAreaFile() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || !shown_.measure) {
        return false;
    }
    const auto path = ChooseRangeFile(true, kDeleteAreaFilter);
    return path &&
           WriteRangeFile(shown->Scopes, *path, "計算除外範囲保存処理が失敗しました．", "計算除外範囲を保存しました．");
}

bool frmOctCalc::saveMarkAreaFile() {
    const CBandLCalcInfo* shown = ShownBandInfo();
    if (shown == nullptr || !shown_.measure) {
        return false;
    }
    const auto path = ChooseRangeFile(true, kMarkAreaFilter);
    return path &&
           WriteRangeFile(shown->MarkScopes, *path, "マーク範囲保存処理が失敗しました．", "マーク範囲を保存しました．");
}

bool frmOctCalc::readDeleteAreaFile() {
    const auto path = ChooseRangeFile(false, kDeleteAreaFilter);
    return path && ReadDeleteAreaFrom(*path);
}

bool frmOctCalc::readMarkAreaFile() {
    const auto path = ChooseRangeFile(false, kMarkAreaFilter);
    return path && ReadMarkAreaFrom(*path);
}

void frmOctCalc::cmdDelSave_Click() { saveDeleteAreaFile(); }
void frmOctCalc::cmdMarkSave_Click() { saveMarkAreaFile(); }
void frmOctCalc::cmdMarkOpen_Click() { readMarkAreaFile(); }
void frmOctCalc::cmdDelOpen_Click() {
    if (readDeleteAreaFile()) {
        setDeleteAreaToBands();
    }
}

}  // namespace murtesk
