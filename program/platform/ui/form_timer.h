// A form's timer control: while it is enabled, its handler runs every Interval milliseconds on the
// user-interface thread. A handler that must run once disables the timer first.
#pragma once

#include "ui_services.h"

#include <functional>

namespace murtesk::platform {

class FormTimer {
public:
    FormTimer(UiServices& ui, int intervalMs, std::function<void()> onTimer);
    FormTimer(const FormTimer&) = delete;
    FormTimer& operator=(const FormTimer&) = delete;
    ~FormTimer();

    bool Enabled() const { return running_; }
    // Turning it on counts a whole interval from now; turning on a running timer changes nothing.
    void SetEnabled(bool enabled);

    int Interval;

private:
    UiServices& ui_;
    std::function<void()> onTimer_;
    TimerId id_ = 0;
    bool running_ = false;
};

}  // namespace murtesk::platform
