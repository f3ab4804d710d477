// Qt view of the two partial playback windows: the strip across the top (a short one for a span, a tall
// one for a waveform), the two labels below it, and the buttons 再生, 倍速再生, 停止, 戻る in one row.
// Enter presses 再生 and Esc 戻る.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QLabel;
class QPushButton;

namespace murtesk::platform::qt {
class PositionStripWidget;
}

namespace murtesk::playback {

class PartialPlayback;

class PartialPlaybackView : public platform::qt::FormView {
public:
    // stripHeight: the strip's height in pixels.
    PartialPlaybackView(PartialPlayback& form, platform::qt::QtUi& ui, int stripHeight);

    platform::qt::PositionStripWidget* picWave = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblTime = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdPlayX2 = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk::playback
