// The analysis run as the WAV import drives it: prepare, configure, start, then the status messages through a
// window whose handler runs on the test's thread while the worker waits in its send.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <thread>
#include <vector>

#include "analysis_library.h"
#include "temp_folder.h"
#include "test_window.h"
#include "wav_writer.h"

namespace murtesk::analysis {
namespace {

using testing::TempFolder;
using testing::TestWindow;
namespace fs = std::filesystem;

constexpr int kRate = 1000;  // a one-second block is 1000 frames: the runs stay fast
constexpr double kLevelOutHz = 10.0;
constexpr int kOctaveOutputs = 17;

// A sine of the given rms in every channel (16-bit sample units).
void writeTone(const std::string& path, int channels, double seconds, double rms, int rate = kRate)
{
    samples::WavFileWriter w;
    ASSERT_TRUE(w.open(path, {static_cast<uint32_t>(rate), static_cast<uint16_t>(channels),
                              samples::SampleFormat::Pcm16}));
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<double> v(frames * channels);
    for (size_t j = 0; j < frames; ++j)
        for (int c = 0; c < channels; ++c)
            v[j * channels + c] = rms * std::numbers::sqrt2 / 32768.0 * std::sin(2 * std::numbers::pi * 100.0 * j / rate);
    ASSERT_TRUE(w.append(v));
    ASSERT_TRUE(w.close());
}

std::vector<float> readLevels(const std::string& path)
{
    std::vector<float> v(fs::file_size(path) / sizeof(float));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return {};
    v.resize(std::fread(v.data(), sizeof(float), v.size(), f));
    std::fclose(f);
    return v;
}

// One analysis set up as the import does: octave bands, LVL 94 dB for an rms of 7000.
struct Analysis {
    TestWindow window;  // declared first: outlives the library, which waits for its workers
    AnalysisLibrary lib;
    TempFolder folder;
    int channels = 1;

    std::string levelFile(int channel, int output) const
    {
        return folder.file("ch" + std::to_string(channel) + "_" + std::to_string(output) + ".lvl");
    }

    bool prepare(int channelCount, const double* dcOffsets = nullptr, const std::string& tag = "")
    {
        channels = channelCount;
        if (lib.ReadPreOfWAV(channels, kRate, kRate, dcOffsets) != 1)
            return false;
        for (int c = 0; c < channels; ++c) {
            if (lib.SetCalcConditionOfWAV(c, window.handle(), -1, 1, 0.125, kLevelOutHz, nullptr, 94.0, 7000.0, 0.0,
                                          22600.6) != 1)
                return false;
            for (int o = 0; o < kOctaveOutputs; ++o)
                if (lib.SetFileOutPathOfWAV(c, o, (levelFile(c, o) + tag).c_str()) != 1)
                    return false;
        }
        return true;
    }

    int levelFilesPresent() const
    {
        int n = 0;
        for (const auto& e : fs::directory_iterator(folder.path()))
            n += e.path().extension() == ".lvl";
        return n;
    }
};

TEST(AnalysisStatus, ThreeSecondsGiveThreeBlocksThenTheEnd)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 2, 3.0, 7000.0);
    ASSERT_TRUE(a.prepare(2));
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{300, 300, 300, 9899}));
    a.lib.waitForWorkers();
    EXPECT_EQ(a.lib.GethStatusOfWAV(), 9899);
    EXPECT_EQ(a.lib.GetFileOutOrderOfWAV(0), 3);
    EXPECT_EQ(a.lib.GetFileOutOrderOfWAV(1), 3);
    for (int c = 0; c < 2; ++c)
        for (int o = 0; o < kOctaveOutputs; ++o)
            EXPECT_EQ(fs::file_size(a.levelFile(c, o)), 3 * 10 * sizeof(float)) << c << "/" << o;
    // F of a tone whose rms is the calibration rms reads the calibration level once the time weighting has
    // settled (0.125 s; the ripple of the 100 Hz tone stays within 0.1 dB).
    const auto f = readLevels(a.levelFile(0, 0));
    for (size_t k = 10; k < f.size(); ++k)
        EXPECT_NEAR(f[k], 94.0, 0.1) << k;
}

TEST(AnalysisStatus, DcOffsetsGoToTheirChannels)
{
    Analysis a;
    const std::string wav = a.folder.file("silence.wav");
    writeTone(wav, 2, 2.0, 0.0);
    const double offsets[2] = {7000.0, 700.0};
    ASSERT_TRUE(a.prepare(2, offsets));
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    const auto f0 = readLevels(a.levelFile(0, 0));
    const auto f1 = readLevels(a.levelFile(1, 0));
    ASSERT_EQ(f0.size(), 20u);
    ASSERT_EQ(f1.size(), 20u);
    // A constant 7000 is the calibration rms: 94 dB; a tenth of it 20 dB less.
    EXPECT_NEAR(f0.back(), 94.0, 0.01);
    EXPECT_NEAR(f1.back(), 74.0, 0.01);
}

// Recordings the run refuses: one final status and no level file.
struct RefusedRecording {
    const char* name;
    int channels;
    double seconds;
    int status;
};

class AnalysisRefusal : public ::testing::TestWithParam<RefusedRecording> {};

TEST_P(AnalysisRefusal, EndsWithItsStatusAndLeavesNoLevelFile)
{
    const RefusedRecording& r = GetParam();
    Analysis a;
    const std::string wav = a.folder.file(std::string(r.name) + ".wav");
    writeTone(wav, r.channels, r.seconds, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{r.status}));
    a.lib.waitForWorkers();
    EXPECT_EQ(a.levelFilesPresent(), 0);
}

INSTANTIATE_TEST_SUITE_P(AnalysisStatus, AnalysisRefusal,
                         ::testing::Values(RefusedRecording{"UnderOneBlockGivesNoData", 1, 0.999, -9801},
                                           RefusedRecording{"FileThatDoesNotMatchTheEngineFails", 2, 2.0, -9811}),
                         [](const ::testing::TestParamInfo<RefusedRecording>& info) { return info.param.name; });

TEST(AnalysisStatus, RecordingCutShortIsAnalysedOverTheBlocksPresent)
{
    Analysis a;
    const std::string wav = a.folder.file("cut.wav");
    writeTone(wav, 1, 3.0, 7000.0);
    fs::resize_file(wav, 44 + 2 * 2500);  // the header still claims three seconds
    ASSERT_TRUE(a.prepare(1));
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{300, 300, 9899}));
    a.lib.waitForWorkers();
    EXPECT_EQ(fs::file_size(a.levelFile(0, 0)), 20 * sizeof(float));
}

TEST(AnalysisStatus, RateBelowTheLevelOutputRateIsComputed)
{
    // 800 Hz at 1000 level steps per second: a second of data gives 1000 steps, interpolated between samples.
    constexpr int kLowRate = 800;
    Analysis a;
    const std::string wav = a.folder.file("low.wav");
    writeTone(wav, 1, 2.0, 7000.0, kLowRate);
    ASSERT_EQ(a.lib.ReadPreOfWAV(1, kLowRate, kLowRate, nullptr), 1);
    ASSERT_EQ(a.lib.SetCalcConditionOfWAV(0, a.window.handle(), 3, 1, 0.125, 1000.0, nullptr, 94, 7000, 0, 22600.6), 1);
    for (int o = 0; o < kOctaveOutputs; ++o)
        ASSERT_EQ(a.lib.SetFileOutPathOfWAV(0, o, a.levelFile(0, o).c_str()), 1);
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{300, 300, 9899}));
    a.lib.waitForWorkers();
    for (int o = 0; o < kOctaveOutputs; ++o)
        EXPECT_EQ(fs::file_size(a.levelFile(0, o)), 2000 * sizeof(float)) << o;
    const auto f = readLevels(a.levelFile(0, 0));
    for (size_t k = 1000; k < f.size(); ++k)
        EXPECT_NEAR(f[k], 94.0, 0.1) << k;
}

TEST(AnalysisStatus, StopAfterABlockGivesUpAndKeepsTheFiles)
{
    Analysis a;
    const std::string wav = a.folder.file("long.wav");
    writeTone(wav, 1, 10.0, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    a.window.onStatus([&](int status) {
        if (status == 300)
            a.lib.DoStopOfWAV();
    });
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{300, -9800}));
    a.lib.waitForWorkers();
    EXPECT_EQ(a.levelFilesPresent(), kOctaveOutputs);
    EXPECT_EQ(fs::file_size(a.levelFile(0, 0)), 10 * sizeof(float));
}

TEST(AnalysisStatus, StopBeforeTheFirstBlockDeletesTheFiles)
{
    Analysis a;
    const std::string wav = a.folder.file("long.wav");
    writeTone(wav, 8, 30.0, 7000.0, 8000);
    ASSERT_EQ(a.lib.ReadPreOfWAV(8, 8000, 8000, nullptr), 1);
    for (int c = 0; c < 8; ++c) {
        ASSERT_EQ(a.lib.SetCalcConditionOfWAV(c, a.window.handle(), -1, 1, 0.125, 10, nullptr, 94, 7000, 0, 22600.6), 1);
        for (int o = 0; o < kOctaveOutputs; ++o)
            ASSERT_EQ(a.lib.SetFileOutPathOfWAV(c, o, a.levelFile(c, o).c_str()), 1);
    }
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    a.lib.DoStopOfWAV();
    ASSERT_TRUE(a.window.pumpUntilFinal());
    a.lib.waitForWorkers();
    // The worker may have finished a block before it saw the request; whichever way, the files follow.
    const auto& s = a.window.statuses();
    EXPECT_EQ(s.back(), -9800);
    const bool blockDone = s.size() > 1;
    for (size_t k = 0; k + 1 < s.size(); ++k)
        EXPECT_TRUE(s[k] == 300 || s[k] == -1) << s[k];
    EXPECT_EQ(a.levelFilesPresent(), blockDone ? 8 * kOctaveOutputs : 0);
}

TEST(AnalysisStatus, StopAfterTheLastBlockEndsWithMinusOneAndKeepsTheFiles)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 1, 3.0, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    int blocks = 0;
    a.window.onStatus([&](int status) {
        if (status == 300 && ++blocks == 3)
            a.lib.DoStopOfWAV();
    });
    bool finished = false;
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    std::thread waiter([&] {
        a.lib.waitForWorkers();
        a.window.raise(finished);
    });
    const bool pumped = a.window.pumpUntilFlag(finished);
    waiter.join();
    ASSERT_TRUE(pumped);
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{300, 300, 300, -1}));
    EXPECT_EQ(a.lib.GethStatusOfWAV(), -1);
    EXPECT_EQ(fs::file_size(a.levelFile(0, 0)), 30 * sizeof(float));
}

TEST(AnalysisStatus, WithoutAWindowTheRunIsSilent)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 1, 2.0, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    ASSERT_EQ(a.lib.SethWndOfWAV(nullptr), 1);
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    a.lib.waitForWorkers();
    EXPECT_TRUE(a.window.statuses().empty());
    EXPECT_EQ(a.lib.GethStatusOfWAV(), 0);
    EXPECT_EQ(fs::file_size(a.levelFile(0, 0)), 20 * sizeof(float));
}

TEST(AnalysisStart, SecondStartWhileRunningIsRefused)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 1, 3.0, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    // The worker cannot end before its statuses are handled, so it is still running here.
    EXPECT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 0);
    EXPECT_EQ(a.lib.SetCalcConditionOfWAV(0, a.window.handle(), -1, 1, 0.125, 10, nullptr, 94, 7000, 0, 1e4), 0);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{300, 300, 300, 9899}));
}

TEST(AnalysisStart, LevelFileThatCannotBeCreatedLeavesNoFileBehind)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 2, 2.0, 7000.0);
    ASSERT_TRUE(a.prepare(2));
    ASSERT_EQ(a.lib.SetFileOutPathOfWAV(1, 5, a.folder.file("missing/x.lvl").c_str()), 1);
    EXPECT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 0);
    EXPECT_EQ(a.levelFilesPresent(), 0);
    EXPECT_EQ(a.lib.ReadStartOfWAV(a.folder.file("no-such.wav").c_str()), 0);
    EXPECT_TRUE(a.window.statuses().empty());
}

TEST(AnalysisStart, ChannelOffWritesNothingAndCountsNothing)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 2, 2.0, 7000.0);
    ASSERT_TRUE(a.prepare(2));
    ASSERT_EQ(a.lib.SetCalcConditionOfWAV(1, a.window.handle(), 0, -1, -5, 0, nullptr, 0, 0, 0, 0), 1);
    ASSERT_EQ(a.lib.SetFileOutPathOfWAV(1, 99, "ignored"), 1);
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    EXPECT_EQ(a.levelFilesPresent(), kOctaveOutputs);
    EXPECT_EQ(a.lib.GetFileOutOrderOfWAV(0), 2);
    EXPECT_EQ(a.lib.GetFileOutOrderOfWAV(1), 0);
}

// The import's pattern: the handler of a final status prepares and starts the next group at once, replacing
// the engine while the finished worker still waits in its send.
TEST(AnalysisRestart, NextGroupStartsFromTheFinalHandler)
{
    Analysis a;
    const std::string wav = a.folder.file("rec.wav");
    writeTone(wav, 1, 2.0, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    int groups = 0;
    a.window.onStatus([&](int status) {
        if (status != 9899 || ++groups == 4)
            return;
        ASSERT_TRUE(a.prepare(1, nullptr, std::to_string(groups)));
        ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    });
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntil([&] { return groups == 4; }));
    a.lib.waitForWorkers();
    EXPECT_EQ(a.window.statuses(),
              (std::vector<int>{300, 300, 9899, 300, 300, 9899, 300, 300, 9899, 300, 300, 9899}));
    EXPECT_EQ(fs::file_size(a.levelFile(0, 0) + "3"), 20 * sizeof(float));
}

TEST(AnalysisRestart, FailedRunAlsoLetsTheHandlerStartAgain)
{
    Analysis a;
    const std::string bad = a.folder.file("bad.wav");
    const std::string good = a.folder.file("good.wav");
    writeTone(bad, 3, 2.0, 7000.0);
    writeTone(good, 1, 1.0, 7000.0);
    ASSERT_TRUE(a.prepare(1));
    a.window.onStatus([&](int status) {
        if (status == -9811) {
            ASSERT_TRUE(a.prepare(1));
            ASSERT_EQ(a.lib.ReadStartOfWAV(good.c_str()), 1);
        }
    });
    ASSERT_EQ(a.lib.ReadStartOfWAV(bad.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntil([&] { return a.window.statuses().size() == 3; }));
    a.lib.waitForWorkers();
    EXPECT_EQ(a.window.statuses(), (std::vector<int>{-9811, 300, 9899}));
}

// What the exports answer without an engine and on an engine that could not be prepared.
TEST(AnalysisEngine, WithoutAnEngineAndOnAFailedOne)
{
    AnalysisLibrary lib;
    TempFolder folder;
    EXPECT_EQ(lib.GethStatusOfWAV(), -9811);
    EXPECT_EQ(lib.GetFileOutOrderOfWAV(0), -1);
    EXPECT_EQ(lib.DoStopOfWAV(), 0);
    EXPECT_EQ(lib.SethWndOfWAV(nullptr), 0);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(0, 0, "x"), 0);
    EXPECT_EQ(lib.ReadStartOfWAV("x"), 0);

    ASSERT_EQ(lib.ReadPreOfWAV(0, 1000, 1000, nullptr), 1);
    EXPECT_EQ(lib.SetCalcConditionOfWAV(0, nullptr, 3, 1, 0.125, 10, nullptr, 94, 7000, 0, 1e4), 0);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(0, 0, folder.file("a").c_str()), 0);
    EXPECT_EQ(lib.ReadStartOfWAV(folder.file("a").c_str()), 0);
    EXPECT_EQ(lib.GetFileOutOrderOfWAV(0), 0);
    EXPECT_EQ(lib.GethStatusOfWAV(), 0);
    EXPECT_EQ(lib.DoStopOfWAV(), 1);
}

// A rate or block of no samples makes no engine: ReadPreOfWAV answers 0 and leaves none (the one before is gone).
struct Layout {
    const char* name;
    double rate;
    int32_t samplesPerBlock;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

class RefusedLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(RefusedLayouts, MakeNoEngine) {
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(1, 1000, 1000, nullptr), 1);
    EXPECT_EQ(lib.ReadPreOfWAV(1, GetParam().rate, GetParam().samplesPerBlock, nullptr), 0);
    EXPECT_EQ(lib.GethStatusOfWAV(), -9811);
    EXPECT_EQ(lib.SetCalcConditionOfWAV(0, nullptr, 3, 1, 0.125, 10, nullptr, 94, 7000, 0, 1e4), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedLayouts,
                         ::testing::Values(Layout{"rate_0", 0.0, 1000}, Layout{"rate_minus_48000", -48000.0, 48000},
                                           Layout{"rate_minus_infinity", -INFINITY, 1000},
                                           Layout{"rate_nan", NAN, 1000}, Layout{"block_0", 1000.0, 0},
                                           Layout{"block_minus_1000", 1000.0, -1000}),
                         [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

struct Condition {
    const char* name;
    int bandMode;
    double cr, levelOutHz, calRms;
    int expected;
    double lvl = 94;
    double correction = 0;  // every band's
};

void PrintTo(const Condition& c, std::ostream* os)
{
    *os << c.name;
}

class ChannelConditions : public ::testing::TestWithParam<Condition> {};

TEST_P(ChannelConditions, IsAcceptedOrRefused)
{
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(2, 48000, 48000, nullptr), 1);
    const Condition& c = GetParam();
    const std::vector<double> corrections(45, c.correction);
    EXPECT_EQ(lib.SetCalcConditionOfWAV(1, nullptr, 3, c.bandMode, c.cr, c.levelOutHz, corrections.data(), c.lvl,
                                        c.calRms, 0, 2e4),
              c.expected);
    EXPECT_EQ(lib.SetCalcConditionOfWAV(2, nullptr, 3, 1, 0.125, 10, nullptr, 94, 7000, 0, 2e4), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChannelConditions,
    ::testing::Values(Condition{"octave", 1, 0.125, 10, 7000, 1}, Condition{"third", 3, 1.0, 1000.0, 7000, 1},
                      Condition{"rate_1", 1, 0.125, 1.0, 7000, 1},
                      Condition{"rate_above_1000", 1, 0.125, 1000.5, 7000, 0},
                      Condition{"half_a_step_left_over", 1, 0.125, 2.5, 7000, 0},
                      Condition{"under_half_a_step_left_over", 1, 0.125, 2.4, 7000, 1},
                      Condition{"rate_below_1", 1, 0.125, 0.5, 7000, 0},
                      Condition{"band_mode_2", 2, 0.125, 10, 7000, 0},
                      Condition{"off_ignores_the_rest", -1, NAN, -3, 0, 1},
                      Condition{"negative_time_constant", 1, -0.1, 10, 7000, 0},
                      Condition{"calibration_rms_0", 1, 0.125, 10, 0, 0},
                      Condition{"nan_rate", 3, 0.125, NAN, 7000, 0},
                      // Levels are floats: a calibration beyond ±1000 dB would make them infinite (1e308) or
                      // coarse; the bounds themselves are accepted.
                      Condition{"level_1e308", 3, 0.125, 10, 7000, 0, 1e308},
                      Condition{"level_beyond_minus_1000", 1, 0.125, 10, 7000, 0, -1000.001},
                      Condition{"level_plus_1000", 3, 0.125, 10, 1e-300, 1, 1000},
                      Condition{"correction_nan", 3, 0.125, 10, 7000, 0, 94, NAN},
                      Condition{"correction_beyond_1000", 1, 0.125, 10, 7000, 0, 94, 1000.5},
                      Condition{"correction_minus_1000", 1, 0.125, 10, 7000, 1, 94, -1000}));

TEST(ChannelOutputs, OutputNumbersFollowTheBandMode)
{
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(2, 48000, 48000, nullptr), 1);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(0, 5, "x"), 1);  // not configured: nothing to store
    ASSERT_EQ(lib.SetCalcConditionOfWAV(0, nullptr, 3, 1, 0.125, 10, nullptr, 94, 7000, 0, 2e4), 1);
    ASSERT_EQ(lib.SetCalcConditionOfWAV(1, nullptr, 3, 3, 0.125, 10, nullptr, 94, 7000, 0, 2e4), 1);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(0, 16, "x"), 1);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(0, 17, "x"), 0);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(1, 46, "x"), 1);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(1, 47, "x"), 0);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(1, -1, "x"), 0);
    EXPECT_EQ(lib.SetFileOutPathOfWAV(2, 0, "x"), 0);
    EXPECT_EQ(lib.GetFileOutOrderOfWAV(2), 0);
}

}  // namespace
}  // namespace murtesk::analysis

namespace murtesk::analysis {
namespace {

// Channels of different tones, one-third octaves with A weighting, run with the given threads per block.
struct ParallelRun {
    std::vector<int> statuses;
    std::vector<std::vector<float>> levels;  // per channel and output
};

void runChannels(int channels, int rate, int seconds, unsigned threads, ParallelRun& out) {
    constexpr int kThirdOutputs = 47;
    Analysis a;
    a.lib.setChannelThreads(threads);
    const std::string wav = a.folder.file("tones.wav");
    samples::WavFileWriter w;
    ASSERT_TRUE(
        w.open(wav, {static_cast<uint32_t>(rate), static_cast<uint16_t>(channels), samples::SampleFormat::Pcm16}));
    std::vector<double> v(static_cast<size_t>(seconds) * rate * channels);
    for (size_t j = 0; j < v.size() / channels; ++j)
        for (int c = 0; c < channels; ++c)
            v[j * channels + c] = 0.1 * (c + 1) * std::sin(2 * std::numbers::pi * 125.0 * (c + 1) * j / rate);
    ASSERT_TRUE(w.append(v));
    ASSERT_TRUE(w.close());
    ASSERT_EQ(a.lib.ReadPreOfWAV(channels, rate, rate, nullptr), 1);
    for (int c = 0; c < channels; ++c) {
        ASSERT_EQ(a.lib.SetCalcConditionOfWAV(c, a.window.handle(), 3, 3, 0.125, 10, nullptr, 94, 7000, 0, 22600.6), 1);
        for (int o = 0; o < kThirdOutputs; ++o)
            ASSERT_EQ(a.lib.SetFileOutPathOfWAV(c, o, a.levelFile(c, o).c_str()), 1);
    }
    ASSERT_EQ(a.lib.ReadStartOfWAV(wav.c_str()), 1);
    ASSERT_TRUE(a.window.pumpUntilFinal());
    a.lib.waitForWorkers();
    out.statuses = a.window.statuses();
    for (int c = 0; c < channels; ++c)
        for (int o = 0; o < kThirdOutputs; ++o)
            out.levels.push_back(readLevels(a.levelFile(c, o)));
}

struct ParallelCase {
    int channels, rate, seconds;
};

class AnalysisParallel : public ::testing::TestWithParam<ParallelCase> {};

// Eight channels of 8 kHz spread their channels over the threads; one channel of 48 kHz spreads its bands; three
// channels of 16 kHz keep each channel to a thread while the other five take bands of theirs; forty seconds of
// one 8 kHz channel run many more blocks than are in flight at once. Two runs on eight threads and one on a single
// thread write the same bytes.
TEST_P(AnalysisParallel, ThreadsGiveTheLevelsOfOneThread) {
    const auto [channels, rate, seconds] = GetParam();
    ParallelRun one, eight, again;
    runChannels(channels, rate, seconds, 1, one);
    runChannels(channels, rate, seconds, 8, eight);
    runChannels(channels, rate, seconds, 8, again);
    std::vector<int> statuses(static_cast<size_t>(seconds), 300);
    statuses.push_back(9899);
    EXPECT_EQ(one.statuses, statuses);
    EXPECT_EQ(eight.statuses, one.statuses);
    ASSERT_EQ(eight.levels.size(), one.levels.size());
    const size_t steps = static_cast<size_t>(seconds) * 10;
    for (size_t k = 0; k < one.levels.size(); ++k) {
        ASSERT_EQ(one.levels[k].size(), steps) << k;
        EXPECT_EQ(std::memcmp(eight.levels[k].data(), one.levels[k].data(), steps * sizeof(float)), 0) << k;
        EXPECT_EQ(std::memcmp(again.levels[k].data(), one.levels[k].data(), steps * sizeof(float)), 0) << k;
    }
    // Channel c holds a tone of 125 (c + 1) Hz: its band (slot 24 for 125 Hz, 19 for 375 Hz) reads well above
    // the band three below.
    const size_t c = channels > 2 ? 2 : 0, slot = c == 2 ? 19 : 24;
    EXPECT_GT(one.levels[c * 47 + slot][15], one.levels[c * 47 + slot + 3][15] + 40.0f);
}

INSTANTIATE_TEST_SUITE_P(Spread, AnalysisParallel,
                         ::testing::Values(ParallelCase{8, 8000, 2}, ParallelCase{1, 48000, 2},
                                           ParallelCase{3, 16000, 2}, ParallelCase{1, 8000, 40}));

}  // namespace
}  // namespace murtesk::analysis
