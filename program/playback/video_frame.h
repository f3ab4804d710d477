// FrameAVI: the frame of a window that a video plays in. It gives the video library its host (kinemo.h) and is
// the message target of the host's window, whose procedure the window replaces while it wants the library's
// WM_AVIGRAPHEVENT. The frame exists from the window's load on, as a window's controls do.
//
// Frames are made by the factory set here: the Qt program sets one whose frame is a widget that paints the
// video; by default (tests) a frame without a picture, whose posted messages run when DeliverPending is called.
#pragma once

#include <functional>
#include <memory>

#include "kinemo.h"
#include "window_target.h"

namespace murtesk::platform {
class UiServices;
}

namespace murtesk::playback {

class VideoFrame {
public:
    virtual ~VideoFrame() = default;
    // The host to give OpenAvi; its window is Target().Handle(). Valid for the frame's lifetime.
    virtual const KinemoHost* Host() = 0;
    virtual platform::WindowTarget& Target() = 0;
};

// A frame without a picture: the host has a window and shows the library's messages through the user-interface
// services; nothing is painted.
class PlainVideoFrame final : public VideoFrame {
public:
    explicit PlainVideoFrame(platform::UiServices& ui);
    const KinemoHost* Host() override { return &host_; }
    platform::WindowTarget& Target() override { return target_; }
    // Runs the messages posted to the frame's window.
    std::size_t DeliverPending() { return target_.DeliverPending(); }

private:
    platform::PumpedWindowTarget target_;
    KinemoHost host_{};
};

using VideoFrameFactory = std::function<std::unique_ptr<VideoFrame>(platform::UiServices&)>;
void SetVideoFrameFactory(VideoFrameFactory factory);
std::unique_ptr<VideoFrame> MakeVideoFrame(platform::UiServices& ui);

}  // namespace murtesk::playback
