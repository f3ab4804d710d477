#include "frmPlayWaveArea.h"

#include "globals.h"
#include "wav_mono.h"

#include "platform/numbers.h"

#include <algorithm>

namespace murtesk::playback {

std::vector<EnvelopeLine> WaveEnvelope(CWavMono16Bit44_1kHz& reader, std::int32_t count) {
    const auto b = std::max<std::int32_t>(
        1, std::min<std::int32_t>(88200, static_cast<std::int32_t>(platform::RoundHalfToEven(count / 60.0))));
    const auto s = std::max<std::int32_t>(1, static_cast<std::int32_t>(platform::RoundHalfToEven(b / 4410.0)));
    std::vector<EnvelopeLine> lines;
    for (std::int64_t e = 1; e <= count; e += b) {
        std::int32_t n = b;
        const std::vector<std::int16_t> block = reader.getWaveDataArea(static_cast<std::int32_t>(e), n);
        if (n == 0) {
            break;
        }
        EnvelopeLine line{static_cast<std::int32_t>(e), block[0], block[0]};
        for (std::int32_t i = 0; i < n; i += s) {
            line.max = std::max(line.max, block[static_cast<std::size_t>(i)]);
            line.min = std::min(line.min, block[static_cast<std::size_t>(i)]);
        }
        lines.push_back(line);
    }
    return lines;
}

frmPlayWaveArea::frmPlayWaveArea(platform::UiServices& ui) : PartialPlayback(ui, "frmPlayWaveArea") {
    Caption = "部分再生　<<開始位置をクリックして再生ボタンを押して下さい>>";
    SetDesignTexts("データ描画中です。　しばらくお待ちください。");
}

void frmPlayWaveArea::Form_Load() {
    PartialPlayback::Form_Load();
    m_CursorSample = 1;
}

void frmPlayWaveArea::Activate() {
    platform::BusyPointer busy(ui_);
    ui_.DoEvents();
    // The rate of the file's header sets the length and the cursor's step; a file the player cannot
    // play is refused here with the reader's message.
    CWavMono check(ui_);
    if (!check.InitInfo(g_PlayWavePath)) {
        busy.End();
        ui_.Unload(*this);
        return;
    }
    m_SampHz = check.getSampHz();
    CWavMono16Bit44_1kHz reader;
    reader.WaveFilePath = g_PlayWavePath;
    const std::int32_t count = reader.getDataNum();
    g_PlayStartSample = 1;
    g_PlayEndSample = count;
    picWave.Cls();
    picWave.Scale(1, 32767, count, -32768);
    if (!reader.openWaveFile()) {
        busy.End();
        ui_.MsgBox("Waveファイルをオープン出来ませんでした.");
        ui_.Unload(*this);
        return;
    }
    for (const EnvelopeLine& line : WaveEnvelope(reader, count)) {
        picWave.Line(line.x, line.max, line.min, platform::ChartColor{0, 255, 0}, 10);
    }
    reader.closeWaveFile();
    picWave.InvertLine(m_CursorSample);
    cmdStart.Enabled = true;
    cmdPlayX2.Enabled = true;
    cmdCancel.Enabled = true;
    cmdStop.Enabled = false;
    ShowLength(count / m_SampHz);
}

}  // namespace murtesk::playback
