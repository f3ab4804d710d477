// libKinemo.so loaded by its file name from the executable's folder, as the program loads it, with every export
// called through the loader and bound by its declared type.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "clip_folder.h"
#include "dynamic_library.h"
#include "fake_video_host.h"
#include "kinemo.h"

namespace murtesk::video {
namespace {

using namespace std::chrono_literals;
using platform::DynamicLibrary;
using platform::LibraryFunction;
using platform::testing::FakeVideoHost;
using testing::ClipFolder;
using testing::SmallClip;

struct Kinemo {
    DynamicLibrary lib{"libKinemo.so"};
    LibraryFunction<decltype(OpenAvi)> open{lib, "OpenAvi", -100};
    LibraryFunction<decltype(CloseAvi)> close{lib, "CloseAvi", -100};
    LibraryFunction<decltype(GetAviTime)> time{lib, "GetAviTime", -100};
    LibraryFunction<decltype(GetAviPosition)> position{lib, "GetAviPosition", -100};
    LibraryFunction<decltype(SetAviPosition)> setPosition{lib, "SetAviPosition", -100};
    LibraryFunction<decltype(SetAviRange)> setRange{lib, "SetAviRange", -100};
    LibraryFunction<decltype(AviStart)> start{lib, "AviStart", -100};
    LibraryFunction<decltype(AviPause)> pause{lib, "AviPause", -100};
    decltype(AviStop)* stop = lib.function<decltype(AviStop)>("AviStop");
    LibraryFunction<decltype(AviIsCanSeek)> canSeek{lib, "AviIsCanSeek", -100};
    LibraryFunction<decltype(AviGraphEvent)> graphEvent{lib, "AviGraphEvent", -100};
    LibraryFunction<decltype(ReSizeWindow)> resize{lib, "ReSizeWindow", -100};
    LibraryFunction<decltype(AviToBmp)> toBmp{lib, "AviToBmp", -100};
    LibraryFunction<decltype(GetVideoWithHeight)> size{lib, "GetVideoWithHeight", -100};
    LibraryFunction<decltype(GetVideoPictureCount)> pictures{lib, "GetVideoPictureCount", -100};
    LibraryFunction<decltype(ExtractAvi)> extract{lib, "ExtractAvi", -100};
    LibraryFunction<decltype(Bmp2Avi)> bmp2Avi{lib, "Bmp2Avi", -100};

    // What every player export answers without a player (or with one whose file did not open).
    void ExpectNoPlayer(const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(time(), 0);
        EXPECT_EQ(position(), -1);
        EXPECT_EQ(setPosition(500), 0);
        EXPECT_EQ(setRange(0, 500), 0);
        EXPECT_EQ(start(), 0);
        EXPECT_EQ(pause(), 0);
        stop();
        EXPECT_EQ(canSeek(), 0);
        EXPECT_EQ(graphEvent(), 0);
        EXPECT_EQ(resize(), 0);
    }
};

TEST(KinemoExports, EveryExportAnswersThroughTheLoader) {
    setenv("MURTESK_AUDIO", "null", 1);
    ClipFolder clips;
    const std::string clip = clips.clip("a.avi", SmallClip(samples::VideoContainer::Mpeg4Mp3Avi));
    Kinemo k;
    ASSERT_NE(k.stop, nullptr);
    k.ExpectNoPlayer("before any open");

    FakeVideoHost host(320, 240);
    ASSERT_EQ(k.open(host.host(), clip.c_str()), 1);
    ASSERT_TRUE(host.WaitForFrames(1, 10s));
    EXPECT_GE(k.time(), 2000);
    EXPECT_EQ(k.position(), 0);
    EXPECT_EQ(k.canSeek(), 1);
    EXPECT_EQ(k.graphEvent(), 0);
    EXPECT_EQ(k.setPosition(1000), 1);
    ASSERT_TRUE(host.WaitForFrames(2, 10s));
    EXPECT_EQ(samples::readFrameNumber(host.LastFrame().pixels.data(), 320 * 4, 320, 240), 30);
    EXPECT_EQ(k.position(), 1000);
    host.SetClientSize(160, 120);
    EXPECT_EQ(k.resize(), 0);
    ASSERT_TRUE(host.WaitForFrames(3, 10s));
    EXPECT_EQ(host.LastFrame().width, 160);
    EXPECT_EQ(k.setRange(200, 400), 1);
    EXPECT_EQ(k.start(), 0);
    ASSERT_TRUE(host.WaitForPosts(1, 10s));
    EXPECT_EQ(host.Posts()[0].message, WM_AVIGRAPHEVENT);
    EXPECT_EQ(k.graphEvent(), 1);
    EXPECT_EQ(k.position(), 0);
    EXPECT_EQ(k.pause(), 0);
    k.stop();
    EXPECT_EQ(k.position(), 0);

    // A second open replaces the player: the first host's picture is erased.
    FakeVideoHost second(320, 240);
    ASSERT_EQ(k.open(second.host(), clip.c_str()), 1);
    EXPECT_EQ(host.Clears(), 1);
    EXPECT_EQ(k.close(), 1);
    EXPECT_EQ(second.Clears(), 1);
    k.ExpectNoPlayer("after CloseAvi");
    EXPECT_EQ(k.close(), 1);

    EXPECT_EQ(k.open(second.host(), clips.file("none.avi").c_str()), 0);
    k.ExpectNoPlayer("after a failed open");
    ASSERT_EQ(second.Messages().size(), 1u);
    EXPECT_EQ(second.Messages()[0].text, "Cannot render video file stream");
    EXPECT_EQ(k.open(second.host(), nullptr), 0);
    EXPECT_EQ(second.Messages().size(), 1u);  // a null name is refused without a message
    // No host at all: it opens and plays, with nobody to show or tell.
    EXPECT_EQ(k.open(nullptr, clip.c_str()), 1);
    EXPECT_EQ(k.start(), 0);
    EXPECT_EQ(k.close(), 1);
    EXPECT_TRUE(host.UiCallbacksStayedOnTheTestThread());
    EXPECT_TRUE(second.UiCallbacksStayedOnTheTestThread());
}

// The conversions refuse while a player exists, also one whose file did not open, and for null names.
TEST(KinemoExports, ConversionsRefuseWhileAPlayerExists) {
    setenv("MURTESK_AUDIO", "null", 1);
    ClipFolder clips;
    const std::string clip = clips.clip("a.avi", SmallClip(samples::VideoContainer::Mpeg4Mp3Avi));
    const std::string bmp = clips.file("a.bmp"), avi = clips.file("b.avi");
    Kinemo k;
    std::int32_t w = -1, h = -1;
    auto refusesAll = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(k.toBmp(clip.c_str(), bmp.c_str(), 0), 0);
        EXPECT_EQ(k.size(clip.c_str(), &w, &h), 0);
        EXPECT_EQ(k.pictures(clip.c_str(), 2), 0);
        EXPECT_EQ(k.extract(clip.c_str(), avi.c_str(), 0, 1000), 0);
        EXPECT_EQ(k.bmp2Avi(bmp.c_str(), "", avi.c_str(), 10.0, 10, 64, 48, 1, 8000), 0);
        EXPECT_EQ(w, -1);
        EXPECT_FALSE(std::filesystem::exists(avi));
    };
    FakeVideoHost host(160, 120);
    ASSERT_EQ(k.open(host.host(), clip.c_str()), 1);
    refusesAll("while a player plays");
    EXPECT_EQ(k.open(host.host(), clips.file("none.avi").c_str()), 0);
    refusesAll("after a failed open");
    EXPECT_EQ(k.close(), 1);
    EXPECT_EQ(k.toBmp(nullptr, bmp.c_str(), 0), 0);
    EXPECT_EQ(k.size(clip.c_str(), nullptr, &h), 0);
    EXPECT_EQ(k.pictures(nullptr, 2), 0);
    EXPECT_EQ(k.extract(clip.c_str(), nullptr, 0, 1000), 0);
    EXPECT_EQ(k.bmp2Avi(bmp.c_str(), "", nullptr, 10.0, 10, 64, 48, 1, 8000), 0);

    EXPECT_EQ(k.size(clip.c_str(), &w, &h), 1);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
    EXPECT_EQ(k.pictures(clip.c_str(), 2), 2);
    EXPECT_EQ(k.toBmp(clip.c_str(), bmp.c_str(), 500), 1);
    EXPECT_EQ(k.extract(clip.c_str(), avi.c_str(), 0, 1000), 1);
    EXPECT_EQ(k.bmp2Avi(bmp.c_str(), nullptr, clips.file("c.avi").c_str(), 10.0, 10, 160, 120, 0, 0), 1);
}

// The end of the process stops a playing player's threads before the library goes: the process ends normally.
TEST(KinemoExports, ProcessEndsWhilePlaying) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ClipFolder clips;
    const std::string clip = clips.clip("a.avi", SmallClip(samples::VideoContainer::Mpeg4Mp3Avi));
    EXPECT_EXIT(
        {
            setenv("MURTESK_AUDIO", "null", 1);
            Kinemo k;
            static FakeVideoHost host(320, 240);  // outlives the player, which goes at exit
            if (k.open(host.host(), clip.c_str()) != 1 || k.start() != 0 || !host.WaitForFrames(5, 10s))
                std::_Exit(3);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(KinemoExports, OnlyTheExportsAreVisible) {
    DynamicLibrary lib("libKinemo.so");
    for (const char* name : {"OpenAvi", "CloseAvi", "GetAviTime", "GetAviPosition", "SetAviPosition", "SetAviRange",
                             "AviStart", "AviPause", "AviStop", "AviIsCanSeek", "AviGraphEvent", "ReSizeWindow",
                             "AviToBmp", "GetVideoWithHeight", "GetVideoPictureCount", "ExtractAvi", "Bmp2Avi"})
        EXPECT_NE(lib.symbol(name), nullptr) << name;
    EXPECT_EQ(lib.symbol("_ZN7murtesk5video8CPlayAvi9OpenMediaEPKc"), nullptr);
}

}  // namespace
}  // namespace murtesk::video
