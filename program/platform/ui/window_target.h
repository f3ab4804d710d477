// The message target of a hidden control (a form's cmdDummy): a window handle that a device or a library
// posts to, whose procedure the program replaces while it needs those messages and puts back afterwards.
// Its own procedure ignores every message. Messages run on the thread that made the target (the
// user-interface thread): the implementation of the user-interface services delivers them while it
// lets events through (DoEvents, WaitEvents, its event loop).
#pragma once

#include "message_window.h"

#include <cstdint>
#include <functional>

namespace murtesk::platform {

class WindowTarget {
public:
    using WindowProc = std::function<std::intptr_t(WindowTarget& window, std::uint32_t message, std::uintptr_t wparam,
                                                   std::intptr_t lparam)>;

    WindowTarget();
    WindowTarget(const WindowTarget&) = delete;
    WindowTarget& operator=(const WindowTarget&) = delete;
    virtual ~WindowTarget();

    // The handle to give to a device or library; valid for the target's lifetime.
    virtual MurteskWindow* Handle() = 0;

    const WindowProc& GetWindowProc() const { return proc_; }
    // Replaces the procedure and returns the one it had.
    WindowProc SetWindowProc(WindowProc proc);
    // Runs a procedure (an empty one answers 0).
    static std::intptr_t CallWindowProc(const WindowProc& proc, WindowTarget& window, std::uint32_t message,
                                        std::uintptr_t wparam, std::intptr_t lparam);

protected:
    // Runs the current procedure on a delivered message.
    std::intptr_t Dispatch(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

private:
    WindowProc proc_;
};

// A target on the platform's message window: its messages run when the owner calls DeliverPending.
class PumpedWindowTarget : public WindowTarget {
public:
    PumpedWindowTarget();
    MurteskWindow* Handle() override { return window_.Handle(); }
    std::size_t DeliverPending() { return window_.DeliverPending(); }

private:
    MessageWindow window_;
};

}  // namespace murtesk::platform
