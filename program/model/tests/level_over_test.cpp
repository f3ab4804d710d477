#include "model/level_over.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "stats_fixture.h"

namespace murtesk {
namespace {

using Ranges = std::vector<std::pair<double, double>>;
using testing::RangesOf;

struct RunCase {
    const char* name;
    std::vector<float> levels;
    double threshold;
    std::int32_t count;  // positions asked for; more than the file holds ends at its last value
    std::int32_t chunk;
    Ranges expected;
};

class LevelOverTest : public testing::ScratchProject, public ::testing::WithParamInterface<RunCase> {};

TEST_P(LevelOverTest, RunsAtOrAboveTheThreshold) {
    const RunCase& c = GetParam();
    WriteLevels("ch.lvl", c.levels);
    CData data;
    data.SaveFileName = "ch.lvl";
    int chunks = 0;
    const auto runs = FindLevelOverScopes(data, BandDir(), c.count, c.threshold, c.chunk, [&] { return ++chunks > 0; });
    ASSERT_TRUE(runs);
    EXPECT_EQ(RangesOf(*runs), c.expected);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, LevelOverTest,
    ::testing::Values(RunCase{"TwoRuns", {79.9f, 80.0f, 80.0f, 79.0f, 85.0f}, 80.0, 5, 100, {{2, 3}, {5, 5}}},
                      RunCase{"OverAChunkBoundary", {70, 81, 82, 83, 84, 70, 90}, 80.0, 7, 2, {{2, 5}, {7, 7}}},
                      RunCase{"AllAboveInThreeChunks", {90, 90, 90, 90, 90}, 80.0, 5, 2, {{1, 5}}},
                      RunCase{"NoneAbove", {10, 20, 30}, 80.0, 3, 1, {}},
                      RunCase{"NotANumberBreaksARun", {90, kNaN, 90}, 80.0, 3, 3, {{1, 1}, {3, 3}}},
                      RunCase{"ShortFileEndsTheOpenRunOnce", {70, 90, 90}, 80.0, 10, 2, {{2, 3}}},
                      RunCase{"NothingToRead", {}, 80.0, 0, 4, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class LevelOverStopTest : public testing::ScratchProject {};

TEST_F(LevelOverStopTest, StopsBeforeTheChunkItIsToldTo) {
    WriteLevels("ch.lvl", {90, 90, 90, 90});
    CData data;
    data.SaveFileName = "ch.lvl";
    int chunks = 0;
    EXPECT_FALSE(FindLevelOverScopes(data, BandDir(), 4, 80.0, 2, [&] { return ++chunks < 2; }));
    EXPECT_EQ(chunks, 2);
}

}  // namespace
}  // namespace murtesk
