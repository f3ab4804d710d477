// The hidden window the analysis library reports its status to. Each WM_WAVSTATUS runs the handler
// on the user-interface thread with the status, while a worker that sent it waits.
#pragma once

#include "message_window.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace murtesk::import {

class StatusWindow {
public:
    virtual ~StatusWindow() = default;
    virtual MurteskWindow* Handle() = 0;
};

using StatusHandler = std::function<void(std::int32_t status)>;
using StatusWindowFactory = std::function<std::unique_ptr<StatusWindow>(StatusHandler)>;

// The handler of a window's messages that passes WM_WAVSTATUS on and ignores the rest.
platform::MessageWindow::Handler StatusMessageHandler(StatusHandler onStatus);

// Windows are made by the factory set here: by default on the platform's message window, whose
// messages from other threads wait for DeliverPending on the owner thread; the Qt program sets one
// that runs them on its event loop.
void SetStatusWindowFactory(StatusWindowFactory factory);
std::unique_ptr<StatusWindow> MakeStatusWindow(StatusHandler onStatus);

}  // namespace murtesk::import
