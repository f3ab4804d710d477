// The text outputs over all measurements: the save dialog they share, the commands that start
// them, and the jobs of the calculation values (5), the Lmax of every band (11), the level of every
// band at the F maximum per channel (8) and its variant with channel 4's Lmax (10), and the F
// maximum per measurement (9). The partitioned statistics (12) are in frmMeasure_partition.cpp.
#include "frmMeasure.h"

#include "frmLongJob.h"
#include "globals.h"
#include "output_target.h"
#include "preserve_document.h"

#include "model/band_rows.h"
#include "model/band_slots.h"
#include "model/preserve.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/text_output.h"

namespace murtesk {

namespace {

constexpr const char* kNoData = "出力データがありません.";
constexpr const char* kRule = "====================";
// Jobs 8 and 10 write the one-third-octave bands only, F first, then from the lowest band up.
constexpr std::int16_t kThirdOctave = 3;
// Channel 4 of job 10 gives Lmax for F and the bands from 20 kHz down to 10 Hz.
constexpr std::int32_t kLmaxChannel = 4;
constexpr std::int16_t kLastLmaxSlot = 36;

std::vector<std::int16_t> ThirdOctaveSlotsWithoutW() {
    std::vector<std::int16_t> slots{1};
    for (std::int16_t k = SlotCount(kThirdOctave); k >= 3; --k) slots.push_back(k);
    return slots;
}

// Channel 4's band k of job 10: a leading excluded range longer than the first second is cut to
// that second and the band's statistics are computed again. False when they could not be saved: the
// band then keeps its ranges and statistics.
bool TrimLeadingExclusion(CChMeasure& channel, std::int16_t k, const std::string& projectPath) {
    if (k > channel.BandLCalcInfos.count()) return true;
    CBandLCalcInfo& band = channel.BandLCalcInfos.Item(k);
    const double rate = channel.ChMeasureCondition.LevelOutHz;
    if (band.Scopes.count() == 0) return true;
    CScope& first = band.Scopes.Item(1);
    std::int32_t firstSecond = 0;
    if (ScopePosition(first.S) != 1 || !(first.E.AsDouble() > rate) || !platform::RoundToInt32(rate, firstSecond) ||
        firstSecond < 1) {
        return true;
    }
    const std::string folder = GetBandFolder(projectPath, channel.ChMeasureCondition.oct1or3, k);
    const std::int32_t total = channel.LevelData.getDataNumNoWait(folder);
    if (total < 1) return true;  // no series: the band keeps its ranges and statistics
    CScopes cut = band.Scopes;
    cut.Item(1).E = firstSecond;
    const CScopes targets = cut.getReverse(std::int32_t{1}, total);
    if (!band.LCalc.resetNew(targets, channel.LevelData, folder)) return false;
    band.Scopes = targets.getReverse(std::int32_t{1}, total);
    return true;
}

}  // namespace

// ---- The save dialog and the commands

bool frmMeasure::SelectCSVOutFile() {
    platform::FileDialogRequest request;
    request.Title = "出力するﾌｧｲﾙ名を指定して下さい．";
    request.Filter = "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv";
    request.OverwritePrompt = true;
    request.HideReadOnly = true;
    request.PathMustExist = true;
    request.NoReadOnlyReturn = true;
    RefuseProjectFiles(request);
    // The dialog opens where the last file was chosen, never proposing that file (the project
    // file, as often as not) as the output.
    request.InitialDir = dlgFileName.empty() ? std::string() : GetParentPath(dlgFileName);
    const std::optional<std::string> chosen = ui_.ShowSave(request);
    if (!chosen || chosen->empty()) return false;
    dlgFileName = *chosen;
    g_SelFileName = *chosen;
    return true;
}

std::optional<JobOutcome> frmMeasure::StartTextJob(std::int16_t code) {
    if (!SelectCSVOutFile()) return std::nullopt;
    return StartLongJob(code);
}

void frmMeasure::mnuFileCalcValueTextOut_Click() { StartTextJob(5); }

void frmMeasure::mnuFileLmaxTextOut_Click() { StartTextJob(11); }

// ---- The jobs

void frmMeasure::WriteMeasureHeading(platform::TextOutput& out, const CMeasure& m, std::int32_t i, std::int32_t n) {
    out.Line(kRule);
    out.Line("<< " + FractionText(i, n) + " 測定 >>");
    out.Line("出力開始日時,出力終了日時");
    out.Line(platform::FormatDisplayDate(m.StartTime) + ", " + platform::FormatDisplayDate(m.EndTime));
}

JobOutcome frmMeasure::WriteTextJob(const std::function<JobOutcome(platform::TextOutput&, CPreserve&)>& write) {
    CPreserve* doc = OpenPreserve();
    if (doc == nullptr) return JobOutcome::Failed;
    platform::TextOutput out(g_SelFileName);
    if (!out.Open()) return JobOutcome::Failed;
    const JobOutcome outcome = write(out, *doc);
    if (outcome != JobOutcome::Done) {
        out.Discard();
        return outcome;
    }
    return out.Commit() ? JobOutcome::Done : JobOutcome::Failed;
}

// Job 5: the stored statistics of every band of every channel.
JobOutcome frmMeasure::DataCSVOut() {
    return WriteTextJob([this](platform::TextOutput& out, CPreserve& doc) {
        ShowJobProgress("");
        out.Line(doc.MeasureCondition.Account);
        out.Line("");
        const std::int32_t n = doc.Measures.count();
        for (std::int32_t i = 1; i <= n; ++i) {
            const CMeasure& m = doc.Measures.Item(i);
            WriteMeasureHeading(out, m, i, n);
            const std::int32_t channels = AnalysedChannelCount(m);
            for (std::int32_t j = 1; j <= channels; ++j) {
                if (j == 1) ShowJobProgress(CountText(i) + "測定");
                const CChMeasure& channel = m.ChMeasures.Item(j);
                if (SlotCount(channel.ChMeasureCondition.oct1or3) == 0) break;
                out.Line("");
                out.Line("< " + FractionText(i, n) + " 測定 " + FractionText(j, channels) + "ch データ >");
                const std::string weighting = channel.ChMeasureCondition.getWName(true, g_OriginalWs);
                if (!WriteCalcValueBlock(out, channel, doc.SaveFilePath, weighting,
                                         [this] { return !JobTestPoint(); })) {
                    return JobOutcome::Cancelled;
                }
            }
        }
        return JobOutcome::Done;
    });
}

// Job 11: per measurement and channel, the band names and the Lmax of every band.
JobOutcome frmMeasure::LmaxCSVOut() {
    return WriteTextJob([this](platform::TextOutput& out, CPreserve& doc) {
        out.Line(doc.MeasureCondition.Account);
        ShowJobProgress("");
        const std::int32_t n = doc.Measures.count();
        for (std::int32_t i = 1; i <= n; ++i) {
            const CMeasure& m = doc.Measures.Item(i);
            out.Line(kRule);
            out.Line("<< " + FractionText(i, n) + " 測定 >>");
            out.Line(m.ChMeasures.count() > 0 ? m.ChMeasures.Item(1).ChMeasureCondition.Account : std::string());
            for (std::int32_t j = 1; j <= m.ChMeasures.count(); ++j) {
                if (j == 1) ShowJobProgress(CountText(i) + "測定");
                const CChMeasure& channel = m.ChMeasures.Item(j);
                const std::vector<std::int16_t> slots = RowSlots(channel.ChMeasureCondition.oct1or3);
                if (slots.empty()) break;
                const BandRows rows(channel, doc.SaveFilePath, channel.ChMeasureCondition.getWName(true, g_OriginalWs));
                std::string names = "Ch";
                for (const std::int16_t k : slots) {
                    if (JobTestPoint()) return JobOutcome::Cancelled;
                    names += ", " + rows.Name(k);
                }
                std::string values = CountText(j);
                for (const std::int16_t k : slots) {
                    if (JobTestPoint()) return JobOutcome::Cancelled;
                    values += rows.HasStatistics(k) ? "," + LevelText(rows.Calc(k)->getLmax()) : std::string(", ---");
                }
                out.Line(names);
                out.Line(values);
            }
        }
        return JobOutcome::Done;
    });
}

JobOutcome frmMeasure::ChannelBandsCSVOut(bool lmaxOfChannel4) {
    CPreserve* doc = OpenPreserve();
    if (doc != nullptr && doc->Measures.count() == 0) {
        ui_.MsgBox(kNoData);
        return JobOutcome::Reported;  // no file: an old one of the chosen name stays
    }
    return WriteTextJob([this, lmaxOfChannel4](platform::TextOutput& out, CPreserve& doc) {
        const std::vector<std::int16_t> slots = ThirdOctaveSlotsWithoutW();
        if (lmaxOfChannel4) out.Line("4ch : 5Hz以下ＬFmax それ以外Ｌmax　それ以外のchはＬFmax");
        std::string header = "ch, 測定番号";
        for (const std::int16_t k : slots) header += ", " + std::string(GetBandName(kThirdOctave, k));
        out.Line(header);
        const std::int32_t n = doc.Measures.count();
        const std::int32_t channels = doc.Measures.Item(1).ChMeasures.count();
        for (std::int32_t c = 1; c <= channels; ++c) {
            for (std::int32_t i = 1; i <= n; ++i) {
                CMeasure& m = doc.Measures.Item(i);
                if (m.ChMeasures.count() < c || m.ChMeasures.Item(c).ChMeasureCondition.oct1or3 != kThirdOctave) break;
                CChMeasure& channel = m.ChMeasures.Item(c);
                BandRows rows(channel, doc.SaveFilePath, {});
                rows.SetStoredMaxima();
                std::string row = CountText(c) + "ch, No." + CountText(i);
                for (const std::int16_t k : slots) {
                    if (JobTestPoint()) return JobOutcome::Cancelled;
                    const bool lmax = lmaxOfChannel4 && c == kLmaxChannel && k <= kLastLmaxSlot;
                    if (lmax) {
                        if (!TrimLeadingExclusion(channel, k, doc.SaveFilePath)) return JobOutcome::Failed;
                        rows.SetStoredMaxima();
                        row += rows.HasStatistics(k) ? "," + LevelText(rows.Calc(k)->getLmax()) : std::string(", ---");
                    } else if (lmaxOfChannel4 || rows.HasStatistics(k)) {
                        row += rows.LFmax(k);
                    } else {
                        row += ", ---";
                    }
                }
                out.Line(row);
            }
        }
        return JobOutcome::Done;
    });
}

// Job 8: per channel number and measurement, every band's level at the F maximum.
JobOutcome frmMeasure::DataCSVOut2() { return ChannelBandsCSVOut(false); }

// Job 10: as job 8, with channel 4's Lmax of F and of the bands from 20 kHz down to 10 Hz after
// its leading excluded range has been cut to the first second. The caller saves the project.
JobOutcome frmMeasure::DataCSVOut4() { return ChannelBandsCSVOut(true); }

// Job 9: per measurement ("train"), the F band's level at its maximum on every channel.
JobOutcome frmMeasure::DataCSVOut3() {
    return WriteTextJob([](platform::TextOutput& out, CPreserve& doc) {
        out.Line("Ｌmax出力");
        const std::int32_t n = doc.Measures.count();
        if (n == 0) return JobOutcome::Failed;
        std::string header = "列車No.";
        for (std::int32_t k = 1; k <= doc.Measures.Item(1).ChMeasures.count(); ++k)
            header += ", " + CountText(k) + "ch";
        out.Line(header);
        for (std::int32_t i = 1; i <= n; ++i) {
            const CMeasure& m = doc.Measures.Item(i);
            std::string row = CountText(i);
            for (const auto& channel : m.ChMeasures) {
                BandRows rows(*channel, doc.SaveFilePath, {});
                rows.SetStoredMaxima();
                row += rows.LFmax(1);
            }
            out.Line(row);
        }
        return JobOutcome::Done;
    });
}

}  // namespace murtesk
