#include "playback/video_frame.h"

#include "ui_services.h"

namespace murtesk::playback {

namespace {

VideoFrameFactory& Factory() {
    static VideoFrameFactory factory;
    return factory;
}

}  // namespace

PlainVideoFrame::PlainVideoFrame(platform::UiServices& ui) {
    host_.window = target_.Handle();
    host_.context = &ui;
    host_.message = [](void* context, const char* text, const char* title) {
        static_cast<platform::UiServices*>(context)->MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::None,
                                                            title);
    };
}

void SetVideoFrameFactory(VideoFrameFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<VideoFrame> MakeVideoFrame(platform::UiServices& ui) {
    if (Factory()) return Factory()(ui);
    return std::make_unique<PlainVideoFrame>(ui);
}

}  // namespace murtesk::playback
