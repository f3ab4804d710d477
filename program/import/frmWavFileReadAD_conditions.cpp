// The condition page: one channel's calculation condition at a time, the band lists of the chosen
// analysis kind, the checks before a condition is stored, and the "共通" copies to every channel.
#include "frmWavFileReadAD.h"

#include "band_frequency.h"
#include "model/band_slots.h"
#include "model/input_checks.h"
#include "platform/numbers.h"


namespace murtesk::import {

namespace {

// cmbLevelIntervalMS: 100 ms is 10 values a second, 10 ms 100, anything else 1 ms.
double LevelOutHzOfInterval(std::int32_t ms) { return ms == 10 ? 100.0 : ms == 100 ? 10.0 : 1000.0; }
int IntervalItemOfLevelOutHz(double hz) { return hz == 10.0 ? 0 : hz == 100.0 ? 1 : 2; }

int WeightingItem(const platform::ComboBox& list, int code)
{
    switch (code) {
    case 3: return 0;
    case 4: return 1;
    case 2: return 2;
    case 0: return 3;
    case 1: return 4;
    case -1: return 5;
    default: return code >= 0 && list.ListCount() > code ? code : 0;
    }
}

int ItemOfData(const platform::ComboBox& list, std::int32_t data)
{
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.ItemData[static_cast<std::size_t>(i)] == data) {
            return i;
        }
    }
    return -1;
}

}  // namespace

// The shared number checks, shown the form's way: message, then the whole text selected and focused.
bool frmWavFileReadAD::Checked(const std::optional<std::string>& failure, const platform::TextBox& box,
                               const std::string& name, double& value)
{
    if (failure) {
        ReportInput(*failure);
        SetFocus(name, true);
        return false;
    }
    value = ParseNumericText(box.Text).value_or(0.0);
    return true;
}

bool frmWavFileReadAD::CheckNumericText(const platform::TextBox& box, const std::string& name, double& value)
{
    return Checked(murtesk::CheckNumericText(box.Text), box, name, value);
}

bool frmWavFileReadAD::CheckRangeText(const platform::TextBox& box, const std::string& name, double min, double max,
                                      double& value)
{
    return Checked(murtesk::CheckRangeText(box.Text, min, max), box, name, value);
}

bool frmWavFileReadAD::CheckOverText(const platform::TextBox& box, const std::string& name, double bound,
                                     double& value)
{
    return Checked(murtesk::CheckOverText(box.Text, bound), box, name, value);
}

void frmWavFileReadAD::cmbCh_Click()
{
    if (cmbCh.ListIndex < 0) {
        return;
    }
    const auto selected = static_cast<std::int16_t>(cmbCh.SelectedData());
    if (m_ShownCh == -2) {
        m_ShownCh = selected;
        return;
    }
    if (m_ShownCh != -1 && !SaveChCondition(m_ShownCh)) {
        // Refused: put the chooser back on the channel on show; its click only restores m_ShownCh.
        const int former = m_ShownCh;
        m_ShownCh = -2;
        cmbCh.ListIndex = ItemOfData(cmbCh, former);
        cmbCh_Click();
        return;
    }
    ShowChCondition(selected);
    m_ShownCh = selected;
}

bool frmWavFileReadAD::SaveChCondition(int channel)
{
    if (channel < 0 || channel >= document_.ChannelCount()) {
        return false;
    }
    double cal = 0.0;
    double level = 0.0;
    double zeroPlus = 0.0;
    if (!CheckOverText(txtCAL0p, "txtCAL0p", 0.0, cal) || !CheckRangeText(txtCalLevel, "txtCalLevel", -20.0, 170.0, level) ||
        !CheckNumericText(txtZeroPlus, "txtZeroPlus", zeroPlus)) {
        return false;
    }
    CChMeasureCondition& condition = document_.ChannelCondition(channel + 1);
    const auto kind = static_cast<std::int16_t>(cmbOct1or3.SelectedData(condition.oct1or3));
    const double startHz = GetBandCenterHz(kind, cmbStartBand.SelectedData(0));
    const double endHz = GetBandCenterHz(kind, cmbEndBand.SelectedData(0));
    if (endHz < startHz) {
        ReportInput("開始分析バンド帯域中心周波数は終了分析バンド帯域中心周波数以下の周波数帯域でなければなりません。");
        SetFocus("cmbStartBand");
        return false;
    }
    condition.oct1or3 = kind;
    condition.StartHz = startHz;
    condition.EndHz = endHz;
    condition.w = static_cast<std::int16_t>(cmbW.SelectedData(condition.w));
    condition.setCR(cmbTimeWeighting.SelectedData(-1));
    if (cmbLevelIntervalMS.ListIndex >= 0) {
        condition.LevelOutHz = LevelOutHzOfInterval(cmbLevelIntervalMS.SelectedData());
    }
    condition.CAL = cal;
    condition.CALPattern = static_cast<std::int16_t>(cmbCALWavePattern.SelectedData(condition.CALPattern));
    condition.LVL = level;
    condition.ZeroPlus = zeroPlus;
    return true;
}

void frmWavFileReadAD::ShowChCondition(int channel)
{
    if (channel < 0 || channel >= document_.ChannelCount()) {
        return;
    }
    const CChMeasureCondition& condition = document_.ChannelCondition(channel + 1);
    // Through no selection, so that the click always refills the band lists.
    cmbOct1or3.ListIndex = -1;
    cmbOct1or3.ListIndex = condition.oct1or3 == 1 ? 0 : 1;
    cmbOct1or3_Click();

    cmbW.ListIndex = WeightingItem(cmbW, condition.w);
    const int tre = condition.getTRENo();
    cmbTimeWeighting.ListIndex = tre >= 0 && tre < cmbTimeWeighting.ListCount() ? tre : -1;
    cmbLevelIntervalMS.ListIndex = IntervalItemOfLevelOutHz(condition.LevelOutHz);
    txtCAL0p.Text = platform::NumberToText(condition.CAL);
    const int pattern = condition.CALPattern;
    cmbCALWavePattern.ListIndex = pattern >= 0 && pattern < cmbCALWavePattern.ListCount() ? pattern : -1;
    txtCalLevel.Text = platform::NumberToText(condition.LVL);
    txtZeroPlus.Text = platform::NumberToText(condition.ZeroPlus);
}

void frmWavFileReadAD::cmbOct1or3_Click()
{
    if (cmbOct1or3.ListIndex < 0) {
        return;
    }
    const int kind = cmbOct1or3.SelectedData();
    const int last = SlotCount(BandListMode(static_cast<std::int16_t>(kind)));
    cmbStartBand.Clear();
    cmbEndBand.Clear();
    for (int band = last; band >= 3; --band) {
        cmbStartBand.AddItem(document_.BandName(kind, band), band);
    }
    cmbStartBand.AddItem("計算しない", 0);
    for (int band = 3; band <= last; ++band) {
        cmbEndBand.AddItem(document_.BandName(kind, band), band);
    }
    const int channel = cmbCh.SelectedData(-1);
    if (channel < 0 || channel >= document_.ChannelCount()) {
        return;
    }
    const CChMeasureCondition& condition = document_.ChannelCondition(channel + 1);
    cmbEndBand.ListIndex = ItemOfData(cmbEndBand, GetBandNoOfHz(kind, condition.EndHz));
    cmbStartBand.ListIndex = ItemOfData(cmbStartBand, GetBandNoOfHz(kind, condition.StartHz));
    cmbStartBand_Click();
}

void frmWavFileReadAD::cmbStartBand_Click()
{
    if (cmbStartBand.ListIndex < 0) {
        return;
    }
    cmbEndBand.Enabled = cmbStartBand.SelectedData() != 0;
}

template <class Apply>
void frmWavFileReadAD::ForEveryChannel(Apply apply)
{
    const int count = std::min(cmbCh.ListCount(), document_.ChannelCount());
    for (int k = 1; k <= count; ++k) {
        apply(document_.ChannelCondition(k));
    }
}

void frmWavFileReadAD::cmdComonBand_Click()
{
    const auto kind = static_cast<std::int16_t>(cmbOct1or3.SelectedData(1));
    const double startHz = GetBandCenterHz(kind, cmbStartBand.SelectedData(0));
    const double endHz = GetBandCenterHz(kind, cmbEndBand.SelectedData(0));
    ForEveryChannel([&](CChMeasureCondition& c) {
        c.oct1or3 = kind;
        c.StartHz = startHz;
        c.EndHz = endHz;
    });
}

void frmWavFileReadAD::cmdCommonW_Click()
{
    if (cmbW.ListIndex < 0) {
        return;
    }
    const auto w = static_cast<std::int16_t>(cmbW.SelectedData());
    ForEveryChannel([&](CChMeasureCondition& c) { c.w = w; });
}

void frmWavFileReadAD::cmdCommonTW_Click()
{
    const std::int32_t code = cmbTimeWeighting.SelectedData(-1);
    ForEveryChannel([&](CChMeasureCondition& c) { c.setCR(code); });
}

void frmWavFileReadAD::cmdCommonLevelIntervalMS_Click()
{
    if (cmbLevelIntervalMS.ListIndex < 0) {
        return;
    }
    const double hz = LevelOutHzOfInterval(cmbLevelIntervalMS.SelectedData());
    ForEveryChannel([&](CChMeasureCondition& c) { c.LevelOutHz = hz; });
}

void frmWavFileReadAD::cmdCommonCAL0p_Click()
{
    double value = 0.0;
    if (CheckRangeText(txtCAL0p, "txtCAL0p", 1.0, 100000.0, value)) {
        ForEveryChannel([&](CChMeasureCondition& c) { c.CAL = value; });
    }
}

void frmWavFileReadAD::cmdCommonCALWave_Click()
{
    if (cmbCALWavePattern.ListIndex < 0) {
        return;
    }
    const auto pattern = static_cast<std::int16_t>(cmbCALWavePattern.SelectedData());
    ForEveryChannel([&](CChMeasureCondition& c) { c.CALPattern = pattern; });
}

void frmWavFileReadAD::cmdCommonLevel_Click()
{
    double value = 0.0;
    if (CheckRangeText(txtCalLevel, "txtCalLevel", -60.0, 170.0, value)) {
        ForEveryChannel([&](CChMeasureCondition& c) { c.LVL = value; });
    }
}

void frmWavFileReadAD::cmdCommonZeroPlus_Click()
{
    double value = 0.0;
    if (CheckRangeText(txtZeroPlus, "txtZeroPlus", -10000.0, 10000.0, value)) {
        ForEveryChannel([&](CChMeasureCondition& c) { c.ZeroPlus = value; });
    }
}

}  // namespace murtesk::import
