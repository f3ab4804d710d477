// A window handle whose messages run on the Qt event loop of the thread that made it.
#pragma once

#include "message_window.h"

#include <QObject>

#include <memory>

namespace murtesk::platform::qt {

class QtMessageWindow {
public:
    explicit QtMessageWindow(MessageWindow::Handler handler);
    ~QtMessageWindow();

    MurteskWindow* Handle() { return window_->Handle(); }

private:
    // Declared first so it goes last: queued deliveries die with it, after the window refuses more.
    std::unique_ptr<QObject> context_;
    std::unique_ptr<MessageWindow> window_;
};

}  // namespace murtesk::platform::qt
