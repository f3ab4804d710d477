#include "form_timer.h"

namespace murtesk::platform {

FormTimer::FormTimer(UiServices& ui, int intervalMs, std::function<void()> onTimer)
    : Interval(intervalMs), ui_(ui), onTimer_(std::move(onTimer)) {}

FormTimer::~FormTimer() { SetEnabled(false); }

void FormTimer::SetEnabled(bool enabled) {
    if (enabled == running_) {
        return;
    }
    running_ = enabled;
    if (enabled) {
        id_ = ui_.StartTimer(Interval, false, [this] { onTimer_(); });
    } else {
        ui_.StopTimer(id_);
    }
}

}  // namespace murtesk::platform
