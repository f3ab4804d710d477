// From the sample tool to the side files: a clip that `murtesk-samples video` writes plays to its end event
// through libKinemo.so as the program binds it, vehicles are counted and speeds measured at positions the player
// reports, and the side files written for the clip read back equal.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fake_video_host.h"
#include "playback/car_count.h"
#include "kinemo_binding.h"
#include "playback/side_files.h"
#include "playback/speed_info.h"
#include "side_file_bytes.h"

namespace murtesk::playback {
namespace {

using namespace std::chrono_literals;
using platform::testing::FakeVideoHost;

std::filesystem::path ProgramFolder() { return std::filesystem::canonical("/proc/self/exe").parent_path(); }

TEST(VideoEndToEnd, SampleClipPlaysToItsEndAndItsSideFilesReadBack) {
    setenv("MURTESK_AUDIO", "null", 1);
    testing::Scratch dir;
    const std::string clip = dir.file("24-5-1-9_30_0.avi");
    const std::string command = (ProgramFolder() / "murtesk-samples").string() + " video '" + clip +
                                "' --seconds 1.5 --size 192x108 --fps 20 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);

    KinemoLibrary kinemo;
    FakeVideoHost host(192, 108);
    ASSERT_EQ(kinemo.OpenAvi(host.host(), clip.c_str()), 1);
    EXPECT_EQ(kinemo.AviIsCanSeek(), 1);
    EXPECT_GE(kinemo.GetAviTime(), 1500);
    CCarCounts counts;
    CSpeedInfos speeds;
    counts.NowCarCount().RoadNo = 2;
    ASSERT_EQ(kinemo.AviStart(), 0);
    std::int32_t first = -1;
    for (std::int16_t kind : {1, 2, 7}) {
        ASSERT_TRUE(host.WaitForFrames(host.FrameCount() + 5, 10s));
        counts.NowCarCount().CarKind = kind;
        counts.NowCarCount().PosTime = kinemo.GetAviPosition();
        counts.PlusCarNum(counts.Add(counts.NowCarCount().MeCopy()));
        if (first < 0) first = counts.NowCarCount().PosTime;
    }
    ASSERT_TRUE(host.WaitForPosts(1, 10s));
    EXPECT_EQ(host.Posts()[0].message, WM_AVIGRAPHEVENT);
    EXPECT_EQ(kinemo.AviGraphEvent(), 1);
    EXPECT_EQ(kinemo.GetAviPosition(), 0);
    EXPECT_EQ(kinemo.CloseAvi(), 1);

    CSpeedInfo speed = speeds.NowSpeedInfo().MeCopy();
    speed.SaveTime1 = first;
    speed.SaveTime2 = counts.NowCarCount().PosTime;
    speed.Distance = 12.5f;
    speed.CarKind = 7;
    ASSERT_GT(speed.GetSpeedKmH(), 0.0f);  // the positions rose as the clip played
    speeds.Add(speed);

    ASSERT_TRUE(counts.FileWrite(CarCountFilePath(clip)));
    ASSERT_TRUE(speeds.FileWrite(SpeedFilePath(clip)));
    EXPECT_EQ(std::filesystem::file_size(dir.file("24-5-1-9_30_0.car")), 20058u);
    EXPECT_EQ(std::filesystem::file_size(dir.file("24-5-1-9_30_0.kmh")), 1834u);
    CCarCounts countsRead;
    CSpeedInfos speedsRead;
    ASSERT_TRUE(countsRead.FileRead(CarCountFilePath(clip)));
    ASSERT_TRUE(speedsRead.FileRead(SpeedFilePath(clip)));
    EXPECT_TRUE(countsRead.IsMeEqualTo(counts));
    EXPECT_TRUE(speedsRead.IsMeEqualTo(speeds));
    EXPECT_EQ(countsRead.CarNum(3), 3);
    EXPECT_EQ(countsRead.CarNum(7), 2);
}

TEST(VideoEndToEnd, WithoutTheLibraryEveryCallAnswersAsWithoutAPlayer) {
    testing::Scratch dir;
    KinemoLibrary kinemo(dir.file(""));
    FakeVideoHost host;
    EXPECT_EQ(kinemo.OpenAvi(host.host(), "/x.avi"), 0);
    EXPECT_EQ(kinemo.CloseAvi(), 1);
    EXPECT_EQ(kinemo.GetAviTime(), 0);
    EXPECT_EQ(kinemo.GetAviPosition(), -1);
    EXPECT_EQ(kinemo.SetAviPosition(5), 0);
    EXPECT_EQ(kinemo.SetAviRange(5, 6), 0);
    EXPECT_EQ(kinemo.AviStart(), 0);
    EXPECT_EQ(kinemo.AviPause(), 0);
    EXPECT_EQ(kinemo.AviIsCanSeek(), 0);
    EXPECT_EQ(kinemo.AviGraphEvent(), 0);
    EXPECT_EQ(kinemo.ReSizeWindow(), 0);
    EXPECT_EQ(kinemo.ExtractAvi("/x.avi", "/y.avi", 0, 10), 0);
    EXPECT_TRUE(host.Messages().empty());
}

}  // namespace
}  // namespace murtesk::playback
