// Offscreen smoke test of the video host widget with the real video library: a generated road clip is opened
// in it, paused on a chosen frame, and the widget shows that frame fitted into its top-left corner on black.
// With MURTESK_SCREENSHOT_DIR set the picture is written there as video_host.png.
#include "video_host_widget.h"
#include "qt_test_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "dynamic_library.h"
#include "kinemo.h"
#include "video_clips.h"
#include "scratch_folder.h"

namespace murtesk::platform::qt {
namespace {

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::RunUntil;

std::int32_t FrameNumberIn(const QImage& image, const QRect& rect) {
    const QImage part = image.copy(rect).convertToFormat(QImage::Format_RGB32);
    return samples::readFrameNumber(part.constBits(), static_cast<int>(part.bytesPerLine()), part.width(),
                                    part.height());
}

TEST(VideoHostWidget, PausedClipShowsItsFrameFittedTopLeft) {
    TestApp();
    setenv("MURTESK_AUDIO", "null", 1);
    const test_support::ScratchFolder scratch("host");
    const std::filesystem::path& dir = scratch.path();
    samples::VideoClipOptions clip;
    clip.scene = samples::VideoScene::Road;
    clip.width = 320;
    clip.height = 180;
    clip.seconds = 3.0;
    const std::string path = (dir / "road.avi").string();
    ASSERT_TRUE(samples::writeVideoClip(path, clip));

    DynamicLibrary kinemo("libKinemo.so");
    LibraryFunction<decltype(OpenAvi)> open(kinemo, "OpenAvi", 0);
    LibraryFunction<decltype(SetAviPosition)> setPosition(kinemo, "SetAviPosition", 0);
    LibraryFunction<decltype(SetAviRange)> setRange(kinemo, "SetAviRange", 0);
    LibraryFunction<decltype(AviStart)> start(kinemo, "AviStart", -1);
    LibraryFunction<decltype(AviGraphEvent)> graphEvent(kinemo, "AviGraphEvent", -1);
    LibraryFunction<decltype(CloseAvi)> close(kinemo, "CloseAvi", 0);

    VideoHostWidget widget;
    widget.resize(400, 300);
    int events = 0, ended = 0;
    widget.SetMessageHandler([&](std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
        if (message == WM_AVIGRAPHEVENT) {
            ++events;
            ended += graphEvent() == 1;
        }
        return 0;
    });
    ASSERT_EQ(open(widget.Host(), path.c_str()), 1);
    EXPECT_TRUE(widget.isVisible());  // the player showed its host
    // 320 × 180 in 400 × 300: w = 300 × 320 ÷ 180 = 533 > 400, so 400 × (180 × 400 ÷ 320 = 225) at (0, 0).
    ASSERT_EQ(setPosition(1500), 1);
    ASSERT_TRUE(RunUntil([&] { return FrameNumberIn(widget.Picture(), QRect(0, 0, 400, 225)) == 45; }));
    EXPECT_EQ(widget.PictureRect(), QRect(0, 0, 400, 225));

    QApplication::processEvents();
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(400, 300));
    EXPECT_EQ(FrameNumberIn(shown, QRect(0, 0, 400, 225)), 45);
    for (int y : {226, 260, 299})
        for (int x : {0, 200, 399})
            EXPECT_EQ(shown.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;  // below the picture: black
    if (const QString out = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR"); !out.isEmpty())
        shown.save(out + "/video_host.png");

    // A short range plays to its end: the post reaches the handler on this thread, which rewinds the player.
    ASSERT_EQ(setRange(1500, 1700), 1);
    ASSERT_EQ(start(), 0);
    ASSERT_TRUE(RunUntil([&] { return events > 0; }));
    EXPECT_EQ(ended, 1);
    ASSERT_TRUE(RunUntil([&] { return FrameNumberIn(widget.Picture(), QRect(0, 0, 400, 225)) == 0; }));

    EXPECT_EQ(close(), 1);
    EXPECT_TRUE(widget.Picture().isNull());  // closing erased the picture
}

}  // namespace
}  // namespace murtesk::platform::qt
