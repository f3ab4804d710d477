#include "playback_views.h"

#include "frmPlayAVIView.h"
#include "frmPlayPartOfWave.h"
#include "frmPlayPartOfWaveView.h"
#include "frmPlayWaveArea.h"
#include "frmPlayWaveAreaView.h"
#include "playback/frmPlayAVI.h"
#include "qt_ui.h"
#include "qt_video_frame.h"

namespace murtesk::playback {

void RegisterPlaybackViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmPlayAVI, frmPlayAVIView>("frmPlayAVI");
    ui.RegisterView<frmPlayPartOfWave, frmPlayPartOfWaveView>("frmPlayPartOfWave");
    ui.RegisterView<frmPlayWaveArea, frmPlayWaveAreaView>("frmPlayWaveArea");
    UseQtVideoFrames();
}

}  // namespace murtesk::playback
