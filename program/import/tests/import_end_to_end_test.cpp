// A whole import through the built analysis library into the project document: a nine-channel
// recording (two groups) with its calibration file becomes one measurement whose level files hold
// what the band chain computes from the same samples, and the project file written afterwards
// reads back equal.
#include "analysis_binding.h"
#include "import_fakes.h"
#include "preserve_import.h"
#include "recordings.h"

#include "band_chain.h"
#include "band_frequency.h"
#include "model/band_slots.h"
#include "platform/dates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace murtesk::import::testing {
namespace {

// The interleaved 16-bit samples of a PCM WAV file, found by walking its chunks.
std::vector<std::int16_t> ReadPcm16(const std::string& path, int& channels)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    std::vector<std::int16_t> samples;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id(bytes.data() + at, 4);
        const std::size_t size = u32(at + 4);
        if (id == "fmt ") {
            std::uint16_t c = 0;
            std::memcpy(&c, bytes.data() + at + 10, 2);
            channels = c;
        } else if (id == "data") {
            samples.resize(std::min(size, bytes.size() - at - 8) / 2);
            std::memcpy(samples.data(), bytes.data() + at + 8, samples.size() * 2);
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

std::vector<float> ReadFloats(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<float> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

// Every slot's levels of one channel, computed by the band chain directly from the recording.
std::vector<std::vector<float>> DirectLevels(const std::vector<std::int16_t>& interleaved, int channels, int channel,
                                             double rate, const CChMeasureCondition& c, const CPreserve& preserve,
                                             const std::string& scratch)
{
    const int kind = c.oct1or3;
    const int slots = SlotCount(static_cast<std::int16_t>(kind));
    std::vector<double> corrections;
    for (int i = 1; i <= slots - 2; ++i) {
        corrections.push_back(kind == 3 ? preserve.MeasureRevise3.getdB(i) : preserve.MeasureRevise1.getdB(i));
    }
    analysis::BandChainSettings settings;
    settings.weighting = c.w > 4 ? -1 : c.w;
    settings.bandMode = static_cast<std::int16_t>(kind);
    settings.sampleRate = rate;
    settings.samplesPerBlock = static_cast<std::int32_t>(rate);
    settings.cr = c.CR;
    settings.levelOutHz = c.LevelOutHz;
    settings.lowHz = GetBandLowerHz(kind, c.StartHz);
    settings.highHz = settings.lowHz > 0.0 ? GetBandUpperHz(kind, c.EndHz) : 0.0;
    settings.lvl = c.LVL;
    settings.calRms = c.getCALrms();
    settings.corrections = corrections.data();
    auto chain = analysis::makeBandChain(settings);
    chain->reset();

    std::vector<std::string> paths;
    std::vector<std::FILE*> files;
    for (int s = 0; s < slots; ++s) {
        paths.push_back(scratch + "/direct_" + std::to_string(channel) + "_" + std::to_string(s));
        files.push_back(std::fopen(paths.back().c_str(), "wb"));
    }
    const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
    const auto block = static_cast<std::size_t>(rate);
    std::vector<double> samples(block);
    for (std::size_t b = 0; (b + 1) * block <= frames; ++b) {
        for (std::size_t j = 0; j < block; ++j) {
            samples[j] = interleaved[(b * block + j) * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)] +
                         c.ZeroPlus;
        }
        const auto n = static_cast<std::int32_t>(b + 1);
        EXPECT_TRUE(chain->compute(n, samples) && chain->write(n, files.data()));
    }
    std::vector<std::vector<float>> levels;
    for (std::size_t s = 0; s < files.size(); ++s) {
        std::fclose(files[s]);
        levels.push_back(ReadFloats(paths[s]));
    }
    return levels;
}

class PumpedWindow : public StatusWindow {
public:
    explicit PumpedWindow(StatusHandler onStatus) : window(StatusMessageHandler(std::move(onStatus))) {}
    MurteskWindow* Handle() override { return window.Handle(); }
    platform::MessageWindow window;
};

TEST(ImportEndToEnd, NineChannelsBecomeOneMeasurementThatSurvivesTheProjectFile)
{
    ScratchFolder folder;
    platform::testing::FakeUi ui;
    StatsContext context{[&folder] { return folder.Path("project/p.qvd"); }, [] { return Date{45356.5}; }};
    CPreserve preserve{context};
    preserve.SaveFilePath = folder.Path("project/p.qvd");
    preserve.MeasureRevise1.setdB(3, 1.5);
    COriginalWs originalWs;
    PreserveImportDocument document{preserve, originalWs};
    AnalysisLibrary library;

    samples::CalibrationOptions cal;
    cal.channels = 9;
    cal.seconds = 2.0;
    const std::string calPath = folder.Path("cal9.wav");
    ASSERT_TRUE(samples::writeCalibration(calPath, cal));
    samples::RecordingOptions rec;
    rec.channels = 9;
    rec.seconds = 3.0;
    const std::string recPath = folder.Path("rec9.wav");
    ASSERT_TRUE(samples::writeRecording(recPath, rec));

    PumpedWindow* pumped = nullptr;
    SetStatusWindowFactory([&pumped](StatusHandler onStatus) {
        auto w = std::make_unique<PumpedWindow>(std::move(onStatus));
        pumped = w.get();
        return w;
    });
    frmWavFileReadAD form(ui, document, library);
    ui.Load(form);
    form.txtCSVPathName.Text = calPath;
    form.lstWaveFile.AddItem(recPath);
    form.cmdNext_Click();
    ASSERT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
    ASSERT_EQ(document.ChannelCount(), 9);
    // The second group analyses in one-third octaves, C weighted, at 100 values a second.
    CChMeasureCondition& ninth = document.ChannelCondition(9);
    ninth.oct1or3 = 3;
    ninth.w = 4;
    ninth.StartHz = 20.0;
    ninth.EndHz = 5000.0;
    ninth.LevelOutHz = 100.0;

    form.cmdStart_Click();
    ASSERT_NE(pumped, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ui.IsLoaded(form) && std::chrono::steady_clock::now() < deadline) {
        pumped->window.WaitAndDeliver(std::chrono::milliseconds(50));
    }
    SetStatusWindowFactory({});
    ASSERT_FALSE(ui.IsLoaded(form)) << "the run did not end";
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"終了しました."}));
    EXPECT_TRUE(form.m_bDialogOk);

    ASSERT_EQ(preserve.Measures.count(), 1);
    const CMeasure& m = preserve.Measures.Item(1);
    EXPECT_EQ(m.MeasureCondition.Account, recPath);
    EXPECT_EQ(platform::WholeSecondsBetween(m.StartTime, m.EndTime), 3);
    const std::string memo = m.ChMeasures.Item(1).ChMeasureCondition.Account;
    EXPECT_EQ(memo.rfind(recPath + "\r\n更新日時:", 0), 0u) << memo;
    EXPECT_NE(memo.find("\r\n作成日時:" + platform::FormatDisplayDate(m.StartTime)), std::string::npos) << memo;
    // The run works on a copy: the template keeps no level file of its own.
    ASSERT_EQ(preserve.WAVMeasure.ChMeasures.count(), 9);
    EXPECT_EQ(preserve.WAVMeasure.ChMeasures.Item(9).LevelData.SaveFileName, "");
    EXPECT_EQ(preserve.WAVMeasure.ChMeasures.Item(9).ChMeasureCondition.oct1or3, 3);

    int channels = 0;
    const std::vector<std::int16_t> interleaved = ReadPcm16(recPath, channels);
    ASSERT_EQ(channels, 9);
    ASSERT_EQ(m.ChMeasures.count(), 9);
    int computedSlots = 0;
    for (int k = 1; k <= 9; ++k) {
        SCOPED_TRACE("channel " + std::to_string(k));
        const CChMeasure& ch = m.ChMeasures.Item(k);
        const CChMeasureCondition& c = ch.ChMeasureCondition;
        const int slots = SlotCount(c.oct1or3);
        EXPECT_EQ(c.BandIndex, 2);
        EXPECT_EQ(ch.CalcXYAxis.XAxisUnit, 3);
        EXPECT_EQ(ch.CalcXYAxis.YAxisMax, 100.0);  // 94 dB calibration level, to the tens, plus 10
        EXPECT_EQ(ch.CalcXYAxis.getXWidthSec(), 60);
        ASSERT_EQ(ch.BandLCalcInfos.count(), slots);
        const auto direct = DirectLevels(interleaved, channels, k - 1, 48000.0, c, preserve, folder.Folder());
        for (int s = 1; s <= slots; ++s) {
            const std::string folderOfSlot = preserve.BandFolder(c.oct1or3, static_cast<std::int16_t>(s));
            const std::vector<float> imported = ch.LevelData.getData(folderOfSlot);
            ASSERT_EQ(imported.size(), static_cast<std::size_t>(3 * c.LevelOutHz)) << "slot " << s;
            ASSERT_EQ(imported, direct[static_cast<std::size_t>(s) - 1]) << "slot " << s;
            const CBandLCalcInfo& info = ch.BandLCalcInfos.Item(s);
            EXPECT_EQ(info.AllLCalc.Scope.E.AsDouble(), static_cast<double>(imported.size())) << "slot " << s;
            // Bands outside the analysed range hold -1000 throughout, which the statistics pass over.
            const float top = *std::max_element(imported.begin(), imported.end());
            if (top >= -60.0f) {
                const auto counted = std::count_if(imported.begin(), imported.end(), [](float v) { return v >= -60.0f; });
                EXPECT_EQ(info.LCalc.getNum(), counted) << "slot " << s;
                EXPECT_EQ(info.LCalc.getLmax(), top) << "slot " << s;
                ++computedSlots;
            }
        }
    }

    EXPECT_GT(computedSlots, 9 * 10);

    ASSERT_TRUE(preserve.FileWrite(preserve.SaveFilePath));
    CPreserve reread{context};
    ASSERT_TRUE(reread.FileRead(preserve.SaveFilePath));
    EXPECT_TRUE(reread.IsMeEqualTo(preserve));
    ASSERT_EQ(reread.Measures.count(), 1);
    EXPECT_TRUE(reread.Measures.Item(1).IsMeEqualTo(m));
}

}  // namespace
}  // namespace murtesk::import::testing
