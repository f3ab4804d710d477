// Offscreen smoke test of the video observation window through its Qt view and the real video library: a
// generated road clip plays in the frame, is stopped by the button, counted by a key and a click on a kind label,
// and sought by the slider. With MURTESK_SCREENSHOT_DIR set the window is written there as play_avi.png.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "frmPlayAVIView.h"
#include "qt_test_app.h"
#include "globals.h"
#include "platform/dates.h"
#include "playback/frmPlayAVI.h"
#include "kinemo_binding.h"
#include "playback_views.h"
#include "qt_ui.h"
#include "side_file_bytes.h"
#include "video_clips.h"
#include "video_host_widget.h"

namespace murtesk::playback {
namespace {

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::SavePicture;
using ::murtesk::platform::qt::testing::RunUntil;

// Notes whether a widget was ever disabled while it is watched (since it was shown, for one disabled then).
class EnabledWatch : public QObject {
public:
    explicit EnabledWatch(QWidget& widget) : widget_(&widget), sawDisabled_(!widget.isEnabled()) {
        widget.installEventFilter(this);
    }
    ~EnabledWatch() override {
        if (widget_) widget_->removeEventFilter(this);
    }
    bool sawDisabled() const { return sawDisabled_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && widget_ && !widget_->isEnabled()) sawDisabled_ = true;
        return false;
    }

private:
    QPointer<QWidget> widget_;  // the window's widgets may go first
    bool sawDisabled_;
};

std::int32_t FrameNumber(const platform::qt::VideoHostWidget& frame) {
    const QImage picture = frame.Picture();
    if (picture.isNull()) return -1;
    return samples::readFrameNumber(picture.constBits(), static_cast<int>(picture.bytesPerLine()), picture.width(),
                                    picture.height());
}

TEST(PlayAviView, PlaysStopsCountsAndSeeksInTheRealWindow) {
    TestApp();
    setenv("MURTESK_AUDIO", "null", 1);
    testing::Scratch dir;
    samples::VideoClipOptions clip;
    clip.scene = samples::VideoScene::Road;
    clip.width = 320;
    clip.height = 180;
    clip.seconds = 3.0;
    g_VideoPath = dir.file("24-5-1-9_30_0.avi");
    ASSERT_TRUE(samples::writeVideoClip(g_VideoPath, clip));
    g_VideoStartTime = platform::DateFromParts(2024, 5, 1, 9, 30, 0);
    g_VideoStartMs = g_VideoEndMs = 0;

    platform::qt::QtUi ui;
    RegisterPlaybackViews(ui);
    KinemoLibrary kinemo;
    frmPlayAVI form(ui, kinemo);
    ui.Show(form);
    auto* view = dynamic_cast<frmPlayAVIView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    view->Widget()->resize(900, 760);
    QApplication::setActiveWindow(view->Widget());
    auto* frame = dynamic_cast<platform::qt::VideoHostWidget*>(view->Control("FrameAVI"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(form.Timer1);
    ASSERT_TRUE(RunUntil([&] { return FrameNumber(*frame) >= 20; }));  // it plays
    EXPECT_EQ(frame->PictureRect().topLeft(), QPoint(0, 0));

    qobject_cast<QPushButton*>(view->Control("cmdStop0"))->click();
    EXPECT_FALSE(form.Timer1);
    auto* slider = qobject_cast<QSlider*>(view->Control("Slider1"));
    ASSERT_TRUE(slider->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), slider);
    QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    QApplication::sendEvent(slider, &one);
    QWidget* large = view->Control("lblCarKind4");
    const QPointF inside(4, 4);
    QMouseEvent press(QEvent::MouseButtonPress, inside, inside, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, inside, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(large, &press);
    QApplication::sendEvent(large, &release);
    EXPECT_EQ(form.m_CarCounts.count(), 2);
    EXPECT_EQ(qobject_cast<QLabel*>(view->Control("lblCarNum3"))->text(), QStringLiteral("2"));

    slider->triggerAction(QAbstractSlider::SliderToMinimum);
    slider->setSliderPosition(15);  // 1.5 s: frame 45
    ASSERT_TRUE(RunUntil([&] { return FrameNumber(*frame) == 45; }));
    EXPECT_EQ(qobject_cast<QLabel*>(view->Control("lblTime"))->text(), QStringLiteral("2024/05/01 09:30'02 (2Sec)"));
    SavePicture(*view->Widget(), "play_avi.png");

    ui.Unload(form);
    EXPECT_EQ(form.FrameAVI, nullptr);
    // The frame's widget goes later, while the window's view still watches its events (as after OK).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ui.DestroyAllViews();
    g_VideoPath.clear();
    g_VideoStartTime = 0;
}

// The end of the span comes as the player's posted message: the window shows at once that playing stopped
// (slider at the start, the start's time, 再生開始 enabled), with no user event after it.
TEST(PlayAviView, TheEndOfTheSpanShowsAtOnce) {
    TestApp();
    setenv("MURTESK_AUDIO", "null", 1);
    testing::Scratch dir;
    samples::VideoClipOptions clip;
    clip.width = 160;
    clip.height = 90;
    clip.seconds = 2.0;
    g_VideoPath = dir.file("24-5-1-9_30_0.avi");
    ASSERT_TRUE(samples::writeVideoClip(g_VideoPath, clip));
    g_VideoStartTime = platform::DateFromParts(2024, 5, 1, 9, 30, 0);
    g_VideoStartMs = 300;
    g_VideoEndMs = 900;

    platform::qt::QtUi ui;
    RegisterPlaybackViews(ui);
    KinemoLibrary kinemo;
    frmPlayAVI form(ui, kinemo);
    ui.Show(form);
    auto* view = dynamic_cast<frmPlayAVIView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    auto* start = qobject_cast<QPushButton*>(view->Control("cmdStart0"));
    auto* slider = qobject_cast<QSlider*>(view->Control("Slider1"));
    auto* time = qobject_cast<QLabel*>(view->Control("lblTime"));
    // The span lasts 0.6 s of real time: on a loaded machine it may be over before a poll looks, so the
    // disabled start button is caught as it happens.
    EnabledWatch played(*start);
    ASSERT_TRUE(RunUntil([&] { return played.sawDisabled() && !form.Timer1; }));  // it played and ended
    EXPECT_TRUE(RunUntil([&] { return start->isEnabled(); }));  // no user event comes to refresh it
    EXPECT_EQ(slider->value(), slider->minimum());
    EXPECT_FALSE(qobject_cast<QPushButton*>(view->Control("cmdStop0"))->isEnabled());
    EXPECT_EQ(time->text().toStdString(), "2024/05/01 09:30'00 (0Sec)");

    ui.Unload(form);
    ui.DestroyAllViews();
    g_VideoPath.clear();
    g_VideoStartTime = 0;
    g_VideoStartMs = g_VideoEndMs = 0;
}

// A click into "距離(m)" selects its text, as the focus by Tab does: the next digits replace the distance.
TEST(PlayAviView, AClickIntoTheDistanceSelectsItsText) {
    TestApp();
    setenv("MURTESK_AUDIO", "null", 1);
    testing::Scratch dir;
    samples::VideoClipOptions clip;
    clip.width = 160;
    clip.height = 90;
    clip.seconds = 1.0;
    g_VideoPath = dir.file("24-5-1-9_30_0.avi");
    ASSERT_TRUE(samples::writeVideoClip(g_VideoPath, clip));
    g_VideoStartMs = g_VideoEndMs = 0;

    platform::qt::QtUi ui;
    RegisterPlaybackViews(ui);
    KinemoLibrary kinemo;
    frmPlayAVI form(ui, kinemo);
    ui.Show(form);
    auto* view = dynamic_cast<frmPlayAVIView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    QApplication::setActiveWindow(view->Widget());
    auto* distance = qobject_cast<QLineEdit*>(view->Control("txtDistance"));
    ASSERT_EQ(distance->text(), QStringLiteral("20"));
    qobject_cast<QPushButton*>(view->Control("cmdStop0"))->click();  // the end of playing keeps the focus
    QTest::mouseClick(distance, Qt::LeftButton, {}, QPoint(distance->width() - 4, distance->height() / 2));
    ASSERT_TRUE(distance->hasFocus());
    EXPECT_TRUE(RunUntil([&] { return distance->selectedText() == QStringLiteral("20"); }, 2000));
    EXPECT_FALSE(form.KeyPreview);

    ui.Unload(form);
    ui.DestroyAllViews();
    g_VideoPath.clear();
}

}  // namespace
}  // namespace murtesk::playback
