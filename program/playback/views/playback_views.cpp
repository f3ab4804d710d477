#include "playback_views.h"

#include "frmPlayAVIView.h"
#include "playback/frmPlayAVI.h"
#include "qt_ui.h"
#include "qt_video_frame.h"

namespace murtesk::playback {

void RegisterPlaybackViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmPlayAVI, frmPlayAVIView>("frmPlayAVI");
    UseQtVideoFrames();
}

}  // namespace murtesk::playback
