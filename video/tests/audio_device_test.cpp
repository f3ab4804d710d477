// The sound outputs: the null device takes samples at the pace a real device plays them, an interrupt cuts a
// waiting write short, and the ALSA output writes to ALSA's own "null" device.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "audio_device.h"

namespace murtesk::video {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(NullAudioDevice, TakesSamplesNoFasterThanTheyPlay)
{
    std::atomic<bool> interrupt{false};
    auto device = OpenNullAudioDevice(8000, 2, interrupt);
    const std::vector<std::int16_t> half(8000, 0);  // 0.5 s of stereo at 8 kHz
    const auto start = Clock::now();
    EXPECT_EQ(device->Write(half.data(), 4000), 4000);
    EXPECT_EQ(device->Write(half.data(), 4000), 4000);
    // A second of sound, of which the device holds at most 0.1 s: at least 0.9 s have to pass.
    EXPECT_GE(Clock::now() - start, 850ms);
    EXPECT_GT(device->Delay(), 0);
    EXPECT_LE(device->Delay(), 800);
    device->SetPaused(true);
    const long held = device->Delay();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(device->Delay(), held);  // paused: nothing more is heard
    device->Drop();
    EXPECT_EQ(device->Delay(), 0);
}

TEST(NullAudioDevice, InterruptCutsAWaitingWriteShort)
{
    std::atomic<bool> interrupt{false};
    auto device = OpenNullAudioDevice(8000, 1, interrupt);
    device->SetPaused(true);  // nothing is heard: the second write waits for room for ever
    const std::vector<std::int16_t> samples(8000, 0);
    EXPECT_EQ(device->Write(samples.data(), 800), 800);
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        interrupt = true;
    });
    EXPECT_EQ(device->Write(samples.data(), 8000), 0);
    stopper.join();
}

TEST(AlsaAudioDevice, WritesToAlsasNullDevice)
{
    std::atomic<bool> interrupt{false};
    auto device = OpenAlsaAudioDevice("null", 44100, 2, interrupt);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->rate(), 44100);
    EXPECT_EQ(device->channels(), 2);
    const std::vector<std::int16_t> samples(2 * 4410, 0);
    EXPECT_EQ(device->Write(samples.data(), 4410), 4410);
    EXPECT_GE(device->Delay(), 0);
    device->SetPaused(true);
    device->SetPaused(false);
    device->Drop();
    EXPECT_EQ(device->Write(samples.data(), 4410), 4410);
    EXPECT_EQ(OpenAlsaAudioDevice("no-such-device", 44100, 2, interrupt), nullptr);
}

}  // namespace
}  // namespace murtesk::video
