// The video frame of the Qt program: a VideoHostWidget, made with the form (before its view) and placed into the
// form's window by its view, which gives it back when it goes. Messages posted to the widget's window run on the
// event loop through the frame's window procedure. The widget goes with the frame.
#pragma once

#include <QPointer>

#include "playback/video_frame.h"
#include "video_host_widget.h"

namespace murtesk::playback {

class QtVideoFrame final : public VideoFrame {
public:
    explicit QtVideoFrame(platform::UiServices& ui);
    ~QtVideoFrame() override;

    const KinemoHost* Host() override;
    platform::WindowTarget& Target() override { return target_; }
    // Null once the widget went with a window that did not give it back.
    platform::qt::VideoHostWidget* Widget() const { return widget_; }

private:
    class FrameTarget final : public platform::WindowTarget {
    public:
        MurteskWindow* Handle() override { return handle; }
        std::intptr_t Deliver(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
            return Dispatch(message, wparam, lparam);
        }
        MurteskWindow* handle = nullptr;
    };

    FrameTarget target_;
    QPointer<platform::qt::VideoHostWidget> widget_;
    KinemoHost none_{};  // the host when the widget is gone: no window, no callbacks
};

// Makes every video frame a QtVideoFrame.
void UseQtVideoFrames();

}  // namespace murtesk::playback
