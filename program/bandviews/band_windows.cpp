#include "band_windows.h"

#include "frmALevel.h"
#include "frmAllBandL.h"
#include "frmOneBandL.h"

namespace murtesk {

namespace {

template <class Window>
void ShowModalWindow(platform::UiServices& ui) {
    Window window(ui);
    ui.ShowModal(window);
    if (ui.IsLoaded(window)) {
        ui.Unload(window);
    }
}

}  // namespace

void ShowBandResultWindow(platform::UiServices& ui, BandResultWindow window) {
    if (window == BandResultWindow::frmAllBandL) {
        ShowModalWindow<frmAllBandL>(ui);
    } else {
        ShowModalWindow<frmOneBandL>(ui);
    }
}

void InstallBandWindows() {
    g_ShowBandResult = ShowBandResultWindow;
    g_ShowALevel = ShowALevelWindow;
}

}  // namespace murtesk
