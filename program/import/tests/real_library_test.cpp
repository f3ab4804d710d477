// The file check and a run through the built analysis library on recordings generated here.
#include "analysis_binding.h"
#include "import_fakes.h"
#include "platform/dates.h"
#include "recordings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace murtesk::import::testing {
namespace {

using Strings = std::vector<std::string>;

class RealLibrary : public ::testing::Test {
protected:
    platform::testing::FakeUi ui;
    FakeDocument document;
    AnalysisLibrary library;
    ScratchFolder folder;
    std::unique_ptr<frmWavFileReadAD> form;

    std::string Calibration(const std::string& name, double seconds, std::uint16_t channels = 2)
    {
        samples::CalibrationOptions options;
        options.channels = channels;
        options.seconds = seconds;
        options.amplitude = 0.5;
        const std::string path = folder.Path(name);
        EXPECT_TRUE(samples::writeCalibration(path, options));
        return path;
    }
    std::string Recording(const std::string& name, std::uint32_t rate, std::uint16_t channels = 2, double seconds = 3.0)
    {
        samples::RecordingOptions options;
        options.rate = rate;
        options.channels = channels;
        options.seconds = seconds;
        const std::string path = folder.Path(name);
        EXPECT_TRUE(samples::writeRecording(path, options));
        return path;
    }
    frmWavFileReadAD& Check(const std::string& cal, const std::vector<std::string>& recs)
    {
        form = std::make_unique<frmWavFileReadAD>(ui, document, library);
        ui.Load(*form);
        form->txtCSVPathName.Text = cal;
        for (const std::string& r : recs) form->lstWaveFile.AddItem(r);
        form->cmdNext_Click();
        return *form;
    }
};

TEST_F(RealLibrary, CheckFitsTheTemplateToTheCalibrationTone)
{
    frmWavFileReadAD& f = Check(Calibration("cal.wav", 2.0), {Recording("rec.wav", 48000)});
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
    ASSERT_EQ(document.ChannelCount(), 2);
    // A 1 kHz tone of half full scale sampled at 48 kHz reaches its peaks exactly: +-16383.5,
    // stored as 16-bit integers that round to 16384 and -16384 (or 16383 / -16383).
    for (const CChMeasureCondition& c : document.channels) {
        EXPECT_NEAR(c.CAL, 16383.5, 1.0);
        EXPECT_NEAR(c.ZeroPlus, 0.0, 1.0);
    }
    EXPECT_EQ(document.inHz, 48000.0);
    EXPECT_EQ(f.lblFs.Caption, "48000Hz");
    EXPECT_EQ(f.lblBit.Caption, "16bit PCM");
}

TEST_F(RealLibrary, CheckRefusesAnotherRateAndAShortCalibration)
{
    Check(Calibration("cal.wav", 2.0), {Recording("rec44.wav", 44100)});
    EXPECT_EQ(ui.MessageTexts(), (Strings{"CAL入力Waveファイルと解析対象Waveファイルの形式が一致しません。(Hz)"}));
    ui.ClearTranscript();
    Check(Calibration("cal1.wav", 2.0, 1), {Recording("rec2.wav", 48000)});
    EXPECT_EQ(ui.MessageTexts(), (Strings{"CAL入力Waveファイルと解析対象Waveファイルの形式が一致しません。(ch)"}));
    ui.ClearTranscript();
    Check(Calibration("half.wav", 0.5), {Recording("rec.wav", 48000)});
    EXPECT_EQ(ui.MessageTexts(), (Strings{"CAL入力Waveファイルを読めません。\r\n（１秒以上のデータが必要です）"}));
}

// A status window whose messages the test delivers on its own thread while it waits for the run.
class PumpedWindow : public StatusWindow {
public:
    explicit PumpedWindow(StatusHandler onStatus) : window(StatusMessageHandler(std::move(onStatus))) {}
    MurteskWindow* Handle() override { return window.Handle(); }
    platform::MessageWindow window;
};

TEST_F(RealLibrary, RunAnalysesNineChannelsInTwoGroups)
{
    PumpedWindow* pumped = nullptr;
    SetStatusWindowFactory([&pumped](StatusHandler onStatus) {
        auto w = std::make_unique<PumpedWindow>(std::move(onStatus));
        pumped = w.get();
        return w;
    });
    document.project = folder.Folder();
    for (int kind : {1, 3}) {
        for (int s = 1; s <= (kind == 3 ? 47 : 17); ++s) std::filesystem::create_directories(document.BandFolder(kind, s));
    }
    const std::string rec = Recording("rec9.wav", 48000, 9, 3.0);
    frmWavFileReadAD& f = Check(Calibration("cal9.wav", 2.0, 9), {rec});
    ASSERT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
    f.cmdStart_Click();
    ASSERT_NE(pumped, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ui.IsLoaded(f) && std::chrono::steady_clock::now() < deadline) {
        pumped->window.WaitAndDeliver(std::chrono::milliseconds(50));
    }
    SetStatusWindowFactory({});
    ASSERT_FALSE(ui.IsLoaded(f)) << "the run did not end";
    EXPECT_EQ(ui.MessageTexts(), (Strings{"終了しました."}));
    ASSERT_EQ(document.measures.size(), 1u);
    const FakeMeasure& m = *document.measures[0];
    ASSERT_EQ(m.channels.size(), 9u);
    for (int k = 1; k <= 9; ++k) {
        const FakeMeasure::Channel& c = m.channels[static_cast<std::size_t>(k) - 1];
        EXPECT_EQ(c.statisticsSlots.size(), 17u) << "channel " << k;
        // Three seconds at ten level values a second in every band file.
        const std::int64_t n = const_cast<FakeMeasure&>(m).LevelCount(k, document.BandFolder(1, 1));
        EXPECT_EQ(n, 30) << "channel " << k;
    }
    EXPECT_EQ(platform::WholeSecondsBetween(m.start, m.end), 3);
}

}  // namespace
}  // namespace murtesk::import::testing
