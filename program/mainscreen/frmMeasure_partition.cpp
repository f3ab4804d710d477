// The partitioned statistics over all measurements (job 12): its dialog and command, the pieces of
// a measurement's series, and the job, which computes the statistics of every piece in memory
// from the level files (no histogram file is written or needed), reaching a test point after every
// slice it reads, so that a piece of a day answers Cancel at once and shows its progress.
#include "frmMeasure.h"

#include "frmSetPartitionAreaCSVOut.h"
#include "globals.h"
#include "preserve_document.h"

#include "model/band_rows.h"
#include "model/partition_rows.h"
#include "model/band_slots.h"
#include "model/preserve.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/text_output.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>

namespace murtesk {

namespace {

constexpr std::int16_t kWeightedSlot = 2;

// A position of the first channel's series scaled to a channel at `ratio` times its rate: rounded
// half to even in 64 bits, held in the 32-bit range.
std::int32_t Scaled(std::int64_t position, double ratio) {
    const double scaled = platform::RoundHalfToEven(ratio * static_cast<double>(position));
    return static_cast<std::int32_t>(
        std::clamp<double>(scaled, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void MakeWholeSpanScope(std::int32_t minutes, CScopes& pieces, const CChMeasure& channel,
                        const std::string& projectPath) {
    pieces = PartitionPieces(
        minutes, channel.ChMeasureCondition.LevelOutHz,
        channel.LevelData.getDataNumNoWait(GetBandFolder(projectPath, channel.ChMeasureCondition.oct1or3, 1)));
}

void frmMeasure::mnuFilePartitionAreaTextOut_Click() {
    frmSetPartitionAreaCSVOut dialog(ui_);
    ui_.Load(dialog);
    g_bDialogOk = true;
    dialog.m_SplitMin = 10;
    dialog.m_bAllBand = true;
    dialog.m_bCalcAreaInfluence = true;
    ui_.ShowModal(dialog);
    if (!g_bDialogOk) {
        if (ui_.IsLoaded(dialog)) ui_.Unload(dialog);
        return;
    }
    m_Partition = {dialog.m_SplitMin, dialog.m_bAllBand, dialog.m_bCalcAreaInfluence};
    ui_.Unload(dialog);
    ui_.Refresh(*this);
    ui_.DoEvents();
    StartTextJob(12);
}

// Job 12: per measurement, piece and channel, the statistics of every band (or of W alone) over
// the piece, with or without the band's excluded ranges.
JobOutcome frmMeasure::AllDataPartitionAreaCSVOut() {
    return WriteTextJob([this](platform::TextOutput& out, CPreserve& doc) {
        out.Line(doc.MeasureCondition.Account);
        out.Line("");
        ShowJobProgress("");
        const PartitionSettings settings = m_Partition;
        const std::int32_t n = doc.Measures.count();
        for (std::int32_t i = 1; i <= n; ++i) {
            const CMeasure& m = doc.Measures.Item(i);
            WriteMeasureHeading(out, m, i, n);
            const std::int32_t channels = AnalysedChannelCount(m);
            if (channels == 0) continue;
            CScopes pieces;
            MakeWholeSpanScope(settings.minutes, pieces, m.ChMeasures.Item(1), doc.SaveFilePath);
            const double firstRate = m.ChMeasures.Item(1).ChMeasureCondition.LevelOutHz;
            const std::int32_t count = pieces.count();
            for (std::int32_t p = 1; p <= count; ++p) {
                const std::int64_t s = ScopePosition(pieces.Item(p).S).value_or(1);
                const std::int64_t e = ScopePosition(pieces.Item(p).E).value_or(0);
                out.Line("");
                out.Line("===== 分割" + FractionText(p, count));
                // Printed to the whole second: a piece's end lies a fraction before the next second.
                out.Line("計算開始日時, " +
                         platform::FormatDisplayDate(platform::AddSeconds(m.StartTime, (s - 1) / firstRate)));
                out.Line("計算終了日時, " +
                         platform::FormatDisplayDate(platform::AddSeconds(m.StartTime, (e - 1) / firstRate)));
                const std::string progress = FractionText(i, n) + "測定 " + FractionText(p, count) + "分割 処理中";
                ShowJobProgress(progress);
                int shownPercent = 0;
                auto shownAt = std::chrono::steady_clock::now();
                for (std::int32_t j = 1; j <= channels; ++j) {
                    const CChMeasure& channel = m.ChMeasures.Item(j);
                    const double ratio = channel.ChMeasureCondition.LevelOutHz / firstRate;
                    const std::int32_t sj = ratio == 1.0 ? static_cast<std::int32_t>(s) : std::max(Scaled(s, ratio), 1);
                    const std::int32_t ej = ratio == 1.0 ? static_cast<std::int32_t>(e) : Scaled(e, ratio);
                    const std::vector<std::int16_t> slots = RowSlots(channel.ChMeasureCondition.oct1or3);
                    if (slots.empty()) break;
                    out.Line("");
                    out.Line(FractionText(j, channels) + "ch データ");
                    const std::vector<std::int16_t> written =
                        settings.allBands ? slots : std::vector<std::int16_t>{kWeightedSlot};
                    // A long piece shows how far it has come over its channels, in whole percent, as
                    // often as the window is repainted.
                    const auto proceed = [&](double share) {
                        const int percent = static_cast<int>((j - 1 + share) / channels * 100.0);
                        const auto now = std::chrono::steady_clock::now();
                        if (share < 1.0 && percent != shownPercent && now - shownAt >= m_JobSettings.pumpInterval) {
                            shownPercent = percent;
                            shownAt = now;
                            ShowJobProgress(progress + " " + std::to_string(percent) + "%");
                        }
                        return !JobTestPoint();
                    };
                    const BlockEnd end = WritePartitionBlock(
                        out, channel, doc.SaveFilePath, channel.ChMeasureCondition.getWName(true, g_OriginalWs), sj, ej,
                        settings.exclusion, written, proceed, nullptr, m_JobSettings.partitionSlice);
                    if (end == BlockEnd::Stopped) return JobOutcome::Cancelled;
                    if (end == BlockEnd::Failed) return JobOutcome::Failed;
                }
            }
        }
        return JobOutcome::Done;
    });
}

}  // namespace murtesk
