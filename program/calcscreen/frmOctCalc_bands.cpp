// The two band displays of the calculation screen: the band charts and label panels set up for the
// shown channel's band type, and the statistic chooser that fills the statistic display with one
// statistic of every band slot. The cursor display is filled from the cursor (frmOctCalc_cursor.cpp).
//
// Each panel keeps the value it shows for each slot, so that its commands read numbers, never
// label texts.
#include "frmOctCalc.h"

#include "band_panel.h"
#include "globals.h"
#include "chooser_order.h"

#include "model/band_layout.h"
#include "model/band_rows.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "platform/numbers.h"

#include <span>
#include <vector>

namespace murtesk {

namespace {

// The first weighting code of the user's own characteristics, which carry no band delay.
constexpr std::int16_t kFirstUserWeighting = 5;

// The Lx of stored statistics (100: Lmin).
double Percentile(const BandRowStatistics& s, std::int32_t x) {
    double level = kNoLevel;
    HistogramPercentiles(s.histogram, s.counted, std::span<const std::int32_t>(&x, 1), std::span<double>(&level, 1));
    return level;
}

}  // namespace

namespace {

// A band chart or panel of the shown channel's band type (the one-third-octave layout without a channel).
void SetUpChart(const ShownSelection& shown, platform::BandBarChartModel& chart) {
    if (shown.channel) {
        SetUpBandChart(chart, shown.channel->ChMeasureCondition.oct1or3, shown.channel->HzYAxis);
    }
}

template <class Values>
void SetUpPanel(const ShownSelection& shown, platform::BandLabelGrid& grid, Values& values, const char* blank) {
    values.fill(std::nullopt);
    SetUpBandGrid(grid, shown.channel ? shown.channel->ChMeasureCondition.oct1or3 : std::int16_t{3}, blank);
}

}  // namespace

void frmOctCalc::setGraphOfCSFFT() { SetUpChart(shown_, chartCSFFT); }
void frmOctCalc::setGraphOfCalcFFT() { SetUpChart(shown_, chartCalcFFT); }
void frmOctCalc::setFormOfCSFFTLabel() { SetUpPanel(shown_, gridCursor, cursorValues_, " "); }
void frmOctCalc::setFormOfCalcFFTLabel() { SetUpPanel(shown_, gridCalc, calcValues_, "  "); }

void frmOctCalc::ShowBandValue(platform::BandLabelGrid& grid, PanelValues& values, std::int16_t slot,
                               std::optional<double> value) {
    if (slot < 1 || slot > kMaxSlots) {
        return;
    }
    if (value && *value <= kNoLevel) {
        value = kNoLevel;
    }
    values[static_cast<std::size_t>(slot - 1)] = value;
    if (platform::Label* label = BandValueLabel(grid, shown_.channel->ChMeasureCondition.oct1or3, slot)) {
        label->Caption = BandReadOut(value);
    }
}

std::optional<double> frmOctCalc::ReadBandLevel(std::int16_t slot, std::int32_t p) const {
    float value = 0.0f;
    if (!shown_.channel || p < 1 || bandFiles_.Read(shown_.channel->LevelData, BandFolder(slot), p, 1, &value) < 1) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::optional<double>> frmOctCalc::StatisticValues(std::int32_t code) const {
    std::vector<std::optional<double>> values;
    if (!shown_.channel) {
        return values;
    }
    const CChMeasureCondition& condition = shown_.channel->ChMeasureCondition;
    const std::int16_t n = BandLayout(condition.oct1or3).SlotCount();
    const CBandLCalcInfos& infos = shown_.channel->BandLCalcInfos;
    const auto info = [&](std::int16_t slot) -> const CBandLCalcInfo* {
        return slot <= infos.count() ? &infos.Item(slot) : nullptr;
    };
    // A band whose histogram file is missing shows nothing, never an empty histogram's levels.
    const auto hasStatistics = [](const CLCalc& calc) { return calc.HasFigures(); };

    // The reference position of ＬFmax and ＬWmax: where slot 1's or slot 2's maximum lies.
    std::optional<std::int32_t> reference;
    if (code == kCodeLFmax || code == kCodeLWmax) {
        const CBandLCalcInfo* ref = info(code == kCodeLFmax ? 1 : 2);
        if (ref != nullptr && ref->LCalc.Counted() && ref->LCalc.getLmaxPos() >= 1) {
            reference = ref->LCalc.getLmaxPos();
        }
    }
    const bool delayed = code == kCodeLFmax || condition.w < kFirstUserWeighting;

    values.resize(static_cast<std::size_t>(n));
    for (std::int16_t slot = 1; slot <= n; ++slot) {
        std::optional<double>& v = values[static_cast<std::size_t>(slot - 1)];
        const CBandLCalcInfo* record = info(slot);
        if (code == kCodeLE) {
            if (record != nullptr && record->LEScopes.count() > 0) {
                v = record->AllLCalc.LE;
            }
        } else if (code == kCodeLFmax || code == kCodeLWmax) {
            // A band whose own target ranges hold nothing has no value at the reference maximum either.
            if (reference && record != nullptr && hasStatistics(record->LCalc)) {
                const std::int32_t q =
                    delayed ? AddBandDelay(condition.oct1or3, slot, *reference, condition.LevelOutHz) : *reference;
                v = ReadBandLevel(slot, q);
            }
        } else if (record != nullptr) {
            // One read of the histogram file; a missing one shows nothing.
            const BandRowStatistics s = StoredStatistics(record->LCalc);
            if (!s.Empty()) {
                v = code == kCodeLeq ? s.leq : code == kCodeLmax ? s.lmax : Percentile(s, code);
            }
        }
    }
    return values;
}

void frmOctCalc::cmbCalcL_Click() {
    if (cmbCalcL.ListIndex < 0 || !shown_.channel) {
        return;
    }
    const BandLayout layout(shown_.channel->ChMeasureCondition.oct1or3);
    const std::vector<std::optional<double>> values = StatisticValues(cmbCalcL.SelectedData());
    std::vector<double> chart(values.size(), kNoLevel);
    for (std::int16_t slot = 1; slot <= static_cast<std::int16_t>(values.size()); ++slot) {
        const std::optional<double>& v = values[static_cast<std::size_t>(slot - 1)];
        ShowBandValue(gridCalc, calcValues_, slot, v);
        chart[static_cast<std::size_t>(layout.DisplayPosition(slot) - 1)] = v && *v > kNoLevel ? *v : kNoLevel;
    }
    platform::ChartRedrawHold hold(chartCalcFFT);
    chartCalcFFT.SetLevels(chart);
}

void frmOctCalc::cmbLx_Click() {
    if (cmbLx.ListIndex < 0 || !shown_.channel) {
        return;
    }
    const std::int32_t x = cmbLx.SelectedData();
    const CBandLCalcInfo* info = ShownBandInfo();
    const BandRowStatistics stored = info != nullptr ? StoredStatistics(info->LCalc) : BandRowStatistics{};
    lblLx.Caption = stored.Empty() ? "---dB" : platform::FormatNumber(Percentile(stored, x), "0.0") + "dB";
    shown_.channel->CalcXYAxis.Lx = static_cast<std::int16_t>(x);
}

}  // namespace murtesk
