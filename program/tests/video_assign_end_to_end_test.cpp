// A video assigned through the real converter: an H.264 MP4 that the sample tool writes becomes an AVI in
// "RecWav" under the measurement's start, which libKinemo.so opens and seeks; its LE range watched in the
// observation window over the screen (two times saved and made a mark, a vehicle counted) and extracted into a file of
// its own that plays for the range's length; the start moved by an hour takes the video and its counts with it, and the
// whole video opens under the new name with the count.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "fake_ui.h"
#include "fake_video_host.h"
#include "frmInputDate.h"
#include "frmOctCalc.h"
#include "globals.h"
#include "playback/frmPlayAVI.h"
#include "kinemo_binding.h"
#include "preserve_document.h"

#include "model/preserve.h"
#include "platform/dates.h"
#include "video_clips.h"
#include "scratch_folder.h"

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Screen : frmOctCalc {
    using frmOctCalc::frmOctCalc;
    using frmOctCalc::ShownBandInfo;
};

TEST(VideoAssignEndToEnd, ConvertedClipPlaysAndSeeksAndFollowsTheStart) {
    ::setenv("MURTESK_AUDIO", "null", 1);
    const test_support::ScratchFolder scratch("assign-e2e");
    const fs::path& folder = scratch.path();
    fs::create_directories(folder / "RecWav");
    const fs::path clip = folder / "camera 1 'north'.mp4";
    samples::VideoClipOptions options;
    options.container = samples::VideoContainer::H264AacMp4;
    options.seconds = 3.0;
    options.fps = 20;
    ASSERT_TRUE(samples::writeVideoClip(clip.string(), options));

    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_ResetPreserve();
    g_PreserveDoc().SetSaveFilePath((folder / "p.qvd").string());
    CMeasure& m = static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve().Measures.AddNew();
    m.StartTime = platform::DateFromParts(2024, 3, 5, 7, 8, 9);
    m.EndTime = platform::AddSeconds(m.StartTime, 60);
    CChMeasure& ch = m.ChMeasures.AddNew();
    ch.ChMeasureCondition.oct1or3 = 3;
    ch.ChMeasureCondition.LevelOutHz = 10.0;
    for (int s = 1; s <= 47; ++s) ch.BandLCalcInfos.AddNew();
    platform::testing::FakeUi ui;
    {
        Screen calc(ui);
        ui.Load(calc);
        std::int32_t one = 1;
        calc.setForm(one);

        ui.ChooseNext(clip.string());
        ui.OnModal("frmVideoConvert", [](platform::Form&) {});  // the progress window runs the converter
        calc.mnuVideoFile_Click();
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てが完了しました。"});
        const fs::path video = folder / "RecWav" / "24-3-5-7_8_9.avi";
        ASSERT_TRUE(fs::is_regular_file(video));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder / "RecWav"), fs::directory_iterator()), 1);

        {
            KinemoLibrary kinemo;
            platform::testing::FakeVideoHost host(320, 240);
            ASSERT_EQ(kinemo.OpenAvi(host.host(), video.c_str()), 1);
            EXPECT_NEAR(kinemo.GetAviTime(), 3000, 100);
            EXPECT_EQ(kinemo.AviIsCanSeek(), 1);
            const std::size_t frames = host.FrameCount();
            EXPECT_EQ(kinemo.SetAviPosition(2000), 1);
            EXPECT_TRUE(host.WaitForFrames(frames + 1, 10s));
            EXPECT_EQ(kinemo.GetAviPosition(), 2000);
            EXPECT_EQ(kinemo.CloseAvi(), 1);
        }

        // Positions 6 to 21 at 10 values a second: 500 to 2000 ms.
        ASSERT_NE(calc.ShownBandInfo(), nullptr);
        calc.ShownBandInfo()->LEScopes.SimpleAdd(std::make_shared<CScope>(Variant(6), Variant(21)));
        // The range watched: from 200 ms to 1200 ms into it saved, one vehicle counted, kept with OK.
        g_ShowPlayAVI = playback::ShowPlayAVI;
        ui.OnModal("frmPlayAVI", [](platform::Form& form) {
            auto& window = static_cast<playback::frmPlayAVI&>(form);
            window.cmdStop_Click(0);
            for (int i = 0; i < 2; ++i) {
                window.Slider1.Value = 2 + 10 * i;  // 100 ms a step from the range's start
                window.Slider1_Scroll();
                window.cmdSaveTime_Click(i);
            }
            int key = '4';
            window.Form_KeyPress(key);
            window.cmdOk_Click();
        });
        calc.cmdVideoPlay_Click();
        EXPECT_EQ(g_SaveTime, (std::array<std::int32_t, 2>{700, 1700}));
        EXPECT_TRUE(fs::is_regular_file(folder / "RecWav" / "24-3-5-7_8_9.car"));
        // The saved times made a mark: 0.7 s and 1.7 s at 10 values a second are positions 8 and 18.
        for (int i = 0; i < 5; ++i) calc.optMouseAction[static_cast<std::size_t>(i)].Value = i == 3;
        calc.mnuToolArea_Click();
        const CScopes& marks = calc.ShownBandInfo()->MarkScopes;
        ASSERT_EQ(marks.count(), 1);
        EXPECT_EQ(marks.Item(1).S.AsDouble(), 8.0);
        EXPECT_EQ(marks.Item(1).E.AsDouble(), 18.0);

        const fs::path cut = folder / "LE 'cut'.avi";
        ui.ClearTranscript();
        ui.ChooseNext(cut.string());
        calc.cmdVideoExtract_Click();
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ビデオ抽出処理が成功しました."});
        {
            KinemoLibrary kinemo;
            platform::testing::FakeVideoHost host(320, 240);
            ASSERT_EQ(kinemo.OpenAvi(host.host(), cut.c_str()), 1);
            EXPECT_NEAR(kinemo.GetAviTime(), 1500, 100);
            EXPECT_EQ(kinemo.CloseAvi(), 1);
        }

        ui.OnModal("frmInputDate", [](platform::Form& form) {
            auto& input = static_cast<frmInputDate&>(form);
            input.cmbhh.Select(8);
            input.cmdOK_Click();
        });
        calc.mnuChangeDate_Click();
        EXPECT_TRUE(fs::is_regular_file(folder / "RecWav" / "24-3-5-8_8_9.avi"));
        EXPECT_FALSE(fs::exists(video));
        EXPECT_TRUE(calc.cmdVideoPlay.Visible);
        EXPECT_TRUE(fs::is_regular_file(folder / "RecWav" / "24-3-5-8_8_9.car"));

        std::int32_t counts = -1;
        ui.OnModal("frmPlayAVI", [&counts](platform::Form& form) {
            auto& window = static_cast<playback::frmPlayAVI&>(form);
            counts = window.m_CarCounts.count();
            window.cmdCancel_Click();
        });
        calc.mnuToolVideo_Click();
        EXPECT_EQ(counts, 1);
        EXPECT_EQ(g_VideoPath, (folder / "RecWav" / "24-3-5-8_8_9.avi").string());
        EXPECT_EQ(g_VideoStartMs, 0);
        g_ShowPlayAVI = nullptr;
        ui.Unload(calc);
    }
    g_Preserve.reset();
}

}  // namespace
}  // namespace murtesk
