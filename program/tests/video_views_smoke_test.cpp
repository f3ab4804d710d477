// Offscreen smoke test of the calculation screen over a measurement with a video, through the real Qt views
// and the real video library: the video commands are shown, and "ＬE範囲&Video再生..." opens the observation
// window over the screen on the LE range (its owner's window its transient parent). With MURTESK_SCREENSHOT_DIR
// set the screen and the observation window are written there as PNG files.
#include "calcscreen_views.h"
#include "frmOctCalc.h"
#include "frmOctCalcView.h"
#include "globals.h"
#include "playback/dll_interface.h"
#include "playback/frmPlayAVI.h"
#include "playback_views.h"
#include "preserve_document.h"
#include "qt_test_app.h"
#include "qt_ui.h"
#include "time_window.h"
#include "video_clips.h"

#include "model/preserve.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

using ::murtesk::platform::qt::testing::SavePicture;
using ::murtesk::platform::qt::testing::TestApp;

TEST(CalcVideoViews, TheVideoCommandsOpenTheObservationWindowOverTheScreen) {
    TestApp();
    ::setenv("MURTESK_AUDIO", "null", 1);
    const test_support::ScratchFolder scratch("video-views");
    const fs::path& folder = scratch.path();
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_ResetPreserve();
    const std::string project = (folder / "p.qvd").string();
    g_PreserveDoc().SetSaveFilePath(project);
    CMeasure& m = static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve().Measures.AddNew();
    m.StartTime = platform::DateFromParts(2024, 3, 5, 7, 8, 9);
    m.EndTime = platform::AddSeconds(m.StartTime, 60);
    CChMeasure& ch = m.ChMeasures.AddNew();
    ch.ChMeasureCondition.oct1or3 = 3;
    ch.ChMeasureCondition.LevelOutHz = 10.0;
    ch.ChMeasureCondition.w = 3;
    ch.LevelData.SaveFileName = "m1_1ch.lvl";
    SetWindow(ch.CalcXYAxis, m.StartTime, 60);
    ch.CalcXYAxis.YAxisMin = 0.0;
    ch.CalcXYAxis.YAxisMax = 120.0;
    for (int s = 1; s <= 47; ++s) ch.BandLCalcInfos.AddNew();
    // 60 s of levels in the bands the screen reads first, rising by 0.1 dB.
    std::vector<float> levels(600);
    for (std::size_t p = 0; p < levels.size(); ++p) levels[p] = 40.0f + static_cast<float>(p) / 10.0f;
    for (const std::int16_t slot : {std::int16_t{1}, std::int16_t{2}, std::int16_t{3}, std::int16_t{5}}) {
        const std::string dir = GetBandFolder(project, 3, slot);
        fs::create_directories(dir);
        std::ofstream(*ch.LevelData.PathIn(dir), std::ios::binary)
            .write(reinterpret_cast<const char*>(levels.data()), static_cast<std::streamsize>(levels.size() * 4));
    }
    const std::string recWav = GetRecWavFolder(project);
    fs::create_directories(recWav);
    samples::VideoClipOptions clip;
    clip.scene = samples::VideoScene::Road;
    clip.width = 320;
    clip.height = 180;
    clip.seconds = 4.0;
    ASSERT_TRUE(samples::writeVideoClip(recWav + "/24-3-5-7_8_9.avi", clip));
    // Positions 11 to 31 of band W at 10 a second: 1 s to 3 s.
    ch.BandLCalcInfos.Item(2).LEScopes.SimpleAdd(
        std::make_shared<CScope>(Variant(std::int32_t{11}), Variant(std::int32_t{31})));

    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    playback::RegisterPlaybackViews(ui);
    g_ShowPlayAVI = playback::ShowPlayAVI;
    frmOctCalc calc{ui};
    ui.Load(calc);
    std::int32_t first = 1;
    calc.setForm(first);
    ui.Show(calc);
    auto* view = dynamic_cast<frmOctCalcView*>(ui.ViewOf(calc));
    ASSERT_NE(view, nullptr);
    view->Widget()->resize(1240, 820);
    QApplication::processEvents();
    auto* play = qobject_cast<QPushButton*>(view->Control("cmdVideoPlay"));
    ASSERT_NE(play, nullptr);
    auto* tabs = qobject_cast<QTabWidget*>(view->Control("tabAreas"));
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentWidget(play->parentWidget());  // the LE tab
    QApplication::processEvents();
    EXPECT_TRUE(play->isVisible() && play->isEnabled());
    EXPECT_TRUE(view->Control("cmdVideoExtract")->isVisible());
    ASSERT_NE(view->Menu("mnuToolVideo"), nullptr);
    EXPECT_TRUE(view->Menu("mnuToolVideo")->isVisible());
    SavePicture(*view->Widget(), "calc_screen_video.png");

    // The click runs the observation window modally: a timer of its event loop looks at it once it is
    // there, however long the opening takes, and closes it. Whatever else comes up modally in its place
    // (a message) is closed after a while, so the test fails instead of waiting for ever.
    bool seen = false;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || playback::g_frmPlayAVI == nullptr) {
            if (window != nullptr && waited.elapsed() > 60000) {
                poll.stop();
                window->close();
            }
            return;
        }
        poll.stop();
        seen = true;
        EXPECT_EQ(window->windowHandle()->transientParent(), view->Widget()->windowHandle());
        EXPECT_EQ(g_VideoStartMs, 1000);
        EXPECT_EQ(g_VideoEndMs, 3000);
        SavePicture(*window, "calc_screen_observation_window.png");
        ui.Unload(*playback::g_frmPlayAVI);
    });
    poll.start(20);
    play->click();
    poll.stop();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    ui.Hide(calc);
    ui.DestroyAllViews();
    g_ShowPlayAVI = nullptr;
    g_Preserve.reset();
}

}  // namespace
}  // namespace murtesk
