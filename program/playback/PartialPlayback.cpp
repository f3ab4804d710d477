#include "PartialPlayback.h"

#include "WaveOut.h"
#include "globals.h"

#include "platform/numbers.h"

#include <cstdio>

namespace murtesk::playback {

namespace {

constexpr platform::ControlColor kRed{255, 0, 0};
constexpr platform::ControlColor kBlack{0, 0, 0};

}  // namespace

PartialPlayback::PartialPlayback(platform::UiServices& ui, std::string name)
    : Form(ui, std::move(name)), Timer1(ui, 500, [this] { Timer1_Timer(); }), dummyWindow_(ui.NewWindowTarget()) {
    cmdStart.Caption = "再生";
    cmdPlayX2.Caption = "倍速再生";
    cmdStop.Caption = "停止";
    cmdCancel.Caption = "戻る";
    cmdDummy.Caption = "Dummy";
    cmdDummy.Visible = false;
    Label1.Caption = "0";
}

PartialPlayback::~PartialPlayback() { ReleasePlayer(); }

void PartialPlayback::ReleasePlayer() {
    // The device must not outlive the target it reports to.
    if (ownsPlayer_) {
        StopWaveOut(*dummyWindow_);
        ownsPlayer_ = false;
    }
}

void PartialPlayback::SetDesignTexts(const char* busyText) {
    lblTime.Caption = busyText;
    lblTime.ForeColor = kRed;
}

void PartialPlayback::Form_Load() {
    m_bActivated = false;
    cmdStart.Enabled = false;
    cmdPlayX2.Enabled = false;
    cmdStop.Enabled = false;
    cmdCancel.Enabled = false;
}

void PartialPlayback::Form_Activate() {
    if (m_bActivated) {
        return;
    }
    m_bActivated = true;
    Activate();
}

void PartialPlayback::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    if (mode == platform::UnloadMode::FormControlMenu) {
        cancel = true;
        cmdCancel_Click();
    }
}

void PartialPlayback::Form_Unload(bool&) {
    Timer1.SetEnabled(false);
    ReleasePlayer();
}

std::string PartialPlayback::LengthText(double seconds) {
    const auto whole = static_cast<long long>(platform::RoundHalfToEven(seconds));
    const long long days = whole / 86400;
    const long long rest = whole % 86400;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld時%02lld分%02lld秒", rest / 3600, rest / 60 % 60, rest % 60);
    return days > 0 ? std::to_string(days) + "日 " + text : std::string(text);
}

void PartialPlayback::ShowLength(double seconds) {
    lblTime.ForeColor = kBlack;
    lblTime.Caption = LengthText(seconds);
}

void PartialPlayback::MoveCursor(std::int32_t sample) {
    picWave.InvertLine(m_CursorSample);
    m_CursorSample = sample;
    picWave.InvertLine(m_CursorSample);
}

void PartialPlayback::cmdStart_Click() { Start(false); }
void PartialPlayback::cmdPlayX2_Click() { Start(true); }

void PartialPlayback::Start(bool x2) {
    cmdStart.Enabled = false;
    cmdPlayX2.Enabled = false;
    cmdStop.Enabled = true;
    ui_.Refresh(*this);
    ownsPlayer_ = true;
    if (StartWaveOut(ui_, *dummyWindow_, g_PlayWavePath, m_CursorSample, g_PlayEndSample, x2)) {
        g_bWaveOutStop = false;
        g_bWaveOutError = false;
        m_TimerMode = 0;
        Timer1.SetEnabled(true);
    } else {
        ui_.MsgBox(StartFailedText(), platform::MsgButtons::OK, platform::MsgIcon::Critical);
        StopPlay(2);
    }
}

void PartialPlayback::StopPlay(std::int16_t reason) {
    StopWaveOut(*dummyWindow_);
    ownsPlayer_ = false;
    g_bWaveOutStop = true;
    if (g_bWaveOutError) {
        ui_.MsgBox("データ取り込みに失敗しました！", platform::MsgButtons::OK, platform::MsgIcon::Critical);
        g_bWaveOutError = false;
    }
    m_TimerMode = reason;
    Timer1.SetEnabled(true);
}

void PartialPlayback::cmdStop_Click() { StopPlay(2); }
void PartialPlayback::cmdCancel_Click() { StopPlay(1); }

void PartialPlayback::Timer1_Timer() {
    Timer1.SetEnabled(false);
    switch (m_TimerMode) {
    case 0: RealFFT(); break;
    case 1: ui_.Unload(*this); break;
    case 2:
        cmdStart.Enabled = true;
        cmdPlayX2.Enabled = true;
        cmdStop.Enabled = false;
        break;
    default: break;
    }
}

void PartialPlayback::picWave_MouseUp(int, double x, double) {
    MoveCursor(static_cast<std::int32_t>(platform::RoundHalfToEven(x)));
}

void PartialPlayback::RealFFT() {
    std::int16_t last = g_WaveOutTurn;
    g_bWaveOutError = false;
    g_bWaveOutStop = false;
    for (;;) {
        // The player's completions, the buttons and the clicks run in here.
        ui_.WaitEvents(kLoopWaitMs);
        if (ui_.LoadedForms().empty() || !ui_.IsLoaded(*this) || g_bWaveOutStop) {
            return;
        }
        if (g_bWaveOutError) {
            StopPlay(1);
            return;
        }
        if (g_WaveOutState == 1) {
            StopPlay(2);
            return;
        }
        if (g_WaveOutTurn != last) {
            MoveCursor(static_cast<std::int32_t>(m_CursorSample + platform::RoundHalfToEven(m_SampHz)));
            last = g_WaveOutTurn;
            ui_.Refresh(*this);
        }
    }
}

}  // namespace murtesk::playback
