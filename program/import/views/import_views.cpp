#include "import_views.h"

#include "frmWavFileReadAD.h"
#include "frmWavFileReadADView.h"
#include "qt_message_window.h"
#include "qt_ui.h"
#include "status_window.h"

namespace murtesk::import {

namespace {

// Status messages delivered on the Qt event loop: a worker's send waits there until it has run.
class QtStatusWindow : public StatusWindow {
public:
    explicit QtStatusWindow(StatusHandler onStatus) : window_(StatusMessageHandler(std::move(onStatus))) {}
    MurteskWindow* Handle() override { return window_.Handle(); }

private:
    platform::qt::QtMessageWindow window_;
};

}  // namespace

void RegisterImportViews(platform::qt::QtUi& ui) {
    // A status is an event like the user's: the views show what its handling changed.
    SetStatusWindowFactory([&ui](StatusHandler onStatus) {
        return std::make_unique<QtStatusWindow>([&ui, onStatus = std::move(onStatus)](std::int32_t status) {
            onStatus(status);
            ui.RefreshAll();
        });
    });
    ui.RegisterView<frmWavFileReadAD, frmWavFileReadADView>("frmWavFileReadAD");
}

}  // namespace murtesk::import
