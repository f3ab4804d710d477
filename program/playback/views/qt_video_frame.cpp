#include "qt_video_frame.h"

namespace murtesk::playback {

QtVideoFrame::QtVideoFrame(platform::UiServices& ui) : widget_(new platform::qt::VideoHostWidget(&ui)) {
    widget_->SetShownByForm(true);
    target_.handle = widget_->Host()->window;
    widget_->SetMessageHandler([this](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
        return target_.Deliver(message, wparam, lparam);
    });
}

QtVideoFrame::~QtVideoFrame() {
    if (widget_) {
        widget_->SetMessageHandler({});
        // Later: the frame may go inside an event of the window that holds the widget.
        widget_->deleteLater();
    }
}

const KinemoHost* QtVideoFrame::Host() { return widget_ ? widget_->Host() : &none_; }

void UseQtVideoFrames() {
    SetVideoFrameFactory([](platform::UiServices& ui) { return std::make_unique<QtVideoFrame>(ui); });
}

}  // namespace murtesk::playback
