#include "status_window.h"

#include <utility>

namespace murtesk::import {

namespace {

class PlainStatusWindow : public StatusWindow {
public:
    explicit PlainStatusWindow(StatusHandler onStatus) : window_(StatusMessageHandler(std::move(onStatus))) {}
    MurteskWindow* Handle() override { return window_.Handle(); }

private:
    platform::MessageWindow window_;
};

StatusWindowFactory& Factory()
{
    static StatusWindowFactory factory;
    return factory;
}

}  // namespace

platform::MessageWindow::Handler StatusMessageHandler(StatusHandler onStatus)
{
    return [onStatus = std::move(onStatus)](std::uint32_t message, std::uintptr_t, std::intptr_t lparam) -> std::intptr_t {
        if (message == WM_WAVSTATUS) {
            onStatus(static_cast<std::int32_t>(lparam));
        }
        return 0;
    };
}

void SetStatusWindowFactory(StatusWindowFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<StatusWindow> MakeStatusWindow(StatusHandler onStatus)
{
    if (Factory()) {
        return Factory()(std::move(onStatus));
    }
    return std::make_unique<PlainStatusWindow>(std::move(onStatus));
}

}  // namespace murtesk::import
