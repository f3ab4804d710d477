#include "playback_views.h"

#include "frmPlayPartOfWave.h"
#include "frmPlayPartOfWaveView.h"
#include "frmPlayWaveArea.h"
#include "frmPlayWaveAreaView.h"

namespace murtesk::playback {

void RegisterPlaybackViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmPlayPartOfWave, frmPlayPartOfWaveView>("frmPlayPartOfWave");
    ui.RegisterView<frmPlayWaveArea, frmPlayWaveAreaView>("frmPlayWaveArea");
}

}  // namespace murtesk::playback
