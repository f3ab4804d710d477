#include "window_target.h"

#include <utility>

namespace murtesk::platform {

WindowTarget::WindowTarget()
    : proc_([](WindowTarget&, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; }) {}

WindowTarget::~WindowTarget() = default;

WindowTarget::WindowProc WindowTarget::SetWindowProc(WindowProc proc) { return std::exchange(proc_, std::move(proc)); }

std::intptr_t WindowTarget::CallWindowProc(const WindowProc& proc, WindowTarget& window, std::uint32_t message,
                                           std::uintptr_t wparam, std::intptr_t lparam) {
    return proc ? proc(window, message, wparam, lparam) : 0;
}

std::intptr_t WindowTarget::Dispatch(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    // A copy: the procedure may put another in its place while it runs.
    const WindowProc proc = proc_;
    return CallWindowProc(proc, *this, message, wparam, lparam);
}

PumpedWindowTarget::PumpedWindowTarget()
    : window_([this](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
          return Dispatch(message, wparam, lparam);
      }) {}

}  // namespace murtesk::platform
