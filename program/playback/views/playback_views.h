// The Qt views of the playback windows, registered with the Qt services by form name.
#pragma once

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk::playback {

// Registers the views and makes the windows' video frames Qt widgets.
void RegisterPlaybackViews(platform::qt::QtUi& ui);

}  // namespace murtesk::playback
