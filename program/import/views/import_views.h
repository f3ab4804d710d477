// The Qt side of the WAV import: the dialog's view, registered with the Qt services by form name,
// and the status window through which the analysis library reports to it.
#pragma once

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk::import {

void RegisterImportViews(platform::qt::QtUi& ui);

}  // namespace murtesk::import
