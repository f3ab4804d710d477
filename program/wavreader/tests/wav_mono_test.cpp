// The mono WAV readers on files the tests write field by field, checked through the built analysis
// library: where the samples are found, how many count, runs at the edges, and every refusal.
#include "wav_mono.h"
#include "fake_ui.h"
#include "wav_fixture.h"

#include <gtest/gtest.h>

namespace murtesk {
namespace {

using platform::MsgIcon;
using platform::testing::FakeUi;
using namespace murtesk::testing;

std::string Bytes(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

class WavMonoTest : public ::testing::Test {
protected:
    FakeUi ui;
    TempFolder folder{"wavmono"};
};

TEST_F(WavMonoTest, CanonicalFileGivesItsFormatAndRunsUpToTheLastSample) {
    const std::string path = folder / "a.wav";
    WriteFile(path, MonoWav(44100, 16, 44100));
    const std::string data = PatternBytes(88200);
    CWavMono r(ui);
    ASSERT_TRUE(r.InitInfo(path));
    EXPECT_EQ(r.getDataNum(), 44100);
    EXPECT_EQ(r.getSampHz(), 44100.0);
    EXPECT_EQ(r.getBit(), 16);
    EXPECT_EQ(r.getByteOneSample(), 2);
    EXPECT_EQ(r.getMaxV(), 32767.0);
    EXPECT_EQ(r.getMinV(), -32768.0);
    EXPECT_EQ(Bytes(r.getData()), data);
    ASSERT_TRUE(r.openWaveFile());
    std::int32_t n = 3;
    EXPECT_EQ(Bytes(r.getWaveDataArea(1, n)), data.substr(0, 6));
    EXPECT_EQ(n, 3);
    n = 10;
    EXPECT_EQ(Bytes(r.getWaveDataArea(44100, n)), data.substr(88198));
    EXPECT_EQ(n, 1);
    for (std::int32_t start : {44101, 0, -5}) {
        n = 10;
        EXPECT_EQ(r.getWaveDataArea(start, n).size(), 1u) << start;
        EXPECT_EQ(n, 0) << start;
    }
    EXPECT_TRUE(r.closeWaveFile());
    n = 3;
    EXPECT_EQ(r.getWaveDataArea(1, n).size(), 1u);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(WavMonoTest, TwentyFourBitSampleThreeStartsSixBytesIn) {
    const std::string path = folder / "b.wav";
    WriteFile(path, MonoWav(8000, 24, 8000));
    CWavMono r(ui);
    ASSERT_TRUE(r.InitInfo(path));
    ASSERT_TRUE(r.openWaveFile());
    std::int32_t n = 2;
    EXPECT_EQ(Bytes(r.getWaveDataArea(3, n)), PatternBytes(12).substr(6, 6));
    EXPECT_EQ(r.getMinV(), -8388608.0);
}

struct Layout {
    const char* name;
    std::string file;
    std::int32_t count;
    std::string firstBytes;
};

class WavMonoLayout : public WavMonoTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(WavMonoLayout, SamplesComeFromTheDataChunkAndCountWhole) {
    const std::string path = folder / "c.wav";
    WriteFile(path, GetParam().file);
    CWavMono r(ui);
    ASSERT_TRUE(r.InitInfo(path)) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(r.getDataNum(), GetParam().count);
    ASSERT_TRUE(r.openWaveFile());
    std::int32_t n = 2;
    EXPECT_EQ(Bytes(r.getWaveDataArea(1, n)), GetParam().firstBytes);
}

const std::string kData = PatternBytes(16000, 5);

INSTANTIATE_TEST_SUITE_P(
    Layouts, WavMonoLayout,
    ::testing::Values(
        // An extensible header and an odd LIST chunk (with its pad byte) before the samples.
        Layout{"Extensible",
               Riff({FmtChunk(WavFmt{0xFFFE, 1, 8000, 16}), Chunk("LIST", "INFOabc"), Chunk("data", kData)}), 8000,
               kData.substr(0, 4)},
        // A data chunk of an odd size: its last byte is no sample.
        Layout{"OddTrailingByte", Riff({FmtChunk(WavFmt{1, 1, 8000, 16}), Chunk("data", kData + "x")}), 8000,
               kData.substr(0, 4)},
        // A file cut short: the chunk's size promises more than the file holds.
        Layout{"CutShort",
               Riff({FmtChunk(WavFmt{1, 1, 8000, 16}), Chunk("data", kData + PatternBytes(1001))})
                   .substr(0, 44 + 16000 + 3),
               8001, kData.substr(0, 4)},
        Layout{"EightBit", MonoWav(8000, 8, 9000, 5), 9000, PatternBytes(2, 5)}),
    [](const ::testing::TestParamInfo<Layout>& info) { return info.param.name; });

struct Refusal {
    const char* name;
    std::string file;  // empty: no file at all
    const char* text;
    const char* title;
};

class WavMonoRefusal : public WavMonoTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WavMonoRefusal, ToldToTheUserAndTheReaderKeepsItsDefaults) {
    const std::string path = folder / "d.wav";
    if (!GetParam().file.empty()) {
        WriteFile(path, GetParam().file);
    }
    CWavMono r(ui);
    EXPECT_FALSE(r.InitInfo(path));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, std::string(GetParam().text) + "\r\n" + path);
    EXPECT_EQ(ui.Messages()[0].Title, GetParam().title);
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
    EXPECT_EQ(r.getSampHz(), 1.0);
    EXPECT_EQ(r.getBit(), 16);
    EXPECT_EQ(r.getDataNum(), 0);
    EXPECT_EQ(r.getMaxV(), 32767.0);
    EXPECT_FALSE(r.openWaveFile());
}

std::string Wav(WavFmt f, std::size_t frames) {
    return Riff({FmtChunk(f), Chunk("data", PatternBytes(frames * f.channels * f.bits / 8))});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, WavMonoRefusal,
    ::testing::Values(
        Refusal{"Missing", "", "Waveファイルが存在しません。", "エラー"},
        Refusal{"Stereo", Wav(WavFmt{1, 2, 8000, 16}, 8000), "モノラルWaveファイルでありません。", "入力訂正情報"},
        Refusal{"Float", Wav(WavFmt{3, 1, 8000, 32}, 8000), "PCM形式でありません。", "入力訂正情報"},
        Refusal{"StereoFloat", Wav(WavFmt{3, 2, 8000, 32}, 8000), "モノラルWaveファイルでありません。", "入力訂正情報"},
        Refusal{"TwelveBits", Wav(WavFmt{1, 1, 8000, 12}, 8000), "Waveファイルを読めません。", "入力訂正情報"},
        Refusal{"UnderASecond", MonoWav(8000, 16, 7999), "Waveファイルを読めません。", "入力訂正情報"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// 2^31 eight-bit samples (a sparse file): more than the sample numbers reach.
TEST_F(WavMonoTest, MoreSamplesThanThirtyTwoBitsCountIsUnreadable) {
    const std::string path = folder / "big.wav";
    const std::uint64_t data = std::uint64_t{1} << 31;
    WriteFile(path, "RIFF" + Le(data + 36, 4) + "WAVE" + FmtChunk(WavFmt{1, 1, 8000, 8}) + "data" + Le(data, 4) +
                        PatternBytes(16000));
    std::filesystem::resize_file(path, 44 + data);
    CWavMono r(ui);
    EXPECT_FALSE(r.InitInfo(path));
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Waveファイルを読めません。\r\n" + path});
}

TEST_F(WavMonoTest, AnEmptyPathIsRefusedSilently) {
    CWavMono r(ui);
    EXPECT_FALSE(r.InitInfo(""));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(WavMonoTest, SixteenBitReaderOpensFromHalfASecondAtFortyFourOneAndKeepsItsPathAsARecord) {
    CWavMono16Bit44_1kHz r;
    r.WaveFilePath = folder / "e.wav";
    EXPECT_EQ(r.getDataNum(), 0);
    EXPECT_EQ(r.getData().size(), 1u);
    WriteFile(r.WaveFilePath, MonoWav(44100, 16, 22049));
    EXPECT_EQ(r.getDataNum(), 22049);
    EXPECT_FALSE(r.openWaveFile());
    EXPECT_EQ(r.getData().size(), 1u);
    WriteFile(r.WaveFilePath, MonoWav(44100, 16, 22050));
    ASSERT_TRUE(r.openWaveFile());
    std::int32_t n = 5;
    const std::vector<std::int16_t> last = r.getWaveDataArea(22049, n);
    const std::string bytes = PatternBytes(44100);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(last.data()), 4), bytes.substr(44096));
    EXPECT_EQ(r.getData().size(), 22050u);

    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(r.MeWrite(out));
    EXPECT_EQ(out.Bytes(), Le(19660126, 4) + Le(r.WaveFilePath.size(), 4) + r.WaveFilePath);
    CWavMono16Bit44_1kHz back;
    BinaryFile in = BinaryFile::FromBytes(out.Bytes());
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(r));
    BinaryFile wrong = BinaryFile::FromBytes(Le(19660127, 4) + Le(0, 4));
    EXPECT_FALSE(back.MeRead(wrong));
}

struct Conversion {
    std::int32_t ms;
    double rate;
    std::int32_t count;
    std::int32_t sample;
};

class SampleConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(SampleConversion, RoundsHalvesToEvenAndStaysInTheFile) {
    const Conversion& c = GetParam();
    EXPECT_EQ(SampleOfMs(c.ms, c.rate, c.count), c.sample);
}

INSTANTIATE_TEST_SUITE_P(Cases, SampleConversion,
                         ::testing::Values(Conversion{0, 44100, 100000, 1}, Conversion{1000, 44100, 100000, 44100},
                                           Conversion{15, 100, 1000, 2}, Conversion{25, 100, 1000, 2},
                                           Conversion{1000, 48000, 288000, 48000},
                                           Conversion{6000, 48000, 288000, 288000},
                                           Conversion{999999, 44100, 100000, 100000}));

}  // namespace
}  // namespace murtesk
