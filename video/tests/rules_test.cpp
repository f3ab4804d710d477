// The player's fixed rules: which names it refuses and where it places the picture.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace murtesk::video
