// Qt view of the second partial playback window: a waveform of 6615 x 3015 twips.
#pragma once

#include "PartialPlaybackView.h"

namespace murtesk::playback {

class frmPlayWaveAreaView : public PartialPlaybackView {
public:
    frmPlayWaveAreaView(PartialPlayback& form, platform::qt::QtUi& ui) : PartialPlaybackView(form, ui, 201) {}
};

}  // namespace murtesk::playback
