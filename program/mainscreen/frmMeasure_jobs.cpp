// The long jobs that change ranges and statistics of every measurement: starting a job in the
// long-job window, the progress label, recalculation (job 1), the level-over ranges of channel 1
// (job 7, after the level-over dialog) and their change into excluded ranges (job 3).
#include "frmMeasure.h"

#include "frmLevelOverArea.h"
#include "frmLongJob.h"
#include "globals.h"
#include "preserve_document.h"

#include "model/band_recalc.h"
#include "model/band_rows.h"
#include "model/band_slots.h"
#include "model/level_over.h"
#include "model/missing_data.h"
#include "model/shared_procedures.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace murtesk {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The level that tells the level-over job to empty the ranges instead.
constexpr double kHideLevelOver = 240.0;
// Slot 2, the weighted level, carries the level-over ranges of a channel.
constexpr std::int16_t kWeightedSlot = 2;

bool AskYesNo(platform::UiServices& ui, const char* question) {
    return ui.MsgBox(question, MsgButtons::YesNo, MsgIcon::None, {}, MsgAnswer::No) == MsgAnswer::Yes;
}

std::string MeasureProgress(std::int32_t i) { return "測定" + std::to_string(i); }

}  // namespace

// ---- Starting a job

std::optional<JobOutcome> frmMeasure::StartLongJob(std::int16_t code) {
    // Every job writes the memo into an output or the project file.
    TellMemo();
    g_JobNo = code;
    frmLongJob window(ui_);
    g_frmLongJob = &window;
    ui_.Load(window);
    ui_.ShowModal(window);
    if (ui_.IsLoaded(window)) {
        ui_.Unload(window);
    }
    g_frmLongJob = nullptr;
    const std::optional<JobOutcome> outcome = window.Outcome();
    const LongJob* job = FindLongJob(code);
    if (outcome == JobOutcome::Done && job != nullptr) {
        if (job->readsLevels) {
            TellMissing(MissingData::kLevels);
        }
        if (job->readsStatistics) {
            TellMissing(MissingData::kStatistics);
        }
    }
    return outcome;
}

void frmMeasure::TellMissing(MissingData what) {
    const CPreserve* doc = OpenPreserve();
    if (doc == nullptr) {
        return;
    }
    const std::string lines = MissingMeasureLines(doc->Measures, doc->SaveFilePath, what);
    if (lines.empty()) {
        return;
    }
    const char* head = what == MissingData::kLevels ? "次の測定とバンドのレベル波形データがありません．\r\n"
                                                      "レベル波形データから求める値は計算されていません．\r\n"
                                                    : "次の測定とバンドの統計データがありません．\r\n"
                                                      "その統計値は出力されていません．\r\n";
    ui_.MsgBox(head + lines, MsgButtons::OK, MsgIcon::Exclamation);
}

void frmMeasure::ShowJobProgress(const std::string& text) {
    lblLp0.Caption = text;
    lblLp0.Visible = true;
    ui_.Refresh(*this);
}

void frmMeasure::HideJobProgress() {
    lblLp0.Caption.clear();
    lblLp0.Visible = false;
    ui_.Refresh(*this);
}

bool frmMeasure::JobTestPoint() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ >= m_JobSettings.pumpInterval) {
        ui_.DoEvents();
        lastPump_ = now;
    }
    return g_bJobCancel;
}

void frmMeasure::mnuToolAllCalc_Click() {
    if (AskYesNo(ui_, "全測定の再計算をしますか？")) {
        StartLongJob(1);
    }
}

void frmMeasure::mnuToolTestCommand1_Click() {
    if (AskYesNo(ui_, "全測定Ｌcｈの補正特性オレンジ範囲を全バンドの計算除外範囲に変更しますか？")) {
        StartLongJob(3);
    }
}

void frmMeasure::mnuToolTestCommand2_Click() {
    // The dialog edits a band record of its own; what it answers becomes the job's level.
    auto channel = std::make_shared<CChMeasure>(ProgramStatsContext());
    CBandLCalcInfo& band = channel->BandLCalcInfos.AddNew();
    g_ChMeasure = channel;
    g_BandIndex = 1;
    // A close by the frame answers as Cancel: no job then.
    g_bDialogOk = false;
    frmLevelOverArea dialog(ui_);
    ui_.ShowModal(dialog);
    if (ui_.IsLoaded(dialog)) {
        ui_.Unload(dialog);
    }
    const bool hide = !g_bDialogOk && g_ChMeasure != nullptr;
    const bool show = g_bDialogOk && g_ChMeasure != nullptr;
    g_ChMeasure.reset();
    if (!show && !hide) {
        return;
    }
    m_JobOverLevel = hide ? kHideLevelOver : band.OverLevel;
    StartLongJob(7);
}

// ---- Recalculation of a channel's bands

template <class Prepare>
JobOutcome frmMeasure::RecalcChannelBands(CChMeasure& channel, const std::string& projectPath, Prepare prepare) {
    const std::int16_t mode = channel.ChMeasureCondition.oct1or3;
    const std::int32_t slots = std::min<std::int32_t>(SlotCount(mode), channel.BandLCalcInfos.count());
    std::vector<CScopes> targets(static_cast<std::size_t>(std::max(slots, 0)));
    std::vector<CScopes> before(targets.size());  // each band's list before `prepare`
    std::vector<BandRecalc> bands(targets.size());
    std::vector<BandRecalc*> started;
    bool cancelled = false;
    {
        // Declared after what its bands point to: leaving the block waits for every band.
        BandRecalcQueue queue(m_JobSettings.threads);
        const auto waitUntilAtMost = [&](std::size_t pending, bool testCancel) {
            while (!queue.WaitUntilAtMost(pending, m_JobSettings.testInterval)) {
                if (testCancel ? JobTestPoint() : (ui_.DoEvents(), false)) {
                    return false;
                }
            }
            return true;
        };
        for (std::int32_t k = 1; k <= slots; ++k) {
            if (!waitUntilAtMost(queue.Threads() - 1, true) || JobTestPoint()) {
                cancelled = true;
                break;
            }
            CBandLCalcInfo& record = channel.BandLCalcInfos.Item(k);
            const auto i = static_cast<std::size_t>(k - 1);
            before[i] = record.Scopes;
            const std::string folder = GetBandFolder(projectPath, mode, static_cast<std::int16_t>(k));
            const std::int32_t n = channel.LevelData.getDataNumNoWait(folder);
            // A slot whose level file is gone keeps the list its statistics count.
            if (n < 1 && record.LCalc.Counted()) {
                continue;
            }
            prepare(record);
            if (n <= 1) {
                continue;  // no series to count: the slot keeps its statistics
            }
            targets[i] = record.Scopes.getReverse(std::int32_t{1}, n);
            bands[i] = BandRecalc{&record.LCalc, &targets[i], &channel.LevelData, folder, false};
            queue.Start(bands[i]);
            started.push_back(&bands[i]);
        }
        waitUntilAtMost(0, false);
    }
    // A band whose statistics could not be saved keeps those of its former list: so does its list.
    for (const BandRecalc* band : started) {
        if (!band->Saved) {
            const auto i = static_cast<std::size_t>(band - bands.data());
            channel.BandLCalcInfos.Item(static_cast<std::int32_t>(i + 1)).Scopes = std::move(before[i]);
        }
    }
    if (cancelled) {
        return JobOutcome::Cancelled;
    }
    const bool saved = std::all_of(started.begin(), started.end(), [](const BandRecalc* b) { return b->Saved; });
    return saved ? JobOutcome::Done : JobOutcome::Failed;
}

// ---- The jobs that change every measurement

template <class Step>
JobOutcome frmMeasure::ChangeEveryMeasurement(Step step) {
    CPreserve* doc = OpenPreserve();
    if (doc == nullptr) {
        return JobOutcome::Failed;
    }
    ShowJobProgress("");
    for (std::int32_t i = 1; i <= doc->Measures.count(); ++i) {
        const JobOutcome outcome = step(i, doc->Measures.Item(i), doc->SaveFilePath);
        if (outcome != JobOutcome::Done) {
            return outcome;  // nothing saved
        }
    }
    HideJobProgress();
    SaveData();
    return JobOutcome::Done;
}

namespace {

// Channel 1 of a measurement when it has band series and a weighted slot; null otherwise (the
// level-over jobs pass such a measurement over).
CChMeasure* LevelOverChannel(CMeasure& m) {
    if (m.ChMeasures.count() < 1) {
        return nullptr;
    }
    CChMeasure& channel = m.ChMeasures.Item(1);
    const bool bands = SlotCount(channel.ChMeasureCondition.oct1or3) != 0;
    return bands && channel.BandLCalcInfos.count() >= kWeightedSlot ? &channel : nullptr;
}

}  // namespace

// Job 1: recalculation of every band of every measurement.
JobOutcome frmMeasure::AllCalcJob() {
    return ChangeEveryMeasurement([this](std::int32_t i, CMeasure& m, const std::string& project) {
        for (std::int32_t c = 1; c <= m.ChMeasures.count(); ++c) {
            if (c == 1) {
                ShowJobProgress(MeasureProgress(i));
            }
            CChMeasure& channel = m.ChMeasures.Item(c);
            // A channel with no band series ends the measurement's channels.
            if (SlotCount(channel.ChMeasureCondition.oct1or3) == 0) {
                break;
            }
            const JobOutcome outcome = RecalcChannelBands(channel, project, [](CBandLCalcInfo&) {});
            if (outcome != JobOutcome::Done) {
                return outcome;
            }
        }
        return JobOutcome::Done;
    });
}

// Job 3: the level-over ranges of channel 1 become excluded ranges of all its bands.
JobOutcome frmMeasure::AllLchOrangeDelete() {
    return ChangeEveryMeasurement([this](std::int32_t i, CMeasure& m, const std::string& project) {
        ShowJobProgress(MeasureProgress(i));
        CChMeasure* channel = LevelOverChannel(m);
        if (channel == nullptr || channel->BandLCalcInfos.Item(kWeightedSlot).LevelOverScopes.count() == 0) {
            return JobOutcome::Done;
        }
        CScopes& levelOver = channel->BandLCalcInfos.Item(kWeightedSlot).LevelOverScopes;
        const CScopes ranges = levelOver.MeCopy();
        const JobOutcome outcome = RecalcChannelBands(*channel, project, [&ranges](CBandLCalcInfo& record) {
            for (const auto& range : ranges) {
                record.Scopes.SimpleAdd(std::make_shared<CScope>(range->MeCopy()));
            }
            record.Scopes.ResetScopes();
        });
        if (outcome == JobOutcome::Done) {
            levelOver.AllDelete();
        }
        return outcome;
    });
}

// Job 7: level-over ranges of the weighted level of channel 1.
JobOutcome frmMeasure::AllLchOrange() {
    return ChangeEveryMeasurement([this](std::int32_t i, CMeasure& m, const std::string& project) {
        ShowJobProgress(MeasureProgress(i));
        CChMeasure* channel = LevelOverChannel(m);
        if (channel == nullptr) {
            return JobOutcome::Done;
        }
        CBandLCalcInfo& record = channel->BandLCalcInfos.Item(kWeightedSlot);
        if (m_JobOverLevel == kHideLevelOver) {
            record.LevelOverScopes.AllDelete();
            return JobOutcome::Done;
        }
        const std::string folder = GetBandFolder(project, channel->ChMeasureCondition.oct1or3, kWeightedSlot);
        const std::int32_t n = channel->LevelData.getDataNumNoWait(folder);
        auto runs = FindLevelOverScopes(channel->LevelData, folder, n, m_JobOverLevel, m_JobSettings.levelOverChunk,
                                        [this] { return !JobTestPoint(); });
        if (!runs) {
            return JobOutcome::Cancelled;  // the band keeps its former threshold and ranges
        }
        record.OverLevel = m_JobOverLevel;
        record.LevelOverScopes = std::move(*runs);
        return JobOutcome::Done;
    });
}

}  // namespace murtesk
