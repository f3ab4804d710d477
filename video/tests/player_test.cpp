// The player on generated clips through a fake host: what the host is shown (frame numbers read from the
// pictures' blocks), posted and told, and what the player answers. Sound goes to the null device, which plays
// in real time.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <numeric>
#include <thread>
#include <tuple>

#include "clip_folder.h"
#include "fake_video_host.h"
#include "media_graph.h"
#include "media_source.h"
#include "play_avi.h"
#include "reader.h"
#include "reordered_clips.h"
#include "video_decoder.h"

namespace murtesk::video {
namespace {

using namespace std::chrono_literals;
using platform::testing::FakeVideoHost;
using samples::VideoClipOptions;
using samples::VideoContainer;
using testing::ClipFolder;
using testing::SmallClip;
using testing::ThreadCount;
using testing::ThreadCountComesBackTo;

constexpr auto kWait = 10s;  // generous: the tests run under sanitizers and in parallel

ClipFolder& Clips() {
    static ClipFolder folder;
    return folder;
}

std::int32_t FrameNumber(const FakeVideoHost::Frame& frame) {
    return samples::readFrameNumber(frame.pixels.data(), frame.width * 4, frame.width, frame.height);
}

std::int32_t Ms(Ticks t) { return MsFromTicks(t); }

class Player : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("MURTESK_AUDIO", "null", 1); }

    void TearDown() override {
        if (player) player->Close();
        EXPECT_TRUE(host.UiCallbacksStayedOnTheTestThread());
    }

    bool Open(const std::string& path) {
        if (player) player->Close();
        player = std::make_unique<CPlayAvi>(host.host());
        return player->OpenMedia(path.c_str()) == 1;
    }

    // Seeks and returns the numbers of the frames presented for it (after the last one, no more came for a while).
    std::vector<std::int32_t> SeekAndCollect(std::int32_t ms) {
        const std::size_t before = host.FrameCount();
        player->SeekGraph(TicksFromMs(ms));
        EXPECT_TRUE(host.WaitForFrames(before + 1, kWait)) << "no frame for " << ms << " ms";
        host.WaitForQuiet(250ms, kWait);
        const auto frames = host.Frames();
        std::vector<std::int32_t> numbers;
        for (std::size_t i = before; i < frames.size(); ++i) numbers.push_back(FrameNumber(frames[i]));
        return numbers;
    }

    FakeVideoHost host{320, 240};
    std::unique_ptr<CPlayAvi> player;
};

// ---------------------------------------------------------------------------------------------------------
// Opening

TEST_F(Player, OpensPausedOnTheFirstFrameFittedTopLeft) {
    ASSERT_TRUE(Open(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi))));
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    host.WaitForQuiet(250ms, kWait);
    const auto frames = host.Frames();
    ASSERT_EQ(frames.size(), 1u);  // paused: nothing more than the first frame
    EXPECT_EQ(FrameNumber(frames[0]), 0);
    // 160 × 120 in 320 × 240: w = 240 × 160 ÷ 120 = 320, not above 320, so h = 240.
    EXPECT_EQ(frames[0].x, 0);
    EXPECT_EQ(frames[0].y, 0);
    EXPECT_EQ(frames[0].width, 320);
    EXPECT_EQ(frames[0].height, 240);
    EXPECT_EQ(player->state(), 0);
    EXPECT_EQ(Ms(player->QueryPosition()), 0);
    // The longer stream decides: the MP3 sound runs 2.038 s (its coder pads the last frame).
    EXPECT_GE(Ms(player->QueryDuration()), 2000);
    EXPECT_LE(Ms(player->QueryDuration()), 2100);
    EXPECT_TRUE(player->IsSeekable());
    EXPECT_EQ(host.Shows(), 1);
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(Player, RefusesWindowsMediaNames) {
    for (const char* name : {"clip.WMV", "a.wmv.avi"}) {
        EXPECT_FALSE(Open(Clips().file(name)));
        EXPECT_FALSE(player->HasGraph());
    }
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 2u);
    for (const auto& m : messages) {
        EXPECT_EQ(m.text, "Windows Media files (ASF,WMV,WMA,ASX) are not supported by this application.");
        EXPECT_EQ(m.title, "DirectShow");
    }
    EXPECT_EQ(host.FrameCount(), 0u);
}

struct BadFile {
    const char* name;
    std::string (*make)(const std::string& dir);
};

class CannotRender : public Player, public ::testing::WithParamInterface<BadFile> {};

TEST_P(CannotRender, SaysSoAndLeavesNoThread) {
    const std::string path = GetParam().make(Clips().file(""));
    const int threads = ThreadCount();
    EXPECT_FALSE(Open(path));
    EXPECT_TRUE(ThreadCountComesBackTo(threads)) << ThreadCount() << " threads, " << threads << " before";
    EXPECT_FALSE(player->HasGraph());
    EXPECT_EQ(player->state(), 3);
    EXPECT_EQ(Ms(player->QueryPosition()), -1);
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Cannot render video file stream");
    EXPECT_EQ(messages[0].title, "DirectShow");
    EXPECT_EQ(host.FrameCount(), 0u);
}

std::string WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string CutClip(const std::string& dir, std::size_t keep) {
    std::ifstream in(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi)), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return WriteBytes(dir + "cut" + std::to_string(keep) + ".avi", bytes.substr(0, keep));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CannotRender,
    ::testing::Values(
        BadFile{"Missing", [](const std::string& dir) { return dir + "none.avi"; }},
        BadFile{"Empty", [](const std::string& dir) { return WriteBytes(dir + "empty.avi", ""); }},
        BadFile{"Text", [](const std::string& dir) { return WriteBytes(dir + "text.avi", std::string(5000, 'x')); }},
        BadFile{"HeaderOnly", [](const std::string& dir) { return CutClip(dir, 2000); }},
        BadFile{"Folder", [](const std::string& dir) { return dir; }},
        // Its other end never opens: a reader must not wait for it.
        BadFile{"NamedPipe",
                [](const std::string& dir) {
                    const std::string path = dir + "pipe.avi";
                    mkfifo(path.c_str(), 0600);
                    return path;
                }}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST_F(Player, ProbeHostOpensWithoutPicture) {
    FakeVideoHost probe(0, 0, false);
    CPlayAvi p(probe.host());
    EXPECT_EQ(p.OpenMedia(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi)).c_str()), 1);
    std::this_thread::sleep_for(200ms);
    p.Close();
    EXPECT_EQ(probe.FrameCount(), 0u);
    EXPECT_EQ(probe.Clears(), 1);
}

TEST_F(Player, NamesAreUsedWhole) {
    // Longer than the 259 bytes a fixed buffer would keep, and not ASCII.
    // A file name holds at most 255 bytes: the folder makes up the rest.
    std::string folder;
    while (folder.size() < 200) folder += "道路の映像";
    std::filesystem::create_directory(Clips().file(folder));
    const std::string path = Clips().file(folder + "/" + folder + ".avi");
    ASSERT_GT(path.size(), 400u);
    std::filesystem::copy_file(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi)), path);
    EXPECT_TRUE(Open(path));
    EXPECT_EQ(player->fileName(), path);
}

// ---------------------------------------------------------------------------------------------------------
// Seeking

struct SeekClip {
    const char* name;
    VideoContainer container;
};

class PausedSeek : public Player, public ::testing::WithParamInterface<SeekClip> {};

// Frame n covers [n / 30 s, (n + 1) / 30 s): a seek to t ms shows frame ⌊t × 30 / 1000⌋, and only that one.
TEST_P(PausedSeek, ShowsTheFrameAtThePositionAndKeepsIt) {
    ASSERT_TRUE(Open(Clips().clip(std::string("s.") + GetParam().name, SmallClip(GetParam().container))));
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    host.WaitForQuiet(250ms, kWait);
    struct Step {
        std::int32_t ms, frame;
    };
    for (const Step s : {Step{1500, 45}, Step{1534, 46}, Step{400, 12}, Step{66, 1}, Step{67, 2}, Step{1966, 58},
                         Step{1999, 59}, Step{1000, 30}}) {
        const auto shown = SeekAndCollect(s.ms);
        EXPECT_EQ(shown, std::vector<std::int32_t>{s.frame}) << "at " << s.ms << " ms";
        EXPECT_EQ(Ms(player->QueryPosition()), s.ms);
        EXPECT_EQ(player->state(), 0);
    }
    // A seek inside the frame on screen (30 covers 1000 to 1033.3 ms) shows nothing new.
    const std::size_t before = host.FrameCount();
    player->SeekGraph(TicksFromMs(1020));
    host.WaitForQuiet(300ms, kWait);
    EXPECT_EQ(host.FrameCount(), before);
    EXPECT_EQ(Ms(player->QueryPosition()), 1020);
}

INSTANTIATE_TEST_SUITE_P(Clips, PausedSeek,
                         ::testing::Values(SeekClip{"avi", VideoContainer::Mpeg4Mp3Avi},
                                           SeekClip{"mp4", VideoContainer::H264AacMp4},
                                           SeekClip{"mjpeg", VideoContainer::MjpegPcmAvi}),
                         [](const ::testing::TestParamInfo<SeekClip>& info) { return std::string(info.param.name); });

// H.264 with B pictures and a keyframe every 30 frames, coded by the ffmpeg program as a camera's file is: the
// MP4 index holds decoding times, and a picture is shown before the next one is decoded. Seeks on both sides of
// keyframes and one-frame steps (+33 ms from the position, as the observation window steps) across them.
TEST_F(Player, SeeksAndStepsAcrossKeyframesOfH264WithBPictures) {
    VideoClipOptions o = SmallClip(VideoContainer::H264AacMp4, 4.0);
    o.keyframeInterval = 30;
    const std::string source = Clips().clip("gop.mp4", o);
    const std::string clip = Clips().file("gop-b.mp4");
    const std::string command = "ffmpeg -nostdin -v error -y -i '" + source +
                                "' -c:v libx264 -preset fast -g 30 -bf 3 -x264-params b-adapt=0 -c:a copy '" +
                                clip + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "the ffmpeg program is not available";
    ASSERT_TRUE(Open(clip));
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    host.WaitForQuiet(250ms, kWait);
    for (const std::int32_t ms : {1966, 1000, 999, 934, 2999, 3000, 1999, 1034, 3966}) {
        EXPECT_EQ(SeekAndCollect(ms), std::vector<std::int32_t>{ms * 30 / 1000}) << "at " << ms << " ms";
        EXPECT_EQ(Ms(player->QueryPosition()), ms);
    }
    ASSERT_EQ(SeekAndCollect(1910), std::vector<std::int32_t>{57});
    for (std::int32_t frame = 58; frame <= 63; ++frame) {
        const std::int32_t ms = Ms(player->QueryPosition()) + 33;
        EXPECT_EQ(SeekAndCollect(ms), std::vector<std::int32_t>{frame}) << "step to " << ms << " ms";
    }
}

TEST_F(Player, SeekWhileRunningPlaysOn) {
    ASSERT_TRUE(Open(Clips().clip("long.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi, 4.0))));
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForFrames(4, kWait));
    const std::size_t before = host.FrameCount();
    player->SeekGraph(TicksFromMs(3000));
    ASSERT_TRUE(host.WaitForFrames(before + 6, kWait));
    EXPECT_EQ(player->state(), 2);
    const auto frames = host.Frames();
    std::vector<std::int32_t> after;
    for (std::size_t i = before; i < frames.size(); ++i) after.push_back(FrameNumber(frames[i]));
    // Whatever came before the seek took effect, then frame 90 and on, rising.
    const auto first = std::find(after.begin(), after.end(), 90);
    ASSERT_NE(first, after.end());
    for (auto it = first + 1; it != after.end(); ++it) EXPECT_GT(*it, *(it - 1));
    EXPECT_GE(Ms(player->QueryPosition()), 3000);
}

// ---------------------------------------------------------------------------------------------------------
// Playing to the end

TEST_F(Player, RangeEndsAtItsStopAndTheEventRewindsToTheStart) {
    ASSERT_TRUE(Open(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi))));
    EXPECT_EQ(player->DrainGraphEvents(), 0);  // nothing queued
    player->SeekGraph(TicksFromMs(500), TicksFromMs(800));
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForPosts(1, kWait));
    const auto posts = host.Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].message, WM_AVIGRAPHEVENT);
    EXPECT_EQ(posts[0].wparam, 0u);
    EXPECT_EQ(posts[0].lparam, 0);
    // Frames 15 (500 ms) to 23 (766 ms); 24 starts at 800 ms, the stop.
    const auto frames = host.Frames();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(FrameNumber(frames.back()), 23);
    EXPECT_EQ(Ms(player->QueryPosition()), 800);
    EXPECT_EQ(player->state(), 2);

    EXPECT_EQ(player->DrainGraphEvents(), 1);
    EXPECT_EQ(player->state(), 0);
    EXPECT_EQ(Ms(player->QueryPosition()), 0);
    EXPECT_EQ(FrameNumber(host.LastFrame()), 0);
    EXPECT_EQ(player->DrainGraphEvents(), 0);
    // The stop stays: playing again ends at 800 ms once more.
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForPosts(2, kWait));
    EXPECT_EQ(FrameNumber(host.LastFrame()), 23);
}

TEST_F(Player, VideoOnlyPlaysEveryFrameToTheEnd) {
    VideoClipOptions o = SmallClip(VideoContainer::Mpeg4Mp3Avi, 1.0);
    o.audio = false;
    ASSERT_TRUE(Open(Clips().clip("v.avi", o)));
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForPosts(1, kWait));
    std::vector<std::int32_t> numbers;
    for (const auto& f : host.Frames()) numbers.push_back(FrameNumber(f));
    // The first on opening, then the others in order, none twice, to the last. A picture that comes
    // after its time is left out (a loaded machine), so every one of them can only be asked of a quiet one.
    ASSERT_GE(numbers.size(), 2u);
    EXPECT_EQ(numbers.front(), 0);
    EXPECT_EQ(numbers.back(), 29);
    EXPECT_TRUE(std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) == numbers.end());
    EXPECT_EQ(Ms(player->QueryPosition()), 1000);
    EXPECT_EQ(player->DrainGraphEvents(), 1);
    EXPECT_EQ(player->state(), 0);
}

TEST_F(Player, SoundOnlyPlaysInRealTimeToTheEnd) {
    VideoClipOptions o = SmallClip(VideoContainer::Mpeg4Mp3Avi, 1.0);
    o.video = false;
    ASSERT_TRUE(Open(Clips().clip("sound.avi", o)));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForPosts(1, kWait));
    // The null device plays in real time: the end cannot come before the sound's second has passed.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 950ms);
    EXPECT_EQ(host.FrameCount(), 0u);
    EXPECT_GE(Ms(player->QueryPosition()), 1000);
    EXPECT_EQ(player->DrainGraphEvents(), 1);
    EXPECT_EQ(Ms(player->QueryPosition()), 0);
}

TEST_F(Player, DamagedPacketsAreSkipped) {
    std::ifstream in(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi)), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 3000; i += 7)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    ASSERT_TRUE(Open(WriteBytes(Clips().file("damaged.avi"), bytes)));
    EXPECT_EQ(player->RunGraph(), 0);
    EXPECT_TRUE(host.WaitForPosts(1, kWait));
    EXPECT_EQ(player->DrainGraphEvents(), 1);
}

TEST_F(Player, StreamWithoutDurationPlaysButCannotSeek) {
    VideoClipOptions o = SmallClip(VideoContainer::H264Raw, 1.0);
    ASSERT_TRUE(Open(Clips().clip("raw.h264", o)));
    EXPECT_FALSE(player->IsSeekable());
    EXPECT_EQ(player->QueryDuration(), 0);
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForPosts(1, kWait));
    EXPECT_EQ(FrameNumber(host.LastFrame()), 29);
    // Rewinding a file that cannot seek opens it again.
    EXPECT_EQ(player->DrainGraphEvents(), 1);
    EXPECT_EQ(FrameNumber(host.LastFrame()), 0);
}

struct RewindFailure {
    const char* name;
    const char* clip;
    VideoContainer container;
    void (*spoil)(const std::string& path);  // done to the file once it has played to its end
    const char* message;
};

class FailedRewind : public Player, public ::testing::WithParamInterface<RewindFailure> {};

TEST_P(FailedRewind, TheEventSaysSoAndAnswersTwo) {
    const RewindFailure& c = GetParam();
    const std::string path = Clips().file(std::string("spoilt-") + c.clip);
    std::filesystem::copy_file(Clips().clip(c.clip, SmallClip(c.container)), path,
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(Open(path));
    // The last 300 ms: what the reader has buffered is then the end of the file, not its start.
    player->SeekGraph(TicksFromMs(1700), TicksFromMs(2000));
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForPosts(1, kWait));
    c.spoil(path);
    EXPECT_EQ(player->DrainGraphEvents(), 2);
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, c.message);
    EXPECT_EQ(messages[0].title, "DirectShow");
    EXPECT_EQ(player->state(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedRewind,
    ::testing::Values(
        // A bare stream cannot seek: rewinding opens the file again, which is gone.
        RewindFailure{"Gone", "r.h264", VideoContainer::H264Raw,
                      [](const std::string& path) { std::filesystem::remove(path); }, "Failed to stop media clip!"},
        // The AVI's index still seeks, but nothing can be read any more to show.
        RewindFailure{"Emptied", "r.avi", VideoContainer::Mpeg4Mp3Avi,
                      [](const std::string& path) { std::filesystem::resize_file(path, 0); },
                      "Failed to StopWhenReady media clip!"}),
    [](const ::testing::TestParamInfo<RewindFailure>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------------------
// Stop, placement, closing

TEST_F(Player, StopRewindsOnlyWhenPausedOrRunning) {
    ASSERT_TRUE(Open(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi))));
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    ASSERT_EQ(SeekAndCollect(1000), std::vector<std::int32_t>{30});
    const std::size_t before = host.FrameCount();
    player->StopGraph();  // state 0: nothing happens
    host.WaitForQuiet(300ms, kWait);
    EXPECT_EQ(host.FrameCount(), before);
    EXPECT_EQ(Ms(player->QueryPosition()), 1000);

    EXPECT_EQ(player->PauseGraph(), 0);
    EXPECT_EQ(player->state(), 1);
    player->StopGraph();
    ASSERT_TRUE(host.WaitForFrames(before + 1, kWait));
    EXPECT_EQ(player->state(), 0);
    EXPECT_EQ(Ms(player->QueryPosition()), 0);
    EXPECT_EQ(FrameNumber(host.LastFrame()), 0);
}

TEST_F(Player, ResizeShowsTheFrameAgainAtTheNewFit) {
    host.SetClientSize(640, 300);
    ASSERT_TRUE(Open(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi))));
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    // 160 × 120 in 640 × 300: w = 300 × 160 ÷ 120 = 400 ≤ 640, h = 300.
    EXPECT_EQ(host.LastFrame().width, 400);
    EXPECT_EQ(host.LastFrame().height, 300);
    host.SetClientSize(100, 480);
    EXPECT_EQ(player->FitVideoToWindow(), 0);
    ASSERT_TRUE(host.WaitForFrames(2, kWait));
    // w = 480 × 160 ÷ 120 = 640 > 100: w = 100, h = 120 × 100 ÷ 160 = 75.
    EXPECT_EQ(host.LastFrame().width, 100);
    EXPECT_EQ(host.LastFrame().height, 75);
    EXPECT_EQ(FrameNumber(host.LastFrame()), 0);
    host.SetClientSize(0, 0);  // a minimised host: the placement stays
    EXPECT_EQ(player->FitVideoToWindow(), 0);
    host.WaitForQuiet(300ms, kWait);
    EXPECT_EQ(host.FrameCount(), 2u);
}

TEST_F(Player, EmptyClientAreaShowsNothing) {
    host.SetClientSize(0, 0);
    ASSERT_TRUE(Open(Clips().clip("a.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi))));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(host.FrameCount(), 0u);
}

TEST_F(Player, CloseWhileRunningStopsEveryThreadAndClears) {
    const int threads = ThreadCount();
    ASSERT_TRUE(Open(Clips().clip("long.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi, 4.0))));
    EXPECT_EQ(player->RunGraph(), 0);
    ASSERT_TRUE(host.WaitForFrames(5, kWait));
    player->Close();
    const std::size_t after = host.FrameCount();
    EXPECT_EQ(host.Clears(), 1);
    EXPECT_TRUE(ThreadCountComesBackTo(threads)) << ThreadCount() << " threads, " << threads << " before";
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(host.FrameCount(), after);
    EXPECT_EQ(player->state(), 3);
    EXPECT_FALSE(player->HasGraph());
}

// ---------------------------------------------------------------------------------------------------------
// Steps back

struct BackStepClip {
    const char* label;
    const char* name;
    const char* pictures;       // the coder's options for them
    std::int32_t decodedFor30;  // pictures decoded at least for the seek from frame 81 back to 30
};

class BackSteps : public ::testing::TestWithParam<BackStepClip> {};

// H.264 in one group (a keyframe every 250 frames: longer than the clip), as field cameras record, of P pictures
// only or with B pictures (three between P pictures, the middle one referred to, the others not). Steps back of one
// frame within the pictures decoded show their frames without decoding any again, and a step forward goes on from
// there; the cache stays within its bound (twenty pictures here), and a step back beyond it decodes again and
// shows the right frame too.
TEST_P(BackSteps, WithinTheDecodedPicturesDecodeNothingAgain) {
    setenv("MURTESK_AUDIO", "null", 1);
    const std::string clip = Clips().file(GetParam().name);
    const std::string command = "ffmpeg -nostdin -v error -y -i '" +
                                Clips().clip("back-source.mp4", SmallClip(VideoContainer::H264AacMp4, 4.0)) +
                                "' -c:v libx264 -preset fast -g 250 " + GetParam().pictures + " -c:a copy '" + clip +
                                "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "the ffmpeg program is not available";
    FakeVideoHost host;
    std::unique_ptr<MediaGraph> graph;
    auto open = [&](std::size_t bytes) {
        graph.reset();
        const std::size_t frames = host.FrameCount();
        graph = MediaGraph::Open(clip, *host.host());
        ASSERT_TRUE(graph);
        graph->Place({0, 0, 320, 240});
        graph->Start(true, bytes);
        ASSERT_TRUE(host.WaitForFrames(frames + 1, kWait));
    };
    // Frame n starts at n / 30 s, rounded up to the ms as the window steps.
    auto show = [&](std::int32_t frame) {
        graph->Seek(TicksFromMs((frame * 1000 + 29) / 30));
        EXPECT_EQ(graph->WaitUntilShown(kWait), MediaGraph::Shown::Yes);
        return FrameNumber(host.LastFrame());
    };
    // What the decoder has done once it has not changed for 300 ms (paused, it stops kPictureCapacity ahead).
    auto settled = [&] {
        MediaGraph::Decoding last = graph->DecodingSoFar();
        for (auto since = std::chrono::steady_clock::now(); std::chrono::steady_clock::now() - since < 300ms;) {
            std::this_thread::sleep_for(25ms);
            const MediaGraph::Decoding now = graph->DecodingSoFar();
            if (now.pictures != last.pictures || now.cachedBytes != last.cachedBytes) {
                last = now;
                since = std::chrono::steady_clock::now();
            }
        }
        return last;
    };
    ASSERT_NO_FATAL_FAILURE(open(kBackStepBytes));
    const MediaGraph::Decoding first = settled();
    ASSERT_GT(first.cachedPictures, 0u);
    const std::size_t picture = first.cachedBytes / first.cachedPictures;
    const std::size_t bound = 20 * picture + picture / 2;

    ASSERT_NO_FATAL_FAILURE(open(bound));
    ASSERT_EQ(show(90), 90);
    const MediaGraph::Decoding at90 = settled();
    EXPECT_EQ(at90.cachedPictures, 20u);
    EXPECT_LE(at90.cachedBytes, bound);
    for (std::int32_t frame = 89; frame >= 80; --frame) EXPECT_EQ(show(frame), frame) << "step back to " << frame;
    EXPECT_EQ(show(81), 81);
    const MediaGraph::Decoding stepped = settled();
    EXPECT_EQ(stepped.pictures, at90.pictures) << "pictures decoded again";
    EXPECT_EQ(stepped.cachedPictures, 20u);

    EXPECT_EQ(show(30), 30);
    const MediaGraph::Decoding beyond = settled();
    EXPECT_GE(beyond.pictures, stepped.pictures + GetParam().decodedFor30) << "from the keyframe at frame 0";
    EXPECT_LE(beyond.cachedBytes, bound);
    EXPECT_EQ(show(29), 29);
    EXPECT_EQ(settled().pictures, beyond.pictures);
    graph.reset();
}

// Every picture from the keyframe at frame 0 to 30; with B pictures, at least the twenty the cache holds (those no
// other picture refers to are skipped before what the cache can hold), but in AVI, which gives a packet no time to
// skip it by, every one. The AVI's time base is half a picture, as a stream copied from MP4 keeps it.
INSTANTIATE_TEST_SUITE_P(
    H264, BackSteps,
    ::testing::Values(BackStepClip{"POnly", "p-only.mp4", "-bf 0", 31},
                      BackStepClip{"BPictures", "b-pictures.mp4", "-bf 3 -x264-params b-adapt=0", 20},
                      BackStepClip{"BPicturesAvi", "b-pictures.avi", "-bf 3 -x264-params b-adapt=0 -enc_time_base 1:60",
                                   31}),
    [](const ::testing::TestParamInfo<BackStepClip>& info) { return std::string(info.param.label); });

class ReorderedPictures : public ::testing::TestWithParam<std::tuple<testing::ReorderedClip, std::size_t>> {};

// Every picture shows, stepped to forward and back one frame at a time and sought from far, with the cache of
// decoded pictures and without it.
TEST_P(ReorderedPictures, EveryPictureShowsOnStepsAndSeeks) {
    setenv("MURTESK_AUDIO", "null", 1);
    const auto& [c, cacheBytes] = GetParam();
    const std::string clip = c.make(Clips(), std::string(c.label) + "-" + std::to_string(cacheBytes));
    if (clip.empty()) GTEST_SKIP() << "the ffmpeg program is not available";
    ASSERT_EQ(c.look(clip), c.expected);
    FakeVideoHost host;
    std::unique_ptr<MediaGraph> graph = MediaGraph::Open(clip, *host.host());
    ASSERT_TRUE(graph);
    graph->Place({0, 0, 320, 240});
    graph->Start(true, cacheBytes);
    ASSERT_TRUE(host.WaitForFrames(1, kWait));
    constexpr std::int32_t kFrames = 50;
    auto show = [&](std::int32_t frame) {
        graph->Seek(TicksFromMs((frame * 1000 + 29) / 30));
        EXPECT_EQ(graph->WaitUntilShown(kWait), MediaGraph::Shown::Yes);
        return FrameNumber(host.LastFrame());
    };
    for (std::int32_t frame = 1; frame < kFrames; ++frame) EXPECT_EQ(show(frame), frame) << "step to " << frame;
    for (std::int32_t frame = kFrames - 2; frame >= 0; --frame)
        EXPECT_EQ(show(frame), frame) << "step back to " << frame;
    // 23 is prime to 50: every frame once, from another group each time.
    for (std::int32_t i = 1; i <= kFrames; ++i) {
        const std::int32_t frame = i * 23 % kFrames;
        EXPECT_EQ(show(frame), frame) << "seek to " << frame;
    }
    graph.reset();
}

INSTANTIATE_TEST_SUITE_P(Clips, ReorderedPictures,
                         ::testing::Combine(::testing::Values(testing::kOpenGroupsMp4, testing::kBPicturesAvi, testing::kOpenGroupsAvi),
                                            ::testing::Values(kBackStepBytes, std::size_t{0})),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) +
                                    (std::get<1>(info.param) ? "Cached" : "Uncached");
                         });

// ---------------------------------------------------------------------------------------------------------
// Queue caps: the reading and decoding threads alone, with nobody taking what they queue.

class Threads {
public:
    explicit Threads(const std::string& path) : source_(MediaSource::Open(path, interrupt_)) {}
    ~Threads() {
        {
            std::lock_guard lock(state.mutex);
            state.abort = true;
        }
        interrupt_ = true;
        state.changed.notify_all();
        for (std::thread& t : running_) t.join();
    }
    bool opened() const { return source_ != nullptr; }
    void StartReader() {
        reader_ = std::make_unique<Reader>(state, *source_);
        running_.emplace_back([this] { reader_->Run(); });
    }
    void StartDecoder() {
        decoder_ = std::make_unique<VideoDecoder>(state, *source_, source_->TakeVideoDecoder());
        running_.emplace_back([this] { decoder_->Run(); });
    }
    // What `look` (lock held) answers once it has not changed for 300 ms.
    template <class Look>
    auto Settled(Look look) {
        std::unique_lock lock(state.mutex);
        auto last = look();
        auto since = std::chrono::steady_clock::now();
        const auto until = since + kWait;
        while (std::chrono::steady_clock::now() < until) {
            lock.unlock();
            std::this_thread::sleep_for(25ms);
            lock.lock();
            const auto now = std::chrono::steady_clock::now();
            if (auto value = look(); value != last) {
                last = value;
                since = now;
            } else if (now - since >= 300ms) {
                break;
            }
        }
        return last;
    }

    GraphState state;

private:
    std::atomic<bool> interrupt_{false};
    std::unique_ptr<MediaSource> source_;
    std::unique_ptr<Reader> reader_;
    std::unique_ptr<VideoDecoder> decoder_;
    std::vector<std::thread> running_;
};

// The reader fills each stream's queue to its minimum and no further; when one stream's packets are far apart
// (here a second of sound each) it reads the other on only up to the byte cap.
TEST(QueueCaps, ReaderStopsAtTheMinimumsOrAtTheByteCap) {
    {
        Threads t(Clips().clip("long.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi, 4.0)));
        ASSERT_TRUE(t.opened());
        t.StartReader();
        const auto [video, audio, bytes] = t.Settled(
            [&] { return std::tuple(t.state.videoPackets.size(), t.state.audioPackets.size(), t.state.packetBytes); });
        EXPECT_TRUE((video == kMinVideoPackets && audio >= kMinAudioPackets) ||
                    (audio == kMinAudioPackets && video >= kMinVideoPackets))
            << video << " video and " << audio << " sound packets";
        EXPECT_LT(bytes, kMaxPacketBytes);
    }
    // 320 × 240 raw pictures (115,200 bytes each) for 6 s: the byte cap comes after 146 of them.
    const std::string clip = Clips().file("raw.mkv");
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=320x240:rate=30:duration=6 "
                                "-f lavfi -i sine=duration=6:samples_per_frame=44100 -c:v rawvideo -pix_fmt yuv420p "
                                "-c:a pcm_s16le '" + clip + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "the ffmpeg program is not available";
    Threads t(clip);
    ASSERT_TRUE(t.opened());
    t.StartReader();
    const auto [video, audio, bytes] = t.Settled([&] {
        return std::tuple(t.state.videoPackets.size(), t.state.audioPackets.size(), t.state.packetBytes);
    });
    std::filesystem::remove(clip);
    EXPECT_LT(audio, kMinAudioPackets);
    EXPECT_GE(bytes, kMaxPacketBytes);
    EXPECT_LT(bytes - 115200, kMaxPacketBytes) << "read on past the cap";
    EXPECT_GT(video, 100u);
}

// The decoder keeps exactly kPictureCapacity pictures ahead, in order, and decodes one more for each one taken.
TEST(QueueCaps, DecoderKeepsThePictureCapacityAhead) {
    Threads t(Clips().clip("long.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi, 4.0)));
    ASSERT_TRUE(t.opened());
    t.StartReader();
    t.StartDecoder();
    const Ticks frame = TicksFromMs(1000) / 30;
    Ticks expected = 0;
    for (int taken = 0; taken < 3; ++taken) {
        EXPECT_EQ(t.Settled([&] { return t.state.pictures.size(); }), kPictureCapacity);
        std::lock_guard lock(t.state.mutex);
        for (std::size_t i = 0; i < t.state.pictures.size(); ++i) {
            ASSERT_TRUE(t.state.pictures[i].frame);
            EXPECT_NEAR(t.state.pictures[i].pts, expected + static_cast<Ticks>(i) * frame, kTicksPerMs);
        }
        t.state.pictures.pop_front();
        expected += frame;
        t.state.changed.notify_all();
    }
}

}  // namespace
}  // namespace murtesk::video
