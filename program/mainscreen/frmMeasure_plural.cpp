// The combined calculation of several measurements: the choice and the checks of the command,
// and job 4, which builds a new measurement whose band statistics are the energy sums, maxima and
// summed level histograms of the chosen measurements' target statistics. It has no level data. A
// source whose histogram file is missing is refused before the job, and the new measurement is
// added only when every band's histogram was stored.
#include "frmMeasure.h"

#include "frmSelectCalcPlural.h"
#include "globals.h"
#include "preserve_document.h"

#include "model/band_slots.h"
#include "model/missing_data.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <vector>

namespace murtesk {

using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr const char* kConditionTitle = "複数測定組合せ計算制限事項";
constexpr const char* kSameCondition = "計算する測定の組合せは、同じ条件の測定でなければなりません.";
constexpr const char* kNoStatistics = "次の測定とバンドの統計データがありません．\r\n組合せ計算はできません．\r\n";
// The energy sum starts below every level; the maximum at the floor of the statistics.
constexpr double kStartEnergy = -70.0;

bool Marked(std::int32_t k) {
    return k >= 0 && static_cast<std::size_t>(k) < g_bPluralSelect.size() &&
           g_bPluralSelect[static_cast<std::size_t>(k)];
}

std::int32_t FirstMarked(std::int32_t count) {
    for (std::int32_t k = 1; k <= count; ++k) {
        if (Marked(k)) {
            return k;
        }
    }
    return 0;
}

// The first difference of the channel conditions the combination needs alike, as the message
// ends it; empty when they agree.
std::string ConditionDifference(const CChMeasureCondition& a, const CChMeasureCondition& b) {
    if (a.w != b.w) {
        return " の補正特性が異なります.";
    }
    if (a.oct1or3 != b.oct1or3) {
        return " の分析バンド幅が異なります.";
    }
    if (a.CR != b.CR) {
        return " の動特性が異なります.";
    }
    if (a.LevelOutHz != b.LevelOutHz) {
        return " のレベル波形サンプル間隔秒数が異なります.";
    }
    return {};
}

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<std::int32_t>(std::min<std::int64_t>(sum, INT32_MAX));
}

// The statistics record of slot b of channel c of a measurement; null when the measurement has
// no such channel or its band list is shorter.
const CBandLCalcInfo* BandOf(const CMeasure& m, std::int32_t c, std::int32_t b) {
    if (c > m.ChMeasures.count()) {
        return nullptr;
    }
    const CBandLCalcInfos& bands = m.ChMeasures.Item(c).BandLCalcInfos;
    return b <= bands.count() ? &bands.Item(b) : nullptr;
}

}  // namespace

void frmMeasure::mnuToolCalcPlural_Click() {
    CPreserve* doc = OpenPreserve();
    if (doc == nullptr) {
        return;
    }
    // A close by the frame answers as Cancel: no job with nothing marked.
    g_bDialogOk = false;
    {
        frmSelectCalcPlural dialog(ui_);
        ui_.ShowModal(dialog);
        if (ui_.IsLoaded(dialog)) {
            ui_.Unload(dialog);
        }
    }
    const std::int32_t count = doc->Measures.count();
    const std::int32_t f = FirstMarked(count);
    if (!g_bDialogOk || f == 0) {
        return;
    }
    const CMeasure& first = doc->Measures.Item(f);
    for (std::int32_t k = f + 1; k <= count; ++k) {
        if (!Marked(k)) {
            continue;
        }
        const CMeasure& other = doc->Measures.Item(k);
        const std::string pair =
            std::string(kSameCondition) + "\r\n測定番号" + std::to_string(f) + " と測定番号" + std::to_string(k);
        if (other.ChMeasures.count() != first.ChMeasures.count()) {
            ui_.MsgBox(pair + "\r\n の測定チャンネル数が異なります.", MsgButtons::OK, MsgIcon::Critical,
                       kConditionTitle);
            return;
        }
        for (std::int32_t c = 1; c <= first.ChMeasures.count(); ++c) {
            const std::string difference = ConditionDifference(first.ChMeasures.Item(c).ChMeasureCondition,
                                                               other.ChMeasures.Item(c).ChMeasureCondition);
            if (!difference.empty()) {
                ui_.MsgBox(pair + " のチャンネル番号（ゼロはじまり）" + std::to_string(c - 1) + "\r\n" + difference,
                           MsgButtons::OK, MsgIcon::Critical, kConditionTitle);
                return;
            }
        }
    }
    // Statistics whose histogram file is gone cannot be summed: their values would be missing from
    // the counts while their energy and maximum took part.
    const std::string missing = MissingMeasureLines(doc->Measures, doc->SaveFilePath, MissingData::kStatistics, Marked);
    if (!missing.empty()) {
        ui_.MsgBox(kNoStatistics + missing, MsgButtons::OK, MsgIcon::Critical, kConditionTitle);
        return;
    }
    StartLongJob(4);
}

JobOutcome frmMeasure::CalcPlural() {
    CPreserve* doc = OpenPreserve();
    const std::int32_t count = doc == nullptr ? 0 : doc->Measures.count();
    const std::int32_t f = FirstMarked(count);
    if (f == 0) {
        return JobOutcome::Failed;
    }
    const std::string lcalc = GetLCalcFolder(doc->SaveFilePath);
    std::vector<std::string> written;  // histogram files of the new measurement
    const auto abandon = [&](JobOutcome outcome) {
        for (std::string& name : written) {
            doc->context().Histograms().Drop(lcalc, name, false);
        }
        m_PluralMeasure.reset();
        return outcome;
    };
    try {
        const CMeasure& first = doc->Measures.Item(f);
        m_PluralMeasure = std::make_shared<CMeasure>(doc->context());
        CMeasure& result = *m_PluralMeasure;
        first.MeasureCondition.MeMove(result.MeasureCondition);
        result.StartTime = ui_.Now();
        for (std::int32_t c = 1; c <= first.ChMeasures.count(); ++c) {
            CChMeasure& channel = result.ChMeasures.AddNew();
            first.ChMeasures.Item(c).ChMeasureCondition.MeMove(channel.ChMeasureCondition);
            channel.ChMeasureCondition.WaveFileOut.OkFlg = 0;
            const std::int16_t slots = SlotCount(channel.ChMeasureCondition.oct1or3);
            if (slots != 0) {
                // Names a file that is never written: the measurement has statistics only.
                channel.LevelData.SaveFileName =
                    platform::FormatFileNameDate(result.StartTime) + "_" + std::to_string(c - 1) + "ch.lvl";
            }
            channel.BandLCalcInfos.AllDelete();
            for (std::int16_t b = 1; b <= slots; ++b) {
                channel.BandLCalcInfos.AddNew();
            }
        }

        ShowJobProgress("");
        for (std::int32_t c = 1; c <= result.ChMeasures.count(); ++c) {
            CChMeasure& channel = result.ChMeasures.Item(c);
            CChMeasureCondition& condition = channel.ChMeasureCondition;
            condition.BandIndex = 2;
            if (c == 1) {
                std::int64_t duration = 0;
                for (std::int32_t k = 1; k <= count; ++k) {
                    const CBandLCalcInfo* flat = Marked(k) ? BandOf(doc->Measures.Item(k), 1, 1) : nullptr;
                    duration += flat == nullptr ? 0 : ScopePosition(flat->AllLCalc.Scope.E).value_or(0);
                }
                result.EndTime = EndTimeOfLevels(result.StartTime, duration, condition.LevelOutHz);
            }
            channel.CalcXYAxis.XAxisUnit = 3;
            channel.CalcXYAxis.XAxisMin = Variant::FromDate(result.StartTime);
            channel.CalcXYAxis.XAxisMax = Variant::FromDate(platform::AddSeconds(result.StartTime, 60));
            std::string memo = std::string(kCombinedMeasureMemo) + "\r\n測定No =";
            for (std::int32_t b = 1; b <= channel.BandLCalcInfos.count(); ++b) {
                if (c == 1) {
                    ShowJobProgress("Band" + std::to_string(b));
                }
                CBandLCalcInfo& record = channel.BandLCalcInfos.Item(b);
                for (CLCalc* calc : {&record.AllLCalc, &record.LCalc}) {
                    calc->initdB();
                    calc->Scope.S = std::int32_t{1};
                }
                LevelHistogram summed{};
                std::int32_t total = 0;
                double energy = kStartEnergy;
                double maximum = kNoLevel;
                for (std::int32_t k = 1; k <= count; ++k) {
                    if (JobTestPoint()) {
                        return abandon(JobOutcome::Cancelled);
                    }
                    if (!Marked(k)) {
                        continue;
                    }
                    if (b == 1) {
                        memo += (k == f ? " " : "+") + std::to_string(k);
                    }
                    const CBandLCalcInfo* source = BandOf(doc->Measures.Item(k), c, b);
                    if (source == nullptr) {
                        continue;
                    }
                    const CLCalc& s = source->LCalc;
                    maximum = std::max(maximum, s.Lmax);
                    if (energy >= kNoLevel) {
                        const double x = std::pow(10.0, energy / 10.0) + std::pow(10.0, s.m_dBSum / 10.0);
                        energy = x > 0.0 ? 10.0 * std::log10(x) : kNoLevel;
                    } else {
                        energy = s.m_dBSum;
                    }
                    // One that lost its histogram file since the command checked: nothing is made.
                    std::optional<LevelHistogram> read = s.LxData.ReadData(lcalc);
                    if (!read && s.Counted()) {
                        return abandon(JobOutcome::Failed);
                    }
                    const LevelHistogram counts = read.value_or(LevelHistogram{});
                    for (std::size_t l = 0; l < counts.size(); ++l) {
                        AddToBin(summed[l], std::max(counts[l], 0));
                        total = SaturatingAdd(total, std::max(counts[l], 0));
                    }
                }
                for (CLCalc* calc : {&record.LCalc, &record.AllLCalc}) {
                    calc->Lmax = maximum;
                    calc->m_dBSum = energy;
                    // A measurement is added only with every band's statistics stored.
                    if (!calc->LxData.SaveData(summed, lcalc)) {
                        return abandon(JobOutcome::Failed);
                    }
                    written.push_back(calc->LxData.SaveFileName);
                    calc->Scope.E = total;
                }
                record.Scopes.AllDelete();
            }
            condition.Account = memo;
        }
    } catch (const std::exception&) {
        return abandon(JobOutcome::Failed);
    }
    HideJobProgress();
    doc->Measures.Add(std::move(m_PluralMeasure));
    m_PluralMeasure.reset();
    m_MeasureIndex = doc->Measures.count();
    EditForm();
    SaveData();
    return JobOutcome::Done;
}

}  // namespace murtesk
