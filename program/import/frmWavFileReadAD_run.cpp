// The import run: each target file in turn, each file in groups of up to eight channels through the
// analysis library; the worker's statuses arrive one by one in MessageGet on the user-interface
// thread, and the end of one group sets up and starts the next. Each file becomes one measurement.
//
// The run is in one phase at a time (idle, analysing, splitting, stopping), and what a status does
// depends on the phase and the status alone. Every worker ends with one final status, handled once:
// a status that arrives while another is being handled (a message box runs the event loop) waits its
// turn and is dropped when another worker has started meanwhile; after the run, statuses do nothing.
#include "frmWavFileReadAD.h"

#include "band_frequency.h"
#include "file_times.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <cmath>

namespace murtesk::import {

namespace {

constexpr int kGroupSize = 8;
constexpr const char* kStartCaption = "測定開始(&M)";
constexpr const char* kSorryTitle = "お詫び";
constexpr const char* kNoticeTitle = "お知らせ";
// A measurement is kept only with every band's statistics: one without them would show and store
// wrong figures.
constexpr const char* kStatisticsNotStored = "統計データの保存に失敗しました.測定を停止します.";

std::string Num(double value) { return platform::FormatNumber(value, "0"); }

// The whole part of x / 10, times 10.
double FixToTen(double x) { return std::trunc(x / 10.0) * 10.0; }

}  // namespace

void frmWavFileReadAD::SetPhase(RunPhase phase)
{
    phase_ = phase;
    const bool running = phase != RunPhase::Idle;
    const bool stops = phase == RunPhase::Analysing || phase == RunPhase::Splitting;
    cmdStartIcon = stops ? kStopIcon : kStartIcon;
    cmdStart.Caption = stops ? "測定停止(&C)" : kStartCaption;
    cmdStart.ToolTipText = stops ? "測定停止" : "測定開始";
    cmdStart.Enabled = phase != RunPhase::Stopping;
    for (platform::ControlState* c :
         std::initializer_list<platform::ControlState*>{&cmbCh, &cmbOct1or3, &cmbStartBand, &cmbW, &cmbTimeWeighting,
                                                        &cmbLevelIntervalMS, &txtCAL0p, &cmbCALWavePattern, &txtCalLevel,
                                                        &txtZeroPlus, &cmdBack, &cmdCancel[1], &cmdComonBand, &cmdCommonW,
                                                        &cmdCommonTW, &cmdCommonLevelIntervalMS, &cmdCommonCAL0p,
                                                        &cmdCommonCALWave, &cmdCommonLevel, &cmdCommonZeroPlus}) {
        c->Enabled = !running;
    }
    // The end band stays off while no band analysis is chosen.
    cmbEndBand.Enabled = !running && cmbStartBand.SelectedData(1) != 0;
}

bool frmWavFileReadAD::CheckEveryChannel()
{
    for (int k = 1; k <= document_.ChannelCount(); ++k) {
        const CChMeasureCondition& c = document_.ChannelCondition(k);
        const int kind = c.oct1or3;
        const bool bandsInOrder = GetBandCenterHz(kind, GetBandNoOfHz(kind, c.EndHz)) >=
                                  GetBandCenterHz(kind, GetBandNoOfHz(kind, c.StartHz));
        const bool ok = c.CAL > 0.0 && c.LVL >= -20.0 && c.LVL <= 170.0 && std::isfinite(c.ZeroPlus) && bandsInOrder;
        if (ok) {
            continue;
        }
        // Show the channel, and let the store checks tell the user what to correct.
        cmbCh.ListIndex = k - 1;
        ShowChCondition(k - 1);
        m_ShownCh = static_cast<std::int16_t>(k - 1);
        if (!SaveChCondition(k - 1)) {
            return false;
        }
    }
    return true;
}

void frmWavFileReadAD::cmdStart_Click()
{
    switch (phase_) {
    case RunPhase::Analysing:
    case RunPhase::Splitting:
        // Stop: the worker answers with its final status, which ends the run.
        runEnd_ = RunEnd::Stopped;
        SetPhase(RunPhase::Stopping);
        library_.DoStopOfWAV();
        return;
    case RunPhase::Stopping:
        return;  // the button is off until the worker has ended
    case RunPhase::Idle:
        break;
    }
    if (!SaveChCondition(cmbCh.ListIndex) || !CheckEveryChannel()) {
        return;
    }
    if (lstWaveFile.ListCount() == 0 || document_.ChannelCount() == 0) {
        return;
    }
    m_FileNo = 1;
    m_GroupNo = 1;
    runEnd_ = RunEnd::Complete;
    m_GroupCount = static_cast<std::int16_t>((document_.ChannelCount() + kGroupSize - 1) / kGroupSize);
    pendingStatuses_.clear();
    if (!StartWaveRead()) {
        EndWaveRead();
    }
}

std::string frmWavFileReadAD::LevelFileStem() const
{
    return platform::FormatFileNameDate(m_ReadMeasure->StartTime()) + "_" + Num(m_FileNo) + "_" +
           platform::FormatCompactDate(m_RunDate);
}

bool frmWavFileReadAD::Fail(const std::string& text)
{
    runEnd_ = RunEnd::Failed;
    ui_.MsgBox(text);
    m_ReadMeasure.reset();
    return false;
}

bool frmWavFileReadAD::StartWaveRead()
{
    const std::string path = lstWaveFile.Items[static_cast<std::size_t>(m_FileNo - 1)];
    if (m_GroupNo == 1) {
        m_ReadMeasure = document_.NewMeasureFromTemplate();
        m_RunDate = ui_.Now();
        const FileTimes times = ReadFileTimes(path);
        fileModified_ = times.modified;
        fileSeconds_.reset();
        keptSeconds_.reset();
        WavProbe probe;
        if (library_.CALReadOfWAV(path, probe) != 0 && probe.rate > 0) {
            const double seconds = platform::RoundHalfToEven(static_cast<double>(probe.frames) / probe.rate);
            fileSeconds_ = seconds;
            m_ReadMeasure->SetStartTime(platform::AddSeconds(times.modified, -seconds));
        } else {
            m_ReadMeasure->SetStartTime(times.created);
        }
    }
    ImportMeasure& measure = *m_ReadMeasure;
    const int channels = measure.ChannelCount();

    std::vector<double> values(static_cast<std::size_t>(std::max(channels, 45)), 0.0);
    for (int c = 0; c < channels; ++c) {
        values[static_cast<std::size_t>(c)] = measure.ChannelCondition(c + 1).ZeroPlus;
    }
    const double inHz = measure.InHz();
    std::int32_t samplesPerBlock = 0;
    if (!platform::RoundToInt32(inHz, samplesPerBlock) ||
        library_.ReadPreOfWAV(channels, inHz, samplesPerBlock, values.data()) == 0) {
        return Fail("準備失敗");
    }
    measure.ChannelCondition(1).Account = path + "\r\n更新日時:" + platform::FormatDisplayDate(fileModified_) +
                                          "\r\n作成日時:" + platform::FormatDisplayDate(measure.StartTime());

    const int first = (m_GroupNo - 1) * kGroupSize;
    const int last = std::min(first + kGroupSize, channels) - 1;
    MurteskWindow* window = StatusWindowHandle();
    for (int c = 0; c < channels; ++c) {
        CChMeasureCondition& condition = measure.ChannelCondition(c + 1);
        const std::int32_t w = condition.w > 4 ? -1 : condition.w;
        if (c < first || c > last) {
            library_.SetCalcConditionOfWAV(c, window, w, -1, condition.CR, condition.LevelOutHz, values.data(),
                                           condition.LVL, condition.getCALrms(), 0.0, 0.0);
            continue;
        }
        const std::string name = LevelFileStem() + "_" + Num(c) + "ch.lvl";
        const int kind = condition.oct1or3;
        const int slotCount = SlotCount(BandListMode(static_cast<std::int16_t>(kind)));
        for (int i = 1; i <= slotCount - 2; ++i) {
            values[static_cast<std::size_t>(i - 1)] = document_.MeasureRevise(kind, i);
        }
        measure.PrepareChannel(c + 1, name, slotCount);
        const double low = GetBandLowerHz(kind, condition.StartHz);
        const double high = low > 0.0 ? GetBandUpperHz(kind, condition.EndHz) : 0.0;
        if (library_.SetCalcConditionOfWAV(c, window, w, kind, condition.CR, condition.LevelOutHz, values.data(),
                                           condition.LVL, condition.getCALrms(), low, high) == 0) {
            return Fail("準備失敗");
        }
        for (int s = 1; s <= slotCount; ++s) {
            if (library_.SetFileOutPathOfWAV(c, s - 1, document_.BandFolder(kind, s) + "/" + name) == 0) {
                return Fail("準備失敗");
            }
        }
    }
    ++workerSerial_;
    if (library_.ReadStartOfWAV(path) == 0) {
        return Fail("開始失敗");
    }
    splitCause_.reset();
    SetPhase(RunPhase::Analysing);
    return true;
}

void frmWavFileReadAD::MessageGet(std::int32_t status)
{
    if (status == WAVSTATUS_POLL) {
        status = library_.GethStatusOfWAV();
    }
    if (handling_) {
        pendingStatuses_.emplace_back(status, workerSerial_);
        return;
    }
    handling_ = true;
    HandleStatus(status);
    while (!pendingStatuses_.empty()) {
        const auto [next, serial] = pendingStatuses_.front();
        pendingStatuses_.pop_front();
        // A status of a worker that has been followed by another belongs to a finished worker.
        if (serial == workerSerial_) {
            HandleStatus(next);
        }
    }
    handling_ = false;
}

void frmWavFileReadAD::ShowProgress()
{
    const std::int32_t seconds = library_.GetFileOutOrderOfWAV((m_GroupNo - 1) * kGroupSize);
    ShowState(Num(m_FileNo) + "/" + Num(lstWaveFile.ListCount()) + "番目Waveファイル  (8ch分割:" + Num(m_GroupNo) +
              "/" + Num(m_GroupCount) + ") " + Num(seconds) + "秒データ処理完了");
}

// The run's progress line, shown at once: statuses come while the user does nothing.
void frmWavFileReadAD::ShowState(const std::string& text) {
    if (lblSate.Caption != text) {
        lblSate.Caption = text;
        ui_.Refresh(*this);
    }
}

void frmWavFileReadAD::HandleStatus(std::int32_t status)
{
    if (phase_ == RunPhase::Idle) {
        return;  // no run: nothing is waiting for a status
    }
    switch (status) {
    case WAVSTATUS_PROGRESS:
        ShowProgress();
        return;
    case WAVSTATUS_READ_ERROR:
        m_ReadMeasure.reset();
        EndWithMessage("異常が発生した為、測定を停止します.", platform::MsgIcon::Critical, kSorryTitle);
        return;
    case WAVSTATUS_NO_DATA:
        m_ReadMeasure.reset();
        EndWithMessage("データ件数が足りません.", platform::MsgIcon::Information, kNoticeTitle);
        return;
    case WAVSTATUS_STOPPED:
    case WAVSTATUS_CANCELLED:
        // A worker ends so only on a stop: the run is one that was stopped, whoever asked.
        if (runEnd_ == RunEnd::Complete) {
            runEnd_ = RunEnd::Stopped;
        }
        break;
    case WAVSTATUS_CALC_END:
    case WAVSTATUS_SPLIT_END:
    case WAVSTATUS_OVERRUN:
        break;  // the end of a group's worker: below, by phase
    default: ShowState(std::to_string(status)); return;
    }
    switch (phase_) {
    case RunPhase::Analysing:
        if (!StartSplit(status)) {
            EndGroup(status, true);
        }
        return;
    case RunPhase::Splitting:
        EndGroup(SplitEnded(status), true);
        return;
    case RunPhase::Stopping:
        // The stopped worker may be the analysis (whose last group still splits) or the split.
        if (splitCause_) {
            EndGroup(SplitEnded(status), false);
        } else if (!StartSplit(status)) {
            EndGroup(status, false);
        }
        return;
    case RunPhase::Idle:
        return;
    }
}

// When the analysis of a file's last group has ended and the split into mono files is wanted, starts
// it; true while it runs (its end completes the group). A split that cannot start turns the status
// into a failure.
bool frmWavFileReadAD::StartSplit(std::int32_t& status)
{
    if (!m_ReadMeasure || m_GroupNo != m_GroupCount || status == WAVSTATUS_SPLIT_END) {
        return false;
    }
    const std::string path = lstWaveFile.Items[static_cast<std::size_t>(m_FileNo - 1)];
    m_ReadMeasure->SetAccount(path);
    if (!chkWaveOut.Value) {
        return false;
    }
    ShowState(Num(m_FileNo) + "/" + Num(lstWaveFile.ListCount()) + "番目Waveファイル モノラル分離中");
    const std::string name = "ALL" + LevelFileStem() + ".Wav";
    ++workerSerial_;
    if (library_.StartSeparateChWaveFile(StatusWindowHandle(), path, name, document_.RecWavFolder() + "/") != 0) {
        splitCause_ = status == WAVSTATUS_CALC_END ? WAVSTATUS_SPLIT_END : status;
        if (phase_ == RunPhase::Analysing) {
            SetPhase(RunPhase::Splitting);
        }
        return true;
    }
    ui_.MsgBox("全録音対応処理が失敗しました。", platform::MsgButtons::OK, platform::MsgIcon::Information, kNoticeTitle);
    status = WAVSTATUS_READ_ERROR;
    return false;
}

// The status the group ends with once its split has ended: a stop or an overrun that came before the
// split still counts.
std::int32_t frmWavFileReadAD::SplitEnded(std::int32_t status)
{
    const std::int32_t cause = splitCause_.value_or(WAVSTATUS_SPLIT_END);
    splitCause_.reset();
    return status == WAVSTATUS_SPLIT_END ? cause : status;
}

// The end of a group: its records, and the measurement into the document after its last group (a
// failure turns the status into a stop); then the next group or file when `goOn` and the group ended
// normally, else the end of the run with the status's message.
void frmWavFileReadAD::EndGroup(std::int32_t status, bool goOn)
{
    if (m_ReadMeasure) {
        bool built = false;
        {
            platform::BusyPointer busy(ui_);
            built = BuildGroupRecords(busy);
        }
        if (!built) {
            status = WAVSTATUS_STOPPED;
        }
    }
    switch (status) {
    case WAVSTATUS_OVERRUN:
        EndWithMessage("計算処理速度がデータ取り込み速度に追いつかなかった為、測定を停止します.", platform::MsgIcon::Critical,
                       kSorryTitle);
        return;
    case WAVSTATUS_READ_ERROR:
        EndWithMessage("異常が発生した為、測定を停止します.", platform::MsgIcon::Critical, kSorryTitle);
        return;
    case WAVSTATUS_CALC_END:
    case WAVSTATUS_SPLIT_END:
        if (goOn) {
            Advance();
        } else {
            EndWaveRead();  // a stop asked for during the last group ends the run after the split
        }
        return;
    default:
        EndWaveRead();
        return;
    }
}

void frmWavFileReadAD::EndWithMessage(const char* text, platform::MsgIcon icon, const char* title)
{
    runEnd_ = RunEnd::Failed;
    ui_.MsgBox(text, platform::MsgButtons::OK, icon, title);
    EndWaveRead();
}

bool frmWavFileReadAD::GroupFailure(platform::BusyPointer& busy, const char* text)
{
    runEnd_ = RunEnd::Failed;
    m_ReadMeasure.reset();
    busy.End();
    ui_.MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::Critical, kSorryTitle);
    return false;
}

bool frmWavFileReadAD::BuildGroupRecords(platform::BusyPointer& busy)
{
    ImportMeasure& measure = *m_ReadMeasure;
    const int channels = measure.ChannelCount();
    const int first = (m_GroupNo - 1) * kGroupSize + 1;
    const int last = std::min(m_GroupNo * kGroupSize, channels);
    for (int i = first; i <= last; ++i) {
        CChMeasureCondition& condition = measure.ChannelCondition(i);
        condition.BandIndex = 2;
        if (i == first) {
            const std::int64_t n = measure.LevelCount(i, document_.FlatBandFolder());
            const double seconds = platform::RoundHalfToEven(static_cast<double>(n) / condition.LevelOutHz);
            measure.SetEndTime(platform::AddSeconds(measure.StartTime(), seconds));
            measureSeconds_ = seconds;
        }
        const double lvl = document_.ChannelCount() >= i ? document_.ChannelCondition(i).LVL : condition.LVL;
        measure.SetCalcXYAxis(i, measure.StartTime(), platform::AddSeconds(measure.StartTime(), 60.0),
                              FixToTen(lvl) - 40.0, FixToTen(lvl) + 10.0);
        const int kind = condition.oct1or3;
        const int slotCount = SlotCount(BandListMode(static_cast<std::int16_t>(kind)));
        for (int s = 1; s <= slotCount; ++s) {
            const std::string folder = document_.BandFolder(kind, s);
            const std::int64_t n = measure.LevelCount(i, folder);
            if (n < 1) {
                return GroupFailure(busy, "生成レベルデータ数ゼロ件エラーの為、測定を停止します.");
            }
            if (!measure.ComputeBandStatistics(i, s, n, folder)) {
                return GroupFailure(busy, kStatisticsNotStored);
            }
        }
        if (condition.w >= 6 && !BuildUserCharacteristic(i, slotCount, busy)) {
            return false;
        }
    }
    if (channels == 1) {
        CChMeasureCondition placeholder;
        document_.ChannelCondition1().MeMove(placeholder);
        placeholder.oct1or3 = 0;
        placeholder.WaveFileOut.OkFlg = 0;
        measure.AddChannel(placeholder);
    }
    if (m_GroupNo == m_GroupCount) {
        document_.AddMeasure(std::move(m_ReadMeasure));
        keptSeconds_ = measureSeconds_;
    }
    return true;
}

// Replaces channel i's "W" series by the power sum of its bands, each corrected and limited by the
// user characteristic, and computes the slot's statistics again.
bool frmWavFileReadAD::BuildUserCharacteristic(int i, int slotCount, platform::BusyPointer& busy)
{
    ImportMeasure& measure = *m_ReadMeasure;
    const CChMeasureCondition& condition = measure.ChannelCondition(i);
    const int number = condition.w - 5;
    const int kind = condition.oct1or3;
    ShowState(Num(m_FileNo) + "/" + Num(lstWaveFile.ListCount()) + "番目Waveファイル " + Num(i) +
              "Ch オリジナル補正特性データ計算中");

    const std::string wFolder = document_.BandFolder(kind, 2);
    const std::int64_t n = measure.LevelCount(i, wFolder);
    std::vector<float> sum(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)), -100.0f);
    std::vector<float> band;
    for (int s = 3; s <= slotCount; ++s) {
        double revise = 0.0;
        double ceiling = 0.0;
        if (!document_.UserCorrection(number, kind, s - 2, revise, ceiling) || revise <= -100.0) {
            continue;
        }
        if (!measure.ReadLevels(i, document_.BandFolder(kind, s), band) || band.size() != sum.size()) {
            return GroupFailure(busy, "生成バンドレベルデータ個数不一致エラーの為、測定を停止します.");
        }
        for (std::size_t j = 0; j < sum.size(); ++j) {
            const double v = std::min(static_cast<double>(band[j]) + revise, ceiling);
            const double power = std::pow(10.0, sum[j] / 10.0) + std::pow(10.0, v / 10.0);
            sum[j] = power > 0.0 ? static_cast<float>(10.0 * std::log10(power)) : -100.0f;
        }
    }
    for (float& v : sum) {
        v = std::clamp(v, -60.0f, 170.0f);
    }
    if (!measure.WriteLevels(i, wFolder, sum)) {
        return GroupFailure(busy, "オリジナル補正特性レベルデータの保存に失敗しました.測定を停止します.");
    }
    if (!measure.ComputeBandStatistics(i, 2, n, wFolder)) {
        return GroupFailure(busy, kStatisticsNotStored);
    }
    return true;
}

void frmWavFileReadAD::Advance()
{
    if (m_GroupNo < m_GroupCount) {
        ++m_GroupNo;
    } else if (m_FileNo >= lstWaveFile.ListCount()) {
        EndWaveRead();
        return;
    } else {
        m_GroupNo = 1;
        ++m_FileNo;
    }
    if (!StartWaveRead()) {
        EndWaveRead();
    }
}

std::string frmWavFileReadAD::EndText() const {
    if (runEnd_ == RunEnd::Complete) {
        return "終了しました.";
    }
    std::string text = runEnd_ == RunEnd::Stopped ? "測定を停止しました." : "測定を中止しました.";
    if (m_FileNo < 1 || m_FileNo > lstWaveFile.ListCount()) {
        return text;
    }
    text += "\r\n" + Num(m_FileNo) + "/" + Num(lstWaveFile.ListCount()) + "番目Waveファイル " +
            GetFileName(lstWaveFile.Items[static_cast<std::size_t>(m_FileNo - 1)]) + " は";
    if (!keptSeconds_) {
        return text + "取り込んでいません.";
    }
    if (fileSeconds_) {
        text += " " + Num(*fileSeconds_) + "秒のうち";
    }
    return text + " " + Num(*keptSeconds_) + "秒分を取り込みました.";
}

void frmWavFileReadAD::EndWaveRead()
{
    splitCause_.reset();
    SetPhase(RunPhase::Idle);
    const platform::MsgIcon icon =
        runEnd_ == RunEnd::Failed ? platform::MsgIcon::Exclamation : platform::MsgIcon::Information;
    ui_.MsgBox(EndText(), platform::MsgButtons::OK, icon, platform::kProgramTitle);
    m_ReadMeasure.reset();
    m_bDialogOk = true;
    ui_.Unload(*this);
}

}  // namespace murtesk::import
