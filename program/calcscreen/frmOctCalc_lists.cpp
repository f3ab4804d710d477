// The three range panels of the calculation screen brought in line with the shown band: the
// excluded ranges with the statistics of the calculation target, the LE range with its value and
// the media commands, the mark ranges. Each decides which of its commands are enabled (a range
// exists) or visible (the file a command needs exists). The lists make their lines only when
// shown, so a panel with a million ranges refreshes at once.
#include "frmOctCalc.h"

#include "globals.h"
#include "chooser_order.h"
#include "time_window.h"

#include "model/band_rows.h"
#include "model/scopes.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <iterator>

namespace murtesk {

namespace {

constexpr const char* kNoStatistic = "---dB";

std::string Decibels(double level) { return platform::FormatNumber(level, "0.0") + "dB"; }

bool RegularFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void SetEnabled(std::initializer_list<platform::ControlState*> controls, bool enabled) {
    for (platform::ControlState* control : controls) {
        control->Enabled = enabled;
    }
}

// Selects no entry, then `index` again, so that the chooser's handler works the entry anew.
void Reselect(platform::ComboBox& list, int index) {
    list.ListIndex = -1;
    list.ListIndex = index >= 0 && index < list.ListCount() ? index : -1;
}

// The line of row i (0-based) of one of the shown band's range lists, made when it is shown.
platform::VirtualListBox::RowText RangeLines(const ShownSelection& shown, CScopes CBandLCalcInfo::*list) {
    if (!shown.measure || !shown.channel) {
        return {};
    }
    return [channel = shown.channel, band = shown.band, list, start = shown.measure->StartTime,
            rate = shown.channel->ChMeasureCondition.LevelOutHz](int row) -> std::string {
        if (band < 1 || band > channel->BandLCalcInfos.count()) {
            return {};
        }
        const CScopes& ranges = channel->BandLCalcInfos.Item(band).*list;
        if (row < 0 || row >= ranges.count()) {
            return {};
        }
        const CScope& range = ranges.Item(row + 1);
        return "No." + platform::FormatNumber(row + 1, "000") + " " + PositionDateText(range.S, start, rate) + " ～ " +
               PositionDateText(range.E, start, rate);
    };
}

}  // namespace

void frmOctCalc::setFormOfCalcArea() {
    const CBandLCalcInfo* info = ShownBandInfo();
    lstCalcDelArea.Clear();
    const std::int32_t count = info != nullptr ? info->Scopes.count() : 0;
    const std::initializer_list<platform::ControlState*> commands = {
        &lstCalcDelArea, &cmdAddCalc, &cmdAllCalc, &cmdReverse, &cmdSearchDelCalc, &cmdDelSave, &cmdLinkChDelArea};
    if (count == 0) {
        SetEnabled(commands, false);
    } else {
        lstCalcDelArea.SetRows(count, RangeLines(shown_, &CBandLCalcInfo::Scopes));
        SetEnabled(commands, true);
        lstCalcDelArea.ListIndex = 0;
    }

    platform::Label* const percentiles[] = {&lblL5, &lblL10, &lblL25, &lblL50, &lblL75, &lblL90, &lblL95};
    const std::int32_t xs[] = {5, 10, 25, 50, 75, 90, 95};
    // One read of the histogram file; a missing one shows nothing.
    const BandRowStatistics stored = info != nullptr ? StoredStatistics(info->LCalc) : BandRowStatistics{};
    if (stored.Empty()) {
        for (platform::Label* label : {&lblLeq, &lblLmax}) {
            label->Caption = kNoStatistic;
        }
        for (platform::Label* label : percentiles) {
            label->Caption = kNoStatistic;
        }
    } else {
        lblLeq.Caption = Decibels(stored.leq);
        lblLmax.Caption = Decibels(stored.lmax);
        std::array<double, std::size(xs)> levels{};
        HistogramPercentiles(stored.histogram, stored.counted, xs, levels);
        for (std::size_t i = 0; i < std::size(xs); ++i) {
            percentiles[i]->Caption = Decibels(levels[i]);
        }
    }

    Reselect(cmbCalcL, cmbCalcL.ListIndex < 0 ? 0 : cmbCalcL.ListIndex);
    cmbCalcL_Click();
    Reselect(cmbLx, shown_.channel ? shown_.channel->CalcXYAxis.Lx - 1 : -1);
    cmbLx_Click();
}

void frmOctCalc::setFormOfMarkArea() {
    cmdMarkWaveOut.Visible = RegularFileExists(g_PlayWavePath);
    const CBandLCalcInfo* info = ShownBandInfo();
    lstMarkArea.Clear();
    const std::int32_t count = info != nullptr ? info->MarkScopes.count() : 0;
    const std::initializer_list<platform::ControlState*> commands = {
        &lstMarkArea,    &chkAllBandMarkCalc, &chkCalcAreaInfluence, &cmdShowMarkCalc, &cmdMarkTextOut,
        &cmdMarkWaveOut, &cmdClearAllMark,    &cmdSearchMark,        &cmdLinkChMark,   &cmdMarkSave};
    if (count == 0) {
        SetEnabled(commands, false);
        cmdAllChMarkTextOut.Visible = false;
    } else {
        lstMarkArea.SetRows(count, RangeLines(shown_, &CBandLCalcInfo::MarkScopes));
        SetEnabled(commands, true);
        cmdAllChMarkTextOut.Visible = shown_.listedChannels > 1;
        lstMarkArea.ListIndex = 0;
    }
}

std::string frmOctCalc::SplitRecording(std::int32_t channel) const {
    const CPreserve* records = Records();
    if (!shown_.measure || records == nullptr || channel < 1 || channel > shown_.measure->ChMeasures.count()) {
        return {};
    }
    return shown_.SplitRecording(GetRecWavFolder(records->SaveFilePath), channel);
}

void frmOctCalc::setFormOfLE() {
    const CPreserve* records = Records();
    const std::string recWav = GetRecWavFolder(records != nullptr ? records->SaveFilePath : std::string());
    if (shown_.measure) {
        g_VideoPath = VideoFileOf(shown_.measure->StartTime);
    }
    const bool video = RegularFileExists(g_VideoPath);
    for (platform::ControlState* control :
         std::initializer_list<platform::ControlState*>{&cmdVideoPlay, &cmdVideoExtract, &mnuToolVideo, &mnuToolArea}) {
        control->Visible = video;
    }
    mnuToolArea.Enabled = video;

    // The channel of the channel list's choice, as the split recordings are named after it.
    const int listed = shown_.channelNumber;
    if (shown_.measure && listed >= 1 && listed <= shown_.measure->ChMeasures.count()) {
        g_PlayWavePath = shown_.SplitRecording(recWav, listed);
    }
    cmdWavePlay.Visible = cmdLEWaveOut.Visible = RegularFileExists(g_PlayWavePath);
    cmdRchMemoPlay.Visible = false;

    const CBandLCalcInfo* info = ShownBandInfo();
    const bool hasLE = info != nullptr && info->LEScopes.count() > 0;
    lblLEStart.Caption = shown_.LEStartText();
    lblLEEnd.Caption = shown_.LEEndText();
    SetEnabled({&cmdDelLE, &cmdVideoPlay, &cmdVideoExtract, &cmdWavePlay, &cmdLEWaveOut, &cmdRchMemoPlay, &cmdSearchLE,
                &cmdLETextOut, &mnuLETextFile, &cmdLinkCh},
               hasLE);
    lblLE.Caption = hasLE ? Decibels(info->AllLCalc.LE) : kNoStatistic;

    if (cmbCalcL.ListIndex >= 0 && cmbCalcL.SelectedData() == kCodeLE) {
        Reselect(cmbCalcL, cmbCalcL.ListIndex);
        cmbCalcL_Click();
    }
}

}  // namespace murtesk
