// The partial playback window: plays the span of the play record (a range marked on the calculation
// screen) of one channel's split recording at normal or double speed, with the playing position as a
// cursor on a strip that stands for the span. A click on the strip chooses where the next playback
// begins. Shown modally by the calculation screen with the play record filled; it turns the record's
// times into samples (g_PlayStartSample, g_PlayEndSample) on activation.
#pragma once

#include "PartialPlayback.h"

#include <cstdint>

namespace murtesk::playback {

class frmPlayPartOfWave : public PartialPlayback {
public:
    explicit frmPlayPartOfWave(platform::UiServices& ui);

protected:
    void Activate() override;
    const char* StartFailedText() const override { return "再生準備に失敗しました"; }
};

// Shows the window modally over the play record (the calculation screen's playback commands).
void ShowPlayPartOfWave(platform::UiServices& ui);

}  // namespace murtesk::playback
