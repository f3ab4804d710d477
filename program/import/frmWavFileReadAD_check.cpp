// The file check behind "次へ(&N)": every file present and readable, every target of the calibration
// file's format, every calibration channel with a signal; then the template is fitted to the
// recordings and the condition page shown. Nothing of the template changes before every check passed.
#include "frmWavFileReadAD.h"

#include "model/input_checks.h"
#include "platform/numbers.h"
#include "stored_text.h"

#include <algorithm>
#include <cmath>

namespace murtesk::import {

namespace {

constexpr const char* kMissing = "指定ファイルが存在しません。";
constexpr const char* kNeedOneSecond = "\r\n（１秒以上のデータが必要です）";
constexpr const char* kMismatch = "CAL入力Waveファイルと解析対象Waveファイルの形式が一致しません。";
constexpr const char* kPathNotHeld =
    "Waveファイルのパス名に保存できない文字があります。\r\n"
    "測定一覧と読込みファイルの指定には、次のように置き換えた名前が記録されます"
    "（レベルデータは開始日時の名前で保存されるため、そのまま使えます）。";

}  // namespace

void frmWavFileReadAD::SelectOnlyEntry(int index)
{
    for (int i = 0; i < lstWaveFile.ListCount(); ++i) {
        lstWaveFile.SetSelected(i, i == index);
    }
    lstWaveFile.ListIndex = index;
}

void frmWavFileReadAD::ReportInput(const std::string& text)
{
    ui_.MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
}

bool frmWavFileReadAD::CheckFilesPresent()
{
    if (!IsExistingFile(txtCSVPathName.Text)) {
        ReportInput(kMissing);
        SetFocus("txtCSVPathName", true);
        return false;
    }
    if (lstWaveFile.ListCount() == 0) {
        ReportInput("解析対象Waveファイルを指定してください。");
        SetFocus("cmdWaveFiles");
        return false;
    }
    SelectOnlyEntry(-1);
    lstWaveFile.ListIndex = -1;
    for (int i = 0; i < lstWaveFile.ListCount(); ++i) {
        if (!IsExistingFile(lstWaveFile.Items[static_cast<std::size_t>(i)])) {
            ReportInput(kMissing);
            SelectOnlyEntry(i);
            SetFocus("cmdDeleteFile");
            return false;
        }
    }
    return true;
}

// A probe is usable when the library read a second of data and reported a channel count the
// per-channel arrays can hold.
static bool ReadProbe(WavLibrary& library, const std::string& path, WavProbe& probe)
{
    probe = WavProbe{};
    return library.CALReadOfWAV(path, probe) != 0 && probe.channels >= 1 && probe.channels <= kMaxWavChannels;
}

bool frmWavFileReadAD::ReadFormats(std::vector<WavProbe>& probes)
{
    probes.assign(static_cast<std::size_t>(lstWaveFile.ListCount()) + 1, WavProbe{});
    if (!ReadProbe(library_, txtCSVPathName.Text, probes[0])) {
        ReportInput(std::string("CAL入力Waveファイルを読めません。") + kNeedOneSecond);
        SetFocus("txtCSVPathName", true);
        return false;
    }
    for (int i = 0; i < lstWaveFile.ListCount(); ++i) {
        if (!ReadProbe(library_, lstWaveFile.Items[static_cast<std::size_t>(i)], probes[static_cast<std::size_t>(i) + 1])) {
            ReportInput(std::string("解析対象Waveファイルを読めません。") + kNeedOneSecond);
            SelectOnlyEntry(i);
            SetFocus("cmdDeleteFile");
            return false;
        }
    }
    return true;
}

bool frmWavFileReadAD::CheckFormatsAgree(const std::vector<WavProbe>& probes)
{
    const WavProbe& cal = probes[0];
    for (std::size_t f = 1; f < probes.size(); ++f) {
        const WavProbe& p = probes[f];
        const char* what = nullptr;
        if (p.channels != cal.channels) {
            what = "(ch)";
        } else if (p.rate != cal.rate) {
            what = "(Hz)";
        } else if (p.bits != cal.bits) {
            what = "(bit)";
        } else if (p.format != cal.format) {
            what = "(FormatType)";
        }
        if (what != nullptr) {
            ReportInput(std::string(kMismatch) + what);
            SelectOnlyEntry(static_cast<int>(f) - 1);
            SetFocus("cmdDeleteFile");
            return false;
        }
    }
    return true;
}

bool frmWavFileReadAD::CheckCalibrationAmplitude(const WavProbe& cal)
{
    for (int c = 0; c < cal.channels; ++c) {
        const double amplitude = (cal.maxima[c] - cal.minima[c]) / 2.0;
        if (!(amplitude > 0.0)) {
            // The text calls the number zero-based, and so it is.
            ReportInput(platform::FormatNumber(c, "0") + "ch(ゼロ開始)のCAL信号が小さすぎます。");
            SetFocus("txtCSVPathName", true);
            return false;
        }
    }
    return true;
}

void frmWavFileReadAD::FitTemplate(const std::vector<WavProbe>& probes)
{
    const WavProbe& cal = probes[0];
    document_.SetChannelCount(cal.channels);
    for (int k = 1; k <= cal.channels; ++k) {
        const double zeroPlus = -(cal.maxima[k - 1] + cal.minima[k - 1]) / 2.0;
        CChMeasureCondition& condition = document_.ChannelCondition(k);
        condition.ZeroPlus = zeroPlus;
        condition.CAL = condition.ZeroPlus + cal.maxima[k - 1];
    }
    document_.SetInHz(static_cast<double>(probes[1].rate));
    std::string targets;
    for (int i = 0; i < lstWaveFile.ListCount(); ++i) {
        if (i > 0) {
            targets.push_back('\0');
        }
        targets += lstWaveFile.Items[static_cast<std::size_t>(i)];
    }
    document_.SetPaths(targets, txtCSVPathName.Text);
}

void frmWavFileReadAD::TellPathsNotHeld() {
    std::vector<std::string> paths = lstWaveFile.Items;
    paths.push_back(txtCSVPathName.Text);
    std::erase_if(paths, [this](const std::string& path) {
        return std::find(toldPaths_.begin(), toldPaths_.end(), path) != toldPaths_.end();
    });
    platform::TellPathsNotHeld(ui_, kPathNotHeld, paths);
    toldPaths_.insert(toldPaths_.end(), paths.begin(), paths.end());
}

void frmWavFileReadAD::cmdNext_Click()
{
    std::vector<WavProbe> probes;
    if (!CheckFilesPresent() || !ReadFormats(probes) || !CheckFormatsAgree(probes) ||
        !CheckCalibrationAmplitude(probes[0])) {
        return;
    }
    if (probes[0].format == 3 && chkWaveOut.Value) {
        const platform::MsgAnswer answer = ui_.MsgBox(
            "浮動小数点形式の場合、再生可能なのは値が±1以内である必要があります。\r\n"
            "そうでなければ、「全出力」のチェックをはずしてください。\r\n"
            "全出力のまま処理を続けますか？",
            platform::MsgButtons::YesNo, platform::MsgIcon::Question, platform::kProgramTitle, platform::MsgAnswer::No);
        if (answer != platform::MsgAnswer::Yes) {
            SetFocus("chkWaveOut");
            return;
        }
    }
    TellPathsNotHeld();
    FitTemplate(probes);
    ShowConditionPage();

    const WavProbe& first = probes[1];
    lblFs.Caption = platform::FormatNumber(first.rate, "0") + "Hz";
    const char* kind = probes[0].format == 1 ? "bit PCM" : probes[0].format == 3 ? "bit float" : "bit ???";
    lblBit.Caption = platform::FormatNumber(first.bits, "0") + kind;

    cmbCh.Clear();
    const int channels = document_.ChannelCount();
    for (int n = 1; n <= channels; ++n) {
        cmbCh.AddItem(platform::FormatNumber(n, "0") + "ch", n - 1);
    }
    m_ShownCh = -1;
    cmbCh.ListIndex = 0;
    cmbCh_Click();

    const bool several = channels != 1;
    for (platform::CommandButton* b : {&cmdComonBand, &cmdCommonW, &cmdCommonTW, &cmdCommonLevelIntervalMS,
                                       &cmdCommonCAL0p, &cmdCommonCALWave, &cmdCommonLevel, &cmdCommonZeroPlus}) {
        b->Visible = several;
    }
    SetFocus("cmbCh");
}

}  // namespace murtesk::import
