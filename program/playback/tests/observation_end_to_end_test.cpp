// The video observation window on a clip of `murtesk-samples video` through libKinemo.so as the program binds it
// (user-interface services faked): counts of two lanes and two speeds saved with OK come back when the window
// opens the video again and export in their CSV form; an extract of the clip's middle opens in the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "fake_ui.h"
#include "globals.h"
#include "platform/dates.h"
#include "platform/text_encoding.h"
#include "playback/frmPlayAVI.h"
#include "kinemo_binding.h"
#include "side_file_bytes.h"

namespace murtesk::playback {
namespace {

std::filesystem::path ProgramFolder() { return std::filesystem::canonical("/proc/self/exe").parent_path(); }

TEST(ObservationEndToEnd, CountsAndSpeedsComeBackAndExportAndAnExtractOpens) {
    setenv("MURTESK_AUDIO", "null", 1);
    testing::Scratch dir;
    g_VideoPath = dir.file("24-5-1-9_30_0.avi");
    const std::string command = (ProgramFolder() / "murtesk-samples").string() + " video '" + g_VideoPath +
                                "' --seconds 4 --size 192x108 --fps 20 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    g_VideoStartTime = platform::DateFromParts(2024, 5, 1, 9, 30, 0);
    g_VideoStartMs = g_VideoEndMs = 0;
    platform::testing::FakeUi ui;
    KinemoLibrary kinemo;
    auto seek = [](frmPlayAVI& form, int value) {  // the user moves the slider (100 ms a step)
        form.Slider1.Value = value;
        form.Slider1_Scroll();
    };
    {
        frmPlayAVI form(ui, kinemo);
        ui.Show(form);
        ui.RunPendingActivations();
        ASSERT_TRUE(ui.IsLoaded(form));
        EXPECT_EQ(g_VideoEndMs, kinemo.GetAviTime());
        form.cmdStop_Click(0);
        for (auto [lane, ms, key] : {std::tuple{1, 10, '1'}, std::tuple{1, 15, '4'}, std::tuple{2, 25, '2'}}) {
            form.cmbRoadNo.ListIndex = lane;
            form.cmbRoadNo_Click();
            seek(form, ms);
            int keyAscii = key;
            form.Form_KeyPress(keyAscii);
        }
        for (auto [from, to, distance] : {std::tuple{10, 20, "20"}, std::tuple{5, 35, "25"}}) {
            seek(form, from);
            form.cmdSaveTime_Click(0);
            seek(form, to);
            form.cmdSaveTime_Click(1);
            form.txtDistance.Text = distance;
            form.cmdCalcSpeed_Click();
        }
        form.cmdOk_Click();
        EXPECT_FALSE(ui.IsLoaded(form));
    }
    EXPECT_TRUE(ui.MessageTexts().empty());

    frmPlayAVI again(ui, kinemo);
    ui.Show(again);
    ui.RunPendingActivations();
    ASSERT_TRUE(ui.IsLoaded(again));
    EXPECT_EQ(again.txtDistance.Text, "25");  // the last speed's distance
    EXPECT_EQ(again.lblCarNum[3].Caption, "3");  // lane 0: every lane
    EXPECT_EQ(again.lstSpeed.Items, (std::vector<std::string>{"72.0km/h 大型車", "30.0km/h 大型車"}));
    const std::string counts = dir.file("counts.csv"), speeds = dir.file("speeds.csv");
    ASSERT_TRUE(again.WriteCarCountCSVAll(counts));
    ASSERT_TRUE(again.WriteSpeedCSVAll(speeds));
    EXPECT_EQ(testing::ReadAll(counts), platform::Utf8ToCp932("方向, 車線番号, 車種番号, 経過時間(Sec), 走行日時\r\n"
                                                             "上り,1,1,1.0,2024/05/01 09:30:01\r\n"
                                                             "上り,1,4,1.5,2024/05/01 09:30:02\r\n"
                                                             "上り,2,2,2.5,2024/05/01 09:30:03\r\n"));
    EXPECT_EQ(testing::ReadAll(speeds),
              platform::Utf8ToCp932("方向, 車線番号, 速度(Km/h), 車種番号, 距離(m), 経過時間１(Sec), 経過時間２(Sec), "
                                    "保存時間１, 保存時間２\r\n"
                                    "上り,2,72.000,4,20.0,1.0,2.0,2024/05/01 09:30:01,2024/05/01 09:30:02\r\n"
                                    "上り,2,30.000,4,25.0,0.5,3.5,2024/05/01 09:30:01,2024/05/01 09:30:04\r\n"));
    ui.Unload(again);

    // The middle two seconds as a new video, which the window opens whole.
    const std::string middle = dir.file("middle.avi");
    ASSERT_EQ(kinemo.ExtractAvi(g_VideoPath.c_str(), middle.c_str(), 1000, 3000), 1);
    g_VideoPath = middle;
    frmPlayAVI extract(ui, kinemo);
    ui.Show(extract);
    ui.RunPendingActivations();
    ASSERT_TRUE(ui.IsLoaded(extract));
    EXPECT_NEAR(g_VideoEndMs, 2000, 50);  // within a frame
    ui.Unload(extract);
    g_VideoPath.clear();
    g_VideoStartTime = 0;
}

}  // namespace
}  // namespace murtesk::playback
