// The sample recordings: the same bytes for the same seed, a calibration tone of the stated level, and a
// recording whose level rises and falls as vehicles pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "recordings.h"
#include "scratch_folder.h"

namespace murtesk::samples {
namespace {

namespace fs = std::filesystem;

struct Scratch : test_support::ScratchFolder {
    Scratch() : ScratchFolder("samples") {}
};

std::vector<uint8_t> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> pcm16(const std::vector<uint8_t>& wav)
{
    std::vector<int16_t> v((wav.size() - 44) / 2);
    std::memcpy(v.data(), wav.data() + 44, v.size() * 2);
    return v;
}

TEST(Recordings, SameSeedSameBytesOtherSeedOtherBytes)
{
    Scratch s;
    RecordingOptions o;
    o.rate = 8000;
    o.seconds = 4.0;
    o.channels = 2;
    ASSERT_TRUE(writeRecording(s.file("a.wav"), o));
    ASSERT_TRUE(writeRecording(s.file("b.wav"), o));
    o.seed = 2;
    ASSERT_TRUE(writeRecording(s.file("c.wav"), o));
    const auto a = bytesOf(s.file("a.wav"));
    EXPECT_EQ(a.size(), 44u + 4 * 8000 * 2 * 2);
    EXPECT_EQ(a, bytesOf(s.file("b.wav")));
    EXPECT_NE(a, bytesOf(s.file("c.wav")));
}

TEST(Recordings, CalibrationToneHasTheStatedRmsAndPeak)
{
    Scratch s;
    CalibrationOptions o;
    o.rate = 48000;
    o.seconds = 1.0;
    o.amplitude = 0.25;
    ASSERT_TRUE(writeCalibration(s.file("cal.wav"), o));
    const auto v = pcm16(bytesOf(s.file("cal.wav")));
    ASSERT_EQ(v.size(), 48000u);
    double sum = 0;
    for (int16_t x : v)
        sum += static_cast<double>(x) * x;
    // 0.25 of full scale: peak 8192, rms 8192 / √2 = 5792.6 (rounding to whole samples moves it by < 0.1).
    EXPECT_NEAR(std::sqrt(sum / v.size()), 5792.6, 0.1);
    EXPECT_NEAR(calibrationRms(o), 5792.62, 0.01);
    EXPECT_EQ(*std::max_element(v.begin(), v.end()), 8192);
    EXPECT_EQ(*std::min_element(v.begin(), v.end()), -8192);
}

TEST(Recordings, VehiclesMakeTheLevelSwell)
{
    RecordingOptions o;
    o.rate = 8000;
    o.channels = 1;
    o.seconds = 120.0;
    RecordingSynth synth(o);
    ASSERT_FALSE(synth.passes().empty());
    std::vector<double> second;
    double quietest = 1e9, loudest = 0;
    for (int k = 0; k < 120; ++k) {
        synth.fill(8000, second);
        double sum = 0;
        for (double x : second)
            sum += x * x;
        const double db = 10 * std::log10(sum / second.size());
        quietest = std::min(quietest, db);
        loudest = std::max(loudest, db);
    }
    EXPECT_GT(loudest - quietest, 10.0);
}

}  // namespace
}  // namespace murtesk::samples
