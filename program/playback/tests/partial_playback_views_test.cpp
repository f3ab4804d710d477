// The partial playback window through its Qt view on the null device, offscreen: 再生 plays in real
// time with the cursor moving a second of samples per buffer, 停止 stops it and the buttons come back
// half a second later. With MURTESK_SCREENSHOT_DIR set the playing window is written there as a PNG file.
#include "PartialPlaybackView.h"
#include "qt_test_app.h"
#include "WaveOut.h"
#include "frmPlayPartOfWave.h"
#include "globals.h"
#include "playback_views.h"
#include "wav_fixture.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace murtesk::playback {
namespace {

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::SavePicture;
using ::murtesk::platform::qt::testing::RunUntil;

TEST(PlaybackViews, PlaysAndStopsOnTheNullDevice) {
    TestApp();
    testing::TempFolder folder("playback-views");
    g_PlayWavePath = folder / "ALLrec_1ch.Wav";
    testing::WriteFile(g_PlayWavePath, testing::MonoWav(44100, 16, 10 * 44100));
    g_PlayStartMs = 2000;
    g_PlayEndMs = 8000;
    const std::unique_ptr<platform::WaveOut> null = platform::MakeNullWaveOut();
    SetWaveOutSystem(null.get());

    platform::qt::QtUi ui;
    RegisterPlaybackViews(ui);
    frmPlayPartOfWave form(ui);
    ui.Show(form);
    auto* view = dynamic_cast<PartialPlaybackView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(RunUntil([&] { return form.cmdStart.Enabled; }));
    EXPECT_EQ(view->lblTime->text(), QString("00時00分06秒"));
    EXPECT_EQ(view->Widget()->windowTitle(), QString("再生 <<再生位置をクリックして再生ボタンを押してください>>"));
    EXPECT_FALSE(view->cmdPlayX2->isEnabled());

    view->cmdStart->click();
    EXPECT_FALSE(view->cmdStart->isEnabled());
    // Stopped once the first buffer has ended (after a second of real time), however long that took.
    ASSERT_TRUE(RunUntil([&] { return form.m_CursorSample > g_PlayStartSample; }));
    SavePicture(*view->Widget(), "play_part_of_wave.png");
    EXPECT_TRUE(view->cmdStop->isEnabled());
    view->cmdStop->click();
    ASSERT_TRUE(RunUntil([&] { return form.cmdStart.Enabled; }));
    // The cursor moves a whole buffer (a second of samples) at a time.
    EXPECT_GT(form.m_CursorSample, g_PlayStartSample);
    EXPECT_EQ((form.m_CursorSample - g_PlayStartSample) % 44100, 0);
    EXPECT_EQ(g_hWaveOut, nullptr);
    EXPECT_TRUE(view->cmdPlayX2->isEnabled());

    view->cmdCancel->click();
    ASSERT_TRUE(RunUntil([&] { return !ui.IsLoaded(form); }));
    ui.DestroyAllViews();
    SetWaveOutSystem(nullptr);
}

}  // namespace
}  // namespace murtesk::playback
