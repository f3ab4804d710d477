// The partial playback windows on the fake device, services and clock: the play record turned into
// samples, the length shown, the cursor over a playback, the buttons and the one-shot timer, the
// messages of each failure, and the waveform's envelope.
#include "WaveOut.h"
#include "fake_ui.h"
#include "fake_wave_out.h"
#include "frmPlayPartOfWave.h"
#include "frmPlayWaveArea.h"
#include "globals.h"
#include "wav_fixture.h"
#include "wav_mono.h"
#include "wave_out_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace murtesk::playback {
namespace {

using platform::MsgIcon;
using platform::testing::FakeUi;
using platform::testing::FakeWaveOut;
using namespace murtesk::testing;

TEST(LengthText, WholeSecondsAndDaysInFront) {
    EXPECT_EQ(PartialPlayback::LengthText(44100 / 44100.0), "00時00分01秒");
    EXPECT_EQ(PartialPlayback::LengthText(90000 / 44100.0), "00時00分02秒");
    EXPECT_EQ(PartialPlayback::LengthText(2.5), "00時00分02秒");
    EXPECT_EQ(PartialPlayback::LengthText(25 * 3600.0), "1日 01時00分00秒");
    EXPECT_EQ(PartialPlayback::LengthText(37 * 3600.0), "1日 13時00分00秒");
}

class Window : public ::testing::Test {
protected:
    Window() {
        SetWaveOutSystem(&device);
        SetWaveOutClock([this] { return ui.ElapsedMs() / 1000.0; });
        g_WaveOutDevice = -2;
        g_bWaveOutError = false;
        g_PlayWavePath = folder / "rec.wav";
        WriteFile(g_PlayWavePath, MonoWav(44100, 16, 4 * 44100));
    }
    ~Window() override {
        ui.OnDoEvents({});
        SetWaveOutSystem(nullptr);
        SetWaveOutClock({});
    }

    // Shows the window over the span from..to (ms) and activates it.
    void Open(std::int32_t fromMs, std::int32_t toMs) {
        g_PlayStartMs = fromMs;
        g_PlayEndMs = toMs;
        ui.Show(form);
        ui.RunPendingActivations();
    }
    // The device plays a buffer on every tenth pass of the cursor loop (0.9 s of idle waits between).
    void PlayInRealTime() {
        ui.OnDoEvents([this] {
            if (++passes % 10 == 0) {
                device.FinishNext();
            }
        });
    }
    bool Enabled(bool start, bool x2, bool stop, bool cancel) const {
        return form.cmdStart.Enabled == start && form.cmdPlayX2.Enabled == x2 && form.cmdStop.Enabled == stop &&
               form.cmdCancel.Enabled == cancel;
    }

    FakeUi ui;
    FakeWaveOut device;
    TempFolder folder{"playwindow"};
    frmPlayPartOfWave form{ui};
    int passes = 0;
};

TEST_F(Window, OpensOnTheSpanWithTheCursorAtItsStart) {
    EXPECT_EQ(form.lblTime.Caption, "データ解析中です。　しばらくお待ちください。");
    EXPECT_EQ(form.lblTime.ForeColor, (platform::ControlColor{255, 0, 0}));
    EXPECT_EQ(form.Label1.Caption, "0");
    Open(0, 3500);
    EXPECT_EQ(g_PlayStartSample, 1);
    EXPECT_EQ(g_PlayEndSample, 154350);
    EXPECT_EQ(form.picWave.ScaleLeft, 1.0);
    EXPECT_EQ(form.picWave.ScaleWidth, 154349.0);
    EXPECT_EQ(form.picWave.ScaleTop, 32767.0);
    EXPECT_EQ(form.picWave.Inverted, std::vector<double>{1.0});
    EXPECT_EQ(form.lblTime.Caption, "00時00分04秒");  // 3.5 s, halves to even
    EXPECT_EQ(form.lblTime.ForeColor, (platform::ControlColor{0, 0, 0}));
    EXPECT_TRUE(Enabled(true, false, false, true));
    EXPECT_FALSE(ui.Busy());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(Window, AfterACompletePlaybackTheCursorStandsAtTheLastBufferAndPlaysItAgain) {
    Open(0, 3500);
    PlayInRealTime();
    form.cmdStart_Click();
    EXPECT_TRUE(Enabled(false, false, true, true));
    ui.AdvanceMs(500);  // the cursor loop runs to the end of the playback
    EXPECT_EQ(g_WaveOutState, 1);
    EXPECT_EQ(form.m_CursorSample, 1 + 3 * 44100);
    EXPECT_EQ(form.picWave.Inverted, std::vector<double>{1.0 + 3 * 44100});
    EXPECT_TRUE(Enabled(false, false, true, true));
    ui.AdvanceMs(500);
    EXPECT_TRUE(Enabled(true, true, false, true));
    EXPECT_FALSE(device.DeviceOpen());
    EXPECT_TRUE(ui.Messages().empty());

    device.ClearRecord();
    form.cmdStart_Click();
    ASSERT_EQ(device.Written().size(), 1u);
    EXPECT_EQ(device.Written()[0].size(), 2u * 22050);
}

TEST_F(Window, AShortPlaybackLeavesTheCursorWhereItWas) {
    Open(1000, 1800);
    PlayInRealTime();
    form.picWave_MouseUp(1, 50000.4, 0);
    EXPECT_EQ(form.m_CursorSample, 50000);
    form.cmdPlayX2_Click();  // as 倍速再生 would, once it is enabled
    ui.AdvanceMs(500);
    EXPECT_EQ(g_WaveOutState, 1);
    EXPECT_EQ(form.m_CursorSample, 50000);
    EXPECT_EQ(form.picWave.Inverted, std::vector<double>{50000});
}

TEST_F(Window, StopGivesTheButtonsBackAndReturnClosesHalfASecondLater) {
    Open(0, 3500);
    ui.OnDoEvents([this] {
        if (++passes == 3) {
            form.cmdStop_Click();
        }
    });
    form.cmdStart_Click();
    ui.AdvanceMs(500);
    EXPECT_FALSE(device.DeviceOpen());  // stopped at once
    EXPECT_TRUE(Enabled(false, false, true, true));
    ui.AdvanceMs(499);
    EXPECT_FALSE(form.cmdStart.Enabled);
    ui.AdvanceMs(1);
    EXPECT_TRUE(Enabled(true, true, false, true));

    passes = 0;
    ui.OnDoEvents([this] {
        if (++passes == 3) {
            form.cmdCancel_Click();
        }
    });
    form.cmdStart_Click();
    ui.AdvanceMs(500);
    EXPECT_FALSE(device.DeviceOpen());
    EXPECT_TRUE(ui.IsLoaded(form));
    ui.AdvanceMs(500);
    EXPECT_FALSE(ui.IsLoaded(form));
}

TEST_F(Window, TheCloseBoxDoesWhatReturnDoes) {
    Open(0, 3500);
    EXPECT_FALSE(ui.CloseByFrame(form));
    EXPECT_TRUE(ui.IsLoaded(form));
    ui.AdvanceMs(500);
    EXPECT_FALSE(ui.IsLoaded(form));
}

TEST_F(Window, ALateCompletionIsReportedAndClosesTheWindow) {
    Open(0, 3500);
    ui.OnDoEvents([this] {
        if (++passes == 2) {
            ui.AdvanceMs(2100);
        }
        if (passes % 10 == 2) {
            device.FinishNext();
        }
    });
    form.cmdStart_Click();
    ui.AdvanceMs(500);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "データ取り込みに失敗しました！");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
    EXPECT_FALSE(g_bWaveOutError);
    ui.AdvanceMs(500);
    EXPECT_FALSE(ui.IsLoaded(form));
}

// A sound device that takes a tenth of a second of sound, plays it at once and then fails, as ALSA
// does when the card goes away in the middle of a playback. It fails once the test lets it: a device
// that fails before the player has handed it both buffers fails the start instead.
class FailingSink final : public platform::WaveSink {
public:
    explicit FailingSink(std::shared_future<void> failNow) : failNow_(std::move(failNow)) {}
    std::uint64_t PieceFrames() const override { return 4410; }
    bool Write(const std::byte*, std::uint64_t frames) override {
        if (written_ > 0) {
            failNow_.wait();
            return false;
        }
        written_ += frames;
        return true;
    }
    std::uint64_t Played() override { return written_; }
    std::chrono::nanoseconds UntilPlayed(std::uint64_t) override { return {}; }
    void Drop() override { written_ = 0; }

private:
    std::shared_future<void> failNow_;
    std::uint64_t written_ = 0;
};

class FailingWaveOut final : public platform::WaveOut {
public:
    std::int32_t Open(std::unique_ptr<platform::WaveOutDevice>& opened, std::int32_t, const platform::WaveFormat& f,
                      MurteskWindow* callback) override {
        opened = std::make_unique<platform::ThreadedWaveOutDevice>(std::make_unique<FailingSink>(failNow_), f,
                                                                   callback);
        return platform::kWaveOutOk;
    }
    // The devices opened fail at their next write from now on.
    void Fail() { fail_.set_value(); }

private:
    std::promise<void> fail_;
    std::shared_future<void> failNow_ = fail_.get_future().share();
};

TEST_F(Window, ASoundDeviceThatFailsWhilePlayingIsReportedNotTakenAsTheEnd) {
    FailingWaveOut failing;
    SetWaveOutSystem(&failing);
    SetWaveOutClock([] { return 0.0; });  // no watchdog: the failure alone must be seen
    Open(0, 3500);
    // The device's completions come from its own thread.
    ui.OnDoEvents([] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); });
    form.cmdStart_Click();
    failing.Fail();
    ui.AdvanceMs(500);
    EXPECT_NE(g_WaveOutState, 1);
    ASSERT_EQ(ui.Messages().size(), 1u) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(ui.Messages()[0].Text, "データ取り込みに失敗しました！");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
    ui.AdvanceMs(500);
    EXPECT_FALSE(ui.IsLoaded(form));
}

TEST_F(Window, APlayerThatCannotStartGivesTheButtonsBack) {
    Open(0, 3500);
    device.Fail(FakeWaveOut::Call::Open, 1, 2);
    form.cmdStart_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"デバイスオープン失敗！r=2", "再生準備に失敗しました"}));
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Critical);
    ui.AdvanceMs(500);
    EXPECT_TRUE(Enabled(true, true, false, true));
}

TEST_F(Window, SpansThatGiveNoSamplesAndFilesTheReaderRefusesCloseTheWindow) {
    for (const auto& [fromMs, toMs] : {std::pair{1000, 1000}, std::pair{5000, 9000}}) {
        ui.ClearTranscript();
        Open(fromMs, toMs);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, "再生範囲が不適切です");
        EXPECT_EQ(ui.Messages()[0].Title, "お知らせ");
        EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
        EXPECT_FALSE(ui.IsLoaded(form));
    }
    ui.ClearTranscript();
    WriteFile(g_PlayWavePath, Riff({FmtChunk(WavFmt{1, 2, 44100, 16}), Chunk("data", PatternBytes(4 * 44100 * 4))}));
    Open(0, 1000);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"モノラルWaveファイルでありません。\r\n" + g_PlayWavePath});
    EXPECT_FALSE(ui.IsLoaded(form));
    EXPECT_FALSE(ui.Busy());
}

// ---- The second window

TEST(WaveEnvelope, BlocksOfASixtiethSeededWithTheirFirstSample) {
    TempFolder folder("envelope");
    // 600 samples: blocks of 10 looked at whole; block k holds k + 1 .. k + 10, all positive.
    std::string samples;
    for (int i = 0; i < 600; ++i) {
        samples += Le(static_cast<std::uint16_t>(i / 10 + 1 + i % 10), 2);
    }
    CWavMono16Bit44_1kHz reader;
    reader.WaveFilePath = folder / "e.wav";
    WriteFile(reader.WaveFilePath, Riff({FmtChunk(WavFmt{}), Chunk("data", samples + PatternBytes(44100))}));
    ASSERT_TRUE(reader.openWaveFile());
    const std::vector<EnvelopeLine> lines = WaveEnvelope(reader, 600);
    ASSERT_EQ(lines.size(), 60u);
    for (int k = 0; k < 60; ++k) {
        EXPECT_EQ(lines[k].x, 1 + 10 * k);
        EXPECT_EQ(lines[k].min, k + 1);
        EXPECT_EQ(lines[k].max, k + 10);
    }
}

TEST(WaveEnvelope, LongFilesTakeBlocksOfTwoSecondsAndEveryTwentiethSample) {
    TempFolder folder("envelope-long");
    // 60 blocks of 88,200 samples: block k is zero but for sample 20k + 1 (looked at) and 20k + 2 (skipped).
    std::string samples(2 * 88200 * 60, '\0');
    for (int k = 0; k < 60; ++k) {
        const std::size_t looked = static_cast<std::size_t>(88200 * k + 20 * k);
        samples.replace(2 * looked, 2, Le(1000 + k, 2));
        samples.replace(2 * (looked + 1), 2, Le(static_cast<std::uint16_t>(-30000), 2));
    }
    CWavMono16Bit44_1kHz reader;
    reader.WaveFilePath = folder / "e.wav";
    WriteFile(reader.WaveFilePath, Riff({FmtChunk(WavFmt{}), Chunk("data", samples)}));
    ASSERT_TRUE(reader.openWaveFile());
    // count / 60 is 88,201, cut to 88,200; the 61st block lies past the file's samples.
    const std::vector<EnvelopeLine> lines = WaveEnvelope(reader, 88200 * 60 + 60);
    ASSERT_EQ(lines.size(), 60u);
    for (int k = 0; k < 60; ++k) {
        EXPECT_EQ(lines[k].x, 1 + 88200 * k);
        EXPECT_EQ(lines[k].max, 1000 + k);
        EXPECT_EQ(lines[k].min, 0);
    }
}

class AreaWindow : public Window {
protected:
    frmPlayWaveArea area{ui};
};

TEST_F(AreaWindow, ShowsTheWholeFileWithDoubleSpeedAtOnceAndTheHeadersRate) {
    WriteFile(g_PlayWavePath, MonoWav(22050, 16, 3 * 22050));
    EXPECT_EQ(area.lblTime.Caption, "データ描画中です。　しばらくお待ちください。");
    ui.Show(area);
    ui.RunPendingActivations();
    EXPECT_EQ(g_PlayStartSample, 1);
    EXPECT_EQ(g_PlayEndSample, 66150);
    EXPECT_EQ(area.picWave.Lines.size(), 61u);  // blocks of 1,102 samples (1,102.5 to even)
    EXPECT_EQ(area.picWave.Lines[0].width, 10);
    EXPECT_EQ(area.picWave.Lines[0].color, (platform::ChartColor{0, 255, 0}));
    EXPECT_EQ(area.picWave.Inverted, std::vector<double>{1});
    EXPECT_EQ(area.lblTime.Caption, "00時00分03秒");
    EXPECT_TRUE(area.cmdStart.Enabled && area.cmdPlayX2.Enabled && area.cmdCancel.Enabled && !area.cmdStop.Enabled);
    ui.OnDoEvents([this] {
        if (++passes % 10 == 0) {
            device.FinishNext();
        }
    });
    area.cmdStart_Click();
    ui.AdvanceMs(500);
    EXPECT_EQ(area.m_CursorSample, 1 + 2 * 22050);  // one second of this file per buffer
}

TEST_F(AreaWindow, AFileUnderHalfASecondAtFortyFourOneCannotBeOpened) {
    WriteFile(g_PlayWavePath, MonoWav(8000, 16, 20000));
    ui.Show(area);
    ui.RunPendingActivations();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "Waveファイルをオープン出来ませんでした.");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::None);
    EXPECT_FALSE(ui.IsLoaded(area));
    device.Fail(FakeWaveOut::Call::Open, 1, 4);
    ui.ClearTranscript();
    WriteFile(g_PlayWavePath, MonoWav(44100, 16, 44100));
    frmPlayWaveArea again(ui);
    ui.Show(again);
    ui.RunPendingActivations();
    again.cmdStart_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"デバイスオープン失敗！r=4", "録音準備に失敗しました"}));
}

}  // namespace
}  // namespace murtesk::playback
