// The player's fixed rules: which names it refuses, where it places the picture and which seeks go on decoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph_state.h"
#include "media_name.h"
#include "picture_fit.h"

namespace murtesk::video {
namespace {

TEST(MediaName, RefusesWindowsMediaAnywhereInAnyCase) {
    for (const char* name : {"clip.WMV", "a.wmv.avi", "/x/y.Asf", "song.wma", "list.ASX", "/v/folder.asf/a.avi"})
        EXPECT_TRUE(IsWindowsMediaName(name)) << name;
    for (const char* name : {"clip.avi", "a.wm", "wmv.avi", "a.mp4", "/v/道路.avi", ""})
        EXPECT_FALSE(IsWindowsMediaName(name)) << name;
}

struct FitCase {
    int clientWidth, clientHeight, videoWidth, videoHeight;
    int width, height;  // -1: not placed
};

class Fit : public ::testing::TestWithParam<FitCase> {};

TEST_P(Fit, PlacesTheLargestRectangleOfTheVideosAspectTopLeft) {
    const FitCase c = GetParam();
    const auto rect = FitPicture(c.clientWidth, c.clientHeight, c.videoWidth, c.videoHeight);
    if (c.width < 0) {
        EXPECT_FALSE(rect.has_value());
        return;
    }
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, (PictureRect{0, 0, c.width, c.height}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fit,
    ::testing::Values(FitCase{640, 480, 1920, 1080, 640, 360},  // wider than the area: full width
                      FitCase{400, 480, 1920, 1080, 400, 225},
                      FitCase{640, 300, 320, 240, 400, 300},               // taller: full height, 300 × 320 ÷ 240
                      FitCase{641, 480, 1920, 1080, 641, 360},             // 1080 × 641 ÷ 1920 = 360.56 truncated
                      FitCase{100000, 100000, 7680, 4320, 100000, 56250},  // products beyond 32 bits
                      FitCase{0, 0, 1920, 1080, -1, -1}, FitCase{640, 0, 1920, 1080, -1, -1},
                      FitCase{640, 480, 0, 1080, -1, -1}, FitCase{640, 480, 1920, 0, -1, -1}),
    [](const ::testing::TestParamInfo<FitCase>& info) {
        const FitCase& c = info.param;
        return std::to_string(c.videoWidth) + "x" + std::to_string(c.videoHeight) + "_in_" +
               std::to_string(c.clientWidth) + "x" + std::to_string(c.clientHeight);
    });

// A soft seek goes on decoding from the frame on screen; a hard one restarts from a keyframe. The start of each
// case: serial 3 carried out, its frame at 1000 ms on screen, 1100 ms decoded, frames of 40 ms, keyframes at 0,
// 2000 and 4000 ms, no stop, nothing ended.
struct SoftCase {
    const char* name;
    std::int32_t ms;
    void (*change)(GraphState&, SeekFacts&);
    bool soft;
};

class SoftSeek : public ::testing::TestWithParam<SoftCase> {};

TEST_P(SoftSeek, GoesOnOnlyFromTheFrameShownWithinItsGroupOfPictures) {
    const std::vector<Ticks> keyframes{0, TicksFromMs(2000), TicksFromMs(4000)};
    GraphState state;
    state.target.serial = state.seekHandled = state.shownSerial = 3;
    state.shownPts = TicksFromMs(1000);
    state.newestDecoded = TicksFromMs(1100);
    SeekFacts file{true, TicksFromMs(40), &keyframes};
    GetParam().change(state, file);
    EXPECT_EQ(CanSeekSoftly(state, TicksFromMs(GetParam().ms), file), GetParam().soft);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoftSeek,
    ::testing::Values(
        SoftCase{"FrameOnScreen", 1000, [](GraphState&, SeekFacts&) {}, true},
        SoftCase{"OneFramePastTheNewest", 1140, [](GraphState&, SeekFacts&) {}, true},
        SoftCase{"BeforeTheNextKeyframe", 1999, [](GraphState&, SeekFacts&) {}, true},
        SoftCase{"AtTheNextKeyframe", 2000, [](GraphState&, SeekFacts&) {}, false},
        SoftCase{"BehindTheFrameShown", 999, [](GraphState&, SeekFacts&) {}, false},
        SoftCase{"KeyframeJustPastTheNewest", 1140,
                 [](GraphState&, SeekFacts& f) {
                     static const std::vector<Ticks> k{0, TicksFromMs(1120)};
                     f.keyframes = &k;
                 },
                 true},
        SoftCase{"KeyframeBetweenNewestAndTarget", 1200,
                 [](GraphState&, SeekFacts& f) {
                     static const std::vector<Ticks> k{0, TicksFromMs(1120)};
                     f.keyframes = &k;
                 },
                 false},
        SoftCase{"NoIndexWithinASecond", 2100, [](GraphState&, SeekFacts& f) { f.keyframes = nullptr; }, true},
        SoftCase{"NoIndexBeyondASecond", 2101, [](GraphState&, SeekFacts& f) { f.keyframes = nullptr; }, false},
        SoftCase{"BeforeTheStop", 1400, [](GraphState& s, SeekFacts&) { s.target.stop = TicksFromMs(1500); }, true},
        SoftCase{"AtTheStop", 1500, [](GraphState& s, SeekFacts&) { s.target.stop = TicksFromMs(1500); }, false},
        SoftCase{"FrameOfAnOlderSerial", 1000, [](GraphState& s, SeekFacts&) { s.shownSerial = 2; }, false},
        SoftCase{"SeekNotCarriedOutYet", 1000, [](GraphState& s, SeekFacts&) { s.seekHandled = 2; }, false},
        SoftCase{"SeekFailed", 1000, [](GraphState& s, SeekFacts&) { s.seekFailed = true; }, false},
        SoftCase{"NothingOnScreen", 1000, [](GraphState& s, SeekFacts&) { s.shownPts = -1; }, false},
        SoftCase{"VideoDecodedToItsEnd", 1000, [](GraphState& s, SeekFacts&) { s.videoFinished = true; }, false},
        SoftCase{"SoundEnded", 1000, [](GraphState& s, SeekFacts&) { s.ended = kAudioBit; }, false},
        SoftCase{"PlaybackEnded", 1000, [](GraphState& s, SeekFacts&) { s.mode = ClockMode::Ended; }, false},
        SoftCase{"NoVideo", 1000, [](GraphState&, SeekFacts& f) { f.video = false; }, false}),
    [](const ::testing::TestParamInfo<SoftCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace murtesk::video
