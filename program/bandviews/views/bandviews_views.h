// The Qt views of the band result windows.
#pragma once

#include "qt_ui.h"

namespace murtesk {

void RegisterBandViews(platform::qt::QtUi& ui);

}  // namespace murtesk
