// The three range panels of the calculation screen brought in line with the shown band: the
// excluded ranges with the statistics of the calculation target, the LE range with its value and
// the media commands, the mark ranges. Each decides which of its commands are enabled (a range
// exists) or visible (the file a command needs exists). The lists make their lines only when
// shown, so a panel with a million ranges refreshes at once.
#include "frmOctCalc.h"

#include "globals.h"
#include "statistic_codes.h"
#include "time_window.h"

#include "model/scopes.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <iterator>

namespace murtesk {

namespace {

constexpr const char* kNoStatistic = "---dB";
constexpr const char* kNoDate = "----/--/-- --:--:--";

std::string Decibels(double level) { return platform::FormatNumber(level, "0.0") + "dB"; }

// The display date of a position of a series whose position 1 lies at `start`.
std::string DateOfPosition(const Variant& position, Date start, double rate) {
    if (position.IsEmpty() || position.IsNull() || !RateUsable(rate)) {
        return kNoDate;
    }
    const double p = position.AsDouble();
    if (!std::isfinite(p)) {
        return kNoDate;
    }
    return platform::FormatDisplayDate(platform::AddSeconds(start, (p - 1.0) / rate));
}

bool RegularFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// A text without its last `n` characters (UTF-8 sequences counted as one).
std::string DropLastCharacters(const std::string& text, int n) {
    std::size_t end = text.size();
    for (int i = 0; i < n && end > 0; ++i) {
        do {
            --end;
        } while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80);
    }
    return text.substr(0, end);
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

}  // namespace

platform::VirtualListBox::RowText frmOctCalc::RangeLines(CScopes CBandLCalcInfo::*list) const {
    if (!shown_.measure || !shown_.channel) {
        return {};
    }
    return [channel = shown_.channel, band = shown_.band, list, start = shown_.measure->StartTime,
            rate = shown_.channel->ChMeasureCondition.LevelOutHz](int row) -> std::string {
        if (band < 1 || band > channel->BandLCalcInfos.count()) {
            return {};
        }
        const CScopes& ranges = channel->BandLCalcInfos.Item(band).*list;
        if (row < 0 || row >= ranges.count()) {
            return {};
        }
        const CScope& range = ranges.Item(row + 1);
        return "No." + platform::FormatNumber(row + 1, "000") + " " + DateOfPosition(range.S, start, rate) + " ～ " +
               DateOfPosition(range.E, start, rate);
    };
}

void frmOctCalc::setFormOfCalcArea() {
    const CBandLCalcInfo* info = ShownBandInfo();
    lstCalcDelArea.Clear();
    const std::int32_t count = info != nullptr ? info->Scopes.count() : 0;
    const std::initializer_list<platform::ControlState*> commands = {
        &lstCalcDelArea, &cmdAddCalc, &cmdAllCalc, &cmdReverse, &cmdSearchDelCalc, &cmdDelSave, &cmdLinkChDelArea};
    if (count == 0) {
        SetEnabled(commands, false);
    } else {
        lstCalcDelArea.SetRows(count, RangeLines(&CBandLCalcInfo::Scopes));
        SetEnabled(commands, true);
        lstCalcDelArea.ListIndex = 0;
    }

    platform::Label* const percentiles[] = {&lblL5, &lblL10, &lblL25, &lblL50, &lblL75, &lblL90, &lblL95};
    const std::int32_t xs[] = {5, 10, 25, 50, 75, 90, 95};
    if (info == nullptr || !(info->LCalc.Scope.E.AsDouble() >= 1.0)) {
        for (platform::Label* label : {&lblLeq, &lblLmax}) {
            label->Caption = kNoStatistic;
        }
        for (platform::Label* label : percentiles) {
            label->Caption = kNoStatistic;
        }
    } else {
        const CLCalc& calc = info->LCalc;
        lblLeq.Caption = Decibels(calc.getLeq());
        lblLmax.Caption = Decibels(calc.getLmax());
        for (std::size_t i = 0; i < std::size(xs); ++i) {
            percentiles[i]->Caption = Decibels(calc.getLx(xs[i]));
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
        lstMarkArea.SetRows(count, RangeLines(&CBandLCalcInfo::MarkScopes));
        SetEnabled(commands, true);
        cmdAllChMarkTextOut.Visible = shown_.listedChannels > 1;
        lstMarkArea.ListIndex = 0;
    }
}

std::string frmOctCalc::SplitRecording(const std::string& recWav, std::int32_t channel) const {
    const std::string& name = shown_.measure->ChMeasures.Item(channel).LevelData.SaveFileName;
    return recWav + "/ALL" + DropLastCharacters(name, 4) + ".Wav";
}

std::string frmOctCalc::SplitRecording(std::int32_t channel) const {
    const CPreserve* records = Records();
    if (!shown_.measure || records == nullptr || channel < 1 || channel > shown_.measure->ChMeasures.count()) {
        return {};
    }
    return SplitRecording(GetRecWavFolder(records->SaveFilePath), channel);
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
        g_PlayWavePath = SplitRecording(recWav, listed);
    }
    cmdWavePlay.Visible = cmdLEWaveOut.Visible = RegularFileExists(g_PlayWavePath);
    cmdRchMemoPlay.Visible = false;

    const CBandLCalcInfo* info = ShownBandInfo();
    const bool hasLE = info != nullptr && info->LEScopes.count() > 0;
    if (hasLE && shown_.measure) {
        const CScope& range = info->LEScopes.Item(1);
        const double rate = shown_.channel->ChMeasureCondition.LevelOutHz;
        lblLEStart.Caption = DateOfPosition(range.S, shown_.measure->StartTime, rate);
        lblLEEnd.Caption = DateOfPosition(range.E, shown_.measure->StartTime, rate);
    } else {
        lblLEStart.Caption = kNoDate;
        lblLEEnd.Caption = kNoDate;
    }
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
