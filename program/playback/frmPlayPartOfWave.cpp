#include "frmPlayPartOfWave.h"

#include "globals.h"
#include "wav_mono.h"

#include "platform/numbers.h"

#include <algorithm>

namespace murtesk::playback {

frmPlayPartOfWave::frmPlayPartOfWave(platform::UiServices& ui) : PartialPlayback(ui, "frmPlayPartOfWave") {
    Caption = "再生 <<再生位置をクリックして再生ボタンを押してください>>";
    SetDesignTexts("データ解析中です。　しばらくお待ちください。");
}

void frmPlayPartOfWave::Activate() {
    platform::BusyPointer busy(ui_);
    CWavMono reader(ui_);
    if (!reader.InitInfo(g_PlayWavePath)) {
        busy.End();
        ui_.Unload(*this);
        return;
    }
    m_SampHz = reader.getSampHz();
    g_PlayStartSample = SampleOfMs(g_PlayStartMs, m_SampHz, reader.getDataNum());
    g_PlayEndSample = SampleOfMs(g_PlayEndMs, m_SampHz, reader.getDataNum());
    if (g_PlayStartSample >= g_PlayEndSample) {
        busy.End();
        ui_.MsgBox("再生範囲が不適切です", platform::MsgButtons::OK, platform::MsgIcon::Critical, "お知らせ");
        ui_.Unload(*this);
        return;
    }
    picWave.Cls();
    picWave.Scale(g_PlayStartSample, 32767, g_PlayEndSample, -32768);
    m_CursorSample = g_PlayStartSample;
    picWave.InvertLine(m_CursorSample);
    cmdStart.Enabled = true;
    cmdCancel.Enabled = true;
    cmdStop.Enabled = false;
    ShowLength((g_PlayEndSample - g_PlayStartSample + 1) / m_SampHz);
}

void ShowPlayPartOfWave(platform::UiServices& ui) {
    frmPlayPartOfWave form(ui);
    ui.ShowModal(form);
    if (ui.IsLoaded(form)) {
        ui.Unload(form);
    }
}

}  // namespace murtesk::playback
