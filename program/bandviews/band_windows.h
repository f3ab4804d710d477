// How the calculation screen opens the band result windows: each opening makes a new window,
// shows it modally and drops it when it closes.
#pragma once

#include "globals.h"

namespace murtesk {

void ShowBandResultWindow(platform::UiServices& ui, BandResultWindow window);
// Makes these the openers of g_ShowBandResult and g_ShowALevel.
void InstallBandWindows();

}  // namespace murtesk
