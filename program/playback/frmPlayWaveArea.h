// The second partial playback window: plays from a point of a whole file that the user clicks on the
// file's waveform, drawn as a min-max envelope (the file read as 16-bit samples). Built like
// frmPlayPartOfWave; its only input is g_PlayWavePath, and no command of the program opens it.
#pragma once

#include "PartialPlayback.h"

#include <cstdint>
#include <vector>

namespace murtesk {
class CWavMono16Bit44_1kHz;
}

namespace murtesk::playback {

class frmPlayWaveArea : public PartialPlayback {
public:
    explicit frmPlayWaveArea(platform::UiServices& ui);

    void Form_Load() override;

protected:
    void Activate() override;
    const char* StartFailedText() const override { return "録音準備に失敗しました"; }
};

// One vertical line of the envelope: from the block's largest to its smallest sample.
struct EnvelopeLine {
    std::int32_t x = 0;  // the block's first sample
    std::int16_t max = 0;
    std::int16_t min = 0;
};

// The envelope of the count samples of an open reader: blocks of count / 60 samples (halves to even)
// cut to 88,200 and at least 1, every s-th sample of a block looked at (s = block / 4410, halves to
// even, at least 1), the block's first included. Stops at the first block that delivers nothing.
std::vector<EnvelopeLine> WaveEnvelope(CWavMono16Bit44_1kHz& reader, std::int32_t count);

}  // namespace murtesk::playback
