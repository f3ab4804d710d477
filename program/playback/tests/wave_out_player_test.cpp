// The wave-out player on the fake device with the fake services' manual clock: how a span fills the
// two buffers, the feed states and turns over a playback, double speed, the watchdog, every failure
// code, and completions that come after a stop.
#include "WaveOut.h"
#include "fake_ui.h"
#include "fake_wave_out.h"
#include "globals.h"
#include "wav_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace murtesk::playback {
namespace {

using platform::testing::FakeUi;
using platform::testing::FakeWaveOut;
using namespace murtesk::testing;
using Call = FakeWaveOut::Call;

class Player : public ::testing::Test {
protected:
    Player() {
        SetWaveOutSystem(&device);
        SetWaveOutClock([this] { return ui.ElapsedMs() / 1000.0; });
        g_WaveOutDevice = -2;
        g_bWaveOutError = false;  // the player never clears it; the windows do
    }
    ~Player() override {
        StopWaveOut(*target);
        SetWaveOutSystem(nullptr);
        SetWaveOutClock({});
    }

    // A file of `samples` samples of the pattern; data holds its sample bytes.
    std::string File(std::uint32_t rate, std::uint16_t bits, std::size_t samples) {
        const std::string path = folder / "p.wav";
        WriteFile(path, MonoWav(rate, bits, samples));
        data = PatternBytes(samples * bits / 8);
        return path;
    }
    std::vector<std::uint32_t> Lengths() const {
        std::vector<std::uint32_t> lengths;
        for (const auto& w : device.Written()) {
            lengths.push_back(static_cast<std::uint32_t>(w.size()));
        }
        return lengths;
    }
    std::string Written(std::size_t i) const {
        return std::string(reinterpret_cast<const char*>(device.Written()[i].data()), device.Written()[i].size());
    }
    // The buffers written hold the file's samples one after the other.
    void ExpectConsecutive() const {
        std::size_t offset = 0;
        for (std::size_t i = 0; i < device.Written().size(); ++i) {
            EXPECT_EQ(Written(i), data.substr(offset, device.Written()[i].size())) << i;
            offset += device.Written()[i].size();
        }
    }
    // The device plays its next buffer and the completion is delivered.
    void Finish() {
        ASSERT_TRUE(device.FinishNext());
        ui.DeliverMessages();
    }

    FakeUi ui;
    FakeWaveOut device;
    TempFolder folder{"player"};
    std::unique_ptr<platform::WindowTarget> target = ui.NewWindowTarget();
    std::string data;
};

struct Span {
    std::int32_t samples;
    bool starts;
    std::int16_t state;
    std::vector<std::uint32_t> lengths;  // bytes of the buffers queued at the start
};

class PlayerSpan : public Player, public ::testing::WithParamInterface<Span> {};

TEST_P(PlayerSpan, FillsTheBuffersByTheSpansLength) {
    const std::string path = File(44100, 16, 132300);
    const Span& span = GetParam();
    EXPECT_EQ(StartWaveOut(ui, *target, path, 1, span.samples, false), span.starts);
    EXPECT_EQ(Lengths(), span.lengths);
    if (!span.starts) {
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"0.1秒以下なので再生しません."});
        EXPECT_TRUE(device.Openings().empty());
        return;
    }
    EXPECT_EQ(g_WaveOutState, span.state);
    EXPECT_EQ(g_WaveOutTurn, -2);
    EXPECT_TRUE(ui.Messages().empty());
    ASSERT_EQ(device.Openings().size(), 1u);
    const platform::WaveFormat& f = device.Openings()[0].format;
    EXPECT_EQ(device.Openings()[0].device, platform::WAVE_MAPPER);
    EXPECT_EQ(device.Openings()[0].callback, target->Handle());
    EXPECT_EQ(std::make_tuple(f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec, f.nBlockAlign,
                              f.wBitsPerSample, f.cbSize),
              std::make_tuple(1, 1, 44100u, 88200u, 2, 16, 0));
    ExpectConsecutive();
}

INSTANTIATE_TEST_SUITE_P(Spans, PlayerSpan,
                         ::testing::Values(Span{4409, false, 0, {}},              // under a tenth
                                           Span{4410, true, 2, {8820}},           // exactly a tenth
                                           Span{44100, true, 2, {88200}},         // one second: buffer 2 stays empty
                                           Span{44100 + 4410, true, 2, {88200}},  // the tenth after it is dropped
                                           Span{44100 + 4411, true, 3, {88200, 8822}},  // the second buffer short
                                           Span{132300, true, 0, {88200, 88200}}));     // more to come

struct Sequence {
    std::int32_t samples;
    // State and turn after each completion.
    std::vector<std::pair<std::int16_t, std::int16_t>> after;
    std::vector<std::uint32_t> lengths;  // every buffer queued, in order
};

class PlayerSequence : public Player, public ::testing::WithParamInterface<Sequence> {};

TEST_P(PlayerSequence, StatesAndTurnsOverThePlayback) {
    const std::string path = File(44100, 16, 176400);
    ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, GetParam().samples, false));
    for (const auto& [state, turn] : GetParam().after) {
        Finish();
        EXPECT_EQ(g_WaveOutState, state);
        EXPECT_EQ(g_WaveOutTurn, turn);
    }
    EXPECT_EQ(device.Queued(), 0u);
    EXPECT_EQ(Lengths(), GetParam().lengths);
    ExpectConsecutive();
    EXPECT_FALSE(g_bWaveOutError);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, PlayerSequence,
    ::testing::Values(Sequence{22050, {{1, 1}}, {44100}},                                 // buffer 1 alone
                      Sequence{44100 + 4411, {{3, 1}, {1, 0}}, {88200, 8822}},            // buffer 2 short
                      Sequence{88200 + 4410, {{4, 1}, {1, 0}}, {88200, 88200}},           // nothing to refill 1
                      Sequence{132300, {{0, 1}, {6, 0}, {1, 1}}, {88200, 88200, 88200}},  // nothing to refill 2
                      Sequence{154350, {{0, 1}, {5, 0}, {5, 1}, {1, 0}}, {88200, 88200, 88200, 44100}}));

TEST_F(Player, DoubleSpeedKeepsEverySecondSampleInHalfTheBytes) {
    struct Case {
        std::uint32_t rate;
        std::int32_t samples;
        std::vector<std::uint32_t> lengths;
    };
    // 44,100 samples of 16 bits: 44,100 bytes; a short run of 4,411 samples: 2,206 of them.
    // At 11,025 Hz a full run keeps 5,513 samples (11,026 bytes), a whole number.
    for (const Case& c : {Case{44100, 44100 + 4411, {44100, 4412}}, Case{11025, 11025 * 2, {11026, 11026}}}) {
        const std::string path = File(c.rate, 16, c.rate * 3);
        device.ClearRecord();
        ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, c.samples, true));
        EXPECT_EQ(Lengths(), c.lengths) << c.rate;
        std::string kept;
        for (std::size_t k = 0; k < 2u * c.lengths[0]; k += 4) {
            kept += data.substr(k, 2);
        }
        EXPECT_EQ(Written(0), kept) << c.rate;
        StopWaveOut(*target);
    }
}

TEST_F(Player, WatchdogFlagsACompletionMoreThanTwoBufferPeriodsLate) {
    const std::string path = File(44100, 16, 176400);
    for (const bool x2 : {false, true}) {
        ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 176400, x2));
        g_bWaveOutError = false;
        const long long limit = x2 ? 1000 : 2000;
        ui.AdvanceMs(limit);
        Finish();
        EXPECT_FALSE(g_bWaveOutError) << x2;
        ui.AdvanceMs(limit + 1);
        Finish();
        EXPECT_TRUE(g_bWaveOutError) << x2;
        StopWaveOut(*target);
    }
}

struct Failure {
    Call call;
    int nth;
    std::int32_t code;
    std::string message;
};

class PlayerFailure : public Player, public ::testing::WithParamInterface<Failure> {};

TEST_P(PlayerFailure, IsToldWithTheDevicesCode) {
    const std::string path = File(8000, 16, 24000);
    const Failure& f = GetParam();
    device.Fail(f.call, f.nth, f.code);
    EXPECT_FALSE(StartWaveOut(ui, *target, path, 1, 24000, false));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, f.message);
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::None);
    StopWaveOut(*target);
    EXPECT_FALSE(device.DeviceOpen());
    EXPECT_EQ(g_WaveOutOldProc, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Codes, PlayerFailure,
                         ::testing::Values(Failure{Call::Open, 1, 2, "デバイスオープン失敗！r=2"},
                                           Failure{Call::Open, 1, 4, "デバイスオープン失敗！r=4"},
                                           Failure{Call::Open, 1, 32, "デバイスオープン失敗！r=32"},
                                           Failure{Call::Open, 1, 1, "デバイスオープン失敗！r=1"},
                                           Failure{Call::Prepare, 1, 1, "再生バッファ1登録準備失敗！r=1"},
                                           Failure{Call::Prepare, 2, 11, "再生バッファ2登録準備失敗！r=11"},
                                           Failure{Call::Write, 1, 1, "再生開始失敗！r=1"},
                                           Failure{Call::Write, 2, 33, "再生開始失敗！r=33"}));

TEST_F(Player, ARefillThatCannotBeQueuedSetsTheErrorAndAMissingFileIsTheReadersMessage) {
    const std::string path = File(8000, 16, 24000);
    device.Fail(Call::Write, 3, 1);
    ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 24000, false));
    Finish();
    EXPECT_TRUE(g_bWaveOutError);
    StopWaveOut(*target);
    EXPECT_FALSE(StartWaveOut(ui, *target, folder / "none.wav", 1, 24000, false));
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Waveファイルが存在しません。\r\n" + folder / "none.wav"});
}

TEST_F(Player, CompletionsReleasedByAStopReachOnlyTheTargetsOwnProcedure) {
    const std::string path = File(8000, 16, 24000);
    ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 24000, false));
    StopWaveOut(*target);  // the reset posts both buffers as done
    StopWaveOut(*target);
    ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 24000, false));
    device.ClearRecord();
    ui.DeliverMessages();
    EXPECT_EQ(g_WaveOutTurn, -2);
    EXPECT_EQ(g_WaveOutState, 0);
    EXPECT_TRUE(device.Calls().empty());
}

TEST_F(Player, AnyDeviceNumberButMinusTwoIsPassedOnUnchanged) {
    const std::string path = File(8000, 16, 24000);
    for (const std::int32_t number : {0, 3}) {
        g_WaveOutDevice = number;
        ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 24000, false));
        StopWaveOut(*target);
        EXPECT_EQ(device.Openings().back().device, number);
    }
}

TEST_F(Player, StopWithoutAStartAndTwiceIsHarmless) {
    StopWaveOut(*target);
    const std::string path = File(8000, 16, 24000);
    ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 24000, false));
    device.ClearRecord();
    StopWaveOut(*target);
    StopWaveOut(*target);
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"reset", "unprepare", "unprepare", "close"}));
    EXPECT_TRUE(target->GetWindowProc());
}

TEST_F(Player, ARecordingCutShortWhilePlayingEndsThere) {
    const std::string path = File(8000, 16, 40000);
    ASSERT_TRUE(StartWaveOut(ui, *target, path, 1, 40000, false));
    std::filesystem::resize_file(path, 44 + 2 * 20000);  // 2.5 s left
    Finish();
    EXPECT_EQ(g_WaveOutState, 2);
    EXPECT_EQ(Lengths(), (std::vector<std::uint32_t>{16000, 16000, 8000}));
    Finish();
    Finish();
    EXPECT_EQ(g_WaveOutState, 1);
}

}  // namespace
}  // namespace murtesk::playback
