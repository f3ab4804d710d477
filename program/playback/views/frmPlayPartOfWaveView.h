// Qt view of the partial playback window: a strip of 6615 x 495 twips.
#pragma once

#include "PartialPlaybackView.h"

namespace murtesk::playback {

class frmPlayPartOfWaveView : public PartialPlaybackView {
public:
    frmPlayPartOfWaveView(PartialPlayback& form, platform::qt::QtUi& ui) : PartialPlaybackView(form, ui, 33) {}
};

}  // namespace murtesk::playback
