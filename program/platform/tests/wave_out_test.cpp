// The wave-out devices: the null device's real-time pace, the header rules and Reset shared by the
// threaded devices, and the ALSA path on ALSA's own "null" PCM for every sample size.
#include "wave_out.h"
#include "message_window.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace murtesk::platform {
namespace {

using Clock = std::chrono::steady_clock;

struct Done {
    std::uintptr_t device;
    WaveHeader* header;
};

// A callback window that keeps every MM_WOM_DONE it is given, on this thread.
struct Listener {
    std::vector<Done> done;
    MessageWindow window{[this](std::uint32_t message, std::uintptr_t w, std::intptr_t l) -> std::intptr_t {
        if (message == MM_WOM_DONE) {
            done.push_back(Done{w, reinterpret_cast<WaveHeader*>(l)});
        }
        return 0;
    }};

    // Delivers messages until n have come or the time is up.
    bool WaitFor(std::size_t n, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        const auto end = Clock::now() + limit;
        while (done.size() < n && Clock::now() < end) {
            window.WaitAndDeliver(std::chrono::milliseconds(5));
        }
        return done.size() >= n;
    }
};

WaveFormat Mono(std::uint32_t rate, std::uint16_t bits) {
    WaveFormat f;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<std::uint16_t>(bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

struct Buffer {
    std::vector<std::byte> data;
    WaveHeader header;
    explicit Buffer(std::size_t bytes) : data(bytes) {
        header.lpData = data.data();
        header.dwBufferLength = static_cast<std::uint32_t>(bytes);
    }
};

TEST(NullWaveOut, PlaysEachBufferInRealTimeAndReportsThemInOrder) {
    auto system = MakeNullWaveOut();
    Listener listener;
    std::unique_ptr<WaveOutDevice> device;
    ASSERT_EQ(system->Open(device, WAVE_MAPPER, Mono(8000, 16), listener.window.Handle()), kWaveOutOk);
    Buffer a(1600);  // 0.1 s each
    Buffer b(1600);
    ASSERT_EQ(device->PrepareHeader(a.header), kWaveOutOk);
    ASSERT_EQ(device->PrepareHeader(b.header), kWaveOutOk);
    const auto start = Clock::now();
    ASSERT_EQ(device->Write(a.header), kWaveOutOk);
    ASSERT_EQ(device->Write(b.header), kWaveOutOk);
    ASSERT_TRUE(listener.WaitFor(2));
    // Both buffers take their 0.2 s; the slack is for a loaded machine.
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GE(seconds, 0.195);
    EXPECT_LT(seconds, 2.0);
    ASSERT_EQ(listener.done.size(), 2u);
    EXPECT_EQ(listener.done[0].header, &a.header);
    EXPECT_EQ(listener.done[1].header, &b.header);
    EXPECT_EQ(listener.done[0].device, device->Handle());
    EXPECT_EQ(a.header.dwFlags, kWhdrPrepared | kWhdrDone);
    EXPECT_EQ(device->Close(), kWaveOutOk);
}

TEST(NullWaveOut, HeaderRulesAndResetReleasingTheQueue) {
    auto system = MakeNullWaveOut();
    Listener listener;
    std::unique_ptr<WaveOutDevice> device;
    ASSERT_EQ(system->Open(device, 3, Mono(8000, 8), listener.window.Handle()), kWaveOutOk);
    Buffer a(80000);  // 10 s each: nothing finishes by itself here
    Buffer b(80000);
    WaveHeader empty;
    EXPECT_EQ(device->PrepareHeader(empty), kWaveOutBadParam);
    EXPECT_EQ(device->Write(a.header), kWaveOutUnprepared);
    ASSERT_EQ(device->PrepareHeader(a.header), kWaveOutOk);
    ASSERT_EQ(device->PrepareHeader(b.header), kWaveOutOk);
    ASSERT_EQ(device->Write(a.header), kWaveOutOk);
    ASSERT_EQ(device->Write(b.header), kWaveOutOk);
    EXPECT_EQ(device->Write(a.header), kWaveOutStillPlaying);
    EXPECT_EQ(device->UnprepareHeader(a.header), kWaveOutStillPlaying);
    EXPECT_EQ(device->Close(), kWaveOutStillPlaying);

    EXPECT_EQ(device->Reset(), kWaveOutOk);
    // Reset has posted both releases before it returned.
    EXPECT_EQ(listener.window.DeliverPending(), 2u);
    ASSERT_EQ(listener.done.size(), 2u);
    EXPECT_EQ(listener.done[0].header, &a.header);
    EXPECT_EQ(listener.done[1].header, &b.header);
    EXPECT_EQ(device->UnprepareHeader(a.header), kWaveOutOk);
    EXPECT_EQ(a.header.dwFlags, kWhdrDone);
    EXPECT_EQ(device->Close(), kWaveOutOk);
    EXPECT_EQ(listener.window.DeliverPending(), 0u);
}

TEST(NullWaveOut, RefusesWhatIsNotMonoPcm) {
    auto system = MakeNullWaveOut();
    std::unique_ptr<WaveOutDevice> device;
    WaveFormat stereo = Mono(44100, 16);
    stereo.nChannels = 2;
    WaveFormat twelve = Mono(44100, 16);
    twelve.wBitsPerSample = 12;
    WaveFormat floating = Mono(44100, 32);
    floating.wFormatTag = 3;
    for (const WaveFormat& f : {stereo, twelve, floating}) {
        EXPECT_EQ(system->Open(device, WAVE_MAPPER, f, nullptr), kWaveOutBadFormat);
        EXPECT_EQ(device, nullptr);
    }
}

class AlsaNullPcm : public ::testing::TestWithParam<std::uint16_t> {};

// ALSA's file plugin over its "null" PCM keeps the bytes that reached ALSA: the samples as they are, a
// 64-bit sample as its high 32 bits.
TEST_P(AlsaNullPcm, PlaysEverySampleSizeAndHandsAlsaItsSamples) {
    const std::uint16_t bits = GetParam();
    const test_support::ScratchFolder scratch("alsa");
    const std::string raw = scratch.file("alsa_" + std::to_string(bits) + ".raw");
    auto system = MakeAlsaWaveOut("file:FILE=" + raw + ",FORMAT=raw");
    Listener listener;
    std::unique_ptr<WaveOutDevice> device;
    ASSERT_EQ(system->Open(device, WAVE_MAPPER, Mono(44100, bits), listener.window.Handle()), kWaveOutOk);
    Buffer a(4410u * bits / 8);
    Buffer b(441u * bits / 8);
    for (std::size_t i = 0; i < a.data.size(); ++i) {
        a.data[i] = static_cast<std::byte>(i * 7 + 1);
    }
    ASSERT_EQ(device->PrepareHeader(a.header), kWaveOutOk);
    ASSERT_EQ(device->PrepareHeader(b.header), kWaveOutOk);
    ASSERT_EQ(device->Write(a.header), kWaveOutOk);
    ASSERT_EQ(device->Write(b.header), kWaveOutOk);
    ASSERT_TRUE(listener.WaitFor(2));
    EXPECT_EQ(listener.done[0].header, &a.header);
    EXPECT_EQ(listener.done[1].header, &b.header);
    EXPECT_EQ(device->Close(), kWaveOutOk);
    device.reset();

    std::ifstream in(raw, std::ios::binary);
    const std::vector<char> got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<char> expected;
    for (const Buffer* buffer : {&a, &b}) {
        for (std::size_t i = 0; i < buffer->data.size(); ++i) {
            if (bits != 64 || i % 8 >= 4) {
                expected.push_back(static_cast<char>(buffer->data[i]));
            }
        }
    }
    EXPECT_EQ(got, expected);
}

INSTANTIATE_TEST_SUITE_P(Bits, AlsaNullPcm, ::testing::Values(8, 16, 24, 32, 64));

TEST(AlsaWaveOut, AMissingCardIsNoDevice) {
    auto system = MakeAlsaWaveOut();
    std::unique_ptr<WaveOutDevice> device;
    EXPECT_EQ(system->Open(device, 31, Mono(44100, 16), nullptr), kWaveOutNoDevice);
    EXPECT_EQ(device, nullptr);
}

}  // namespace
}  // namespace murtesk::platform
