// The WAV reader against external files of many layouts and against headers built byte by byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <limits>
#include <string>
#include <vector>

#include "cal_read.h"
#include "sample_decoder.h"
#include "temp_folder.h"
#include "wav_fixture.h"
#include "wav_reader.h"

namespace murtesk::analysis {
namespace {

using testing::WavBytes;

std::filesystem::path scipyFolder()
{
    const char* root = std::getenv("MURTESK_TESTDATA");
    return std::filesystem::path(root ? root : "../shared/testdata") / "wav" / "scipy";
}

// Every external file with what the reader makes of it: either the format facts and the whole frames
// present, or the refusal.
struct ScipyCase {
    const char* file;
    WavError error;
    FmtRefusal refusal;
    int channels = 0, rate = 0, bits = 0, format = 0;
    int64_t frames = 0;
};

void PrintTo(const ScipyCase& c, std::ostream* os)
{
    *os << c.file;
}

class ScipyFiles : public ::testing::TestWithParam<ScipyCase> {};

TEST_P(ScipyFiles, GiveTheirFormatOrTheirRefusal)
{
    const ScipyCase& c = GetParam();
    WavReader reader;
    ASSERT_TRUE(reader.open((scipyFolder() / c.file).string())) << "missing test file";
    const WavError error = reader.findData();
    EXPECT_EQ(error, c.error) << describe(error);
    EXPECT_EQ(reader.fmtRefusal(), c.refusal) << describe(reader.fmtRefusal());
    if (error != WavError::None)
        return;
    EXPECT_EQ(reader.format().channels, c.channels);
    EXPECT_EQ(static_cast<int>(reader.format().sampleRate), c.rate);
    EXPECT_EQ(reader.format().bitsPerSample, c.bits);
    EXPECT_EQ(reader.format().formatCode, c.format);
    EXPECT_EQ(static_cast<int64_t>(reader.dataBytes() / reader.format().blockAlign), c.frames);
}

constexpr auto None = WavError::None;
constexpr auto Fmt = FmtRefusal::None;

INSTANTIATE_TEST_SUITE_P(
    Table, ScipyFiles,
    ::testing::Values(
        ScipyCase{"test-1234Hz-le-1ch-10S-20bit-extra.wav", WavError::BadFmt, FmtRefusal::UnsupportedBits},
        ScipyCase{"test-44100Hz-2ch-32bit-float-be.wav", WavError::BigEndian, Fmt},
        ScipyCase{"test-44100Hz-2ch-32bit-float-le.wav", None, Fmt, 2, 44100, 32, 3, 441},
        ScipyCase{"test-44100Hz-be-1ch-4bytes.wav", WavError::BigEndian, Fmt},
        ScipyCase{"test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav", WavError::ShortRead, Fmt},
        // The data chunk claims 17640 bytes; 944 are present.
        ScipyCase{"test-44100Hz-le-1ch-4bytes-early-eof.wav", None, Fmt, 1, 44100, 32, 1, 236},
        ScipyCase{"test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav", WavError::ShortRead, Fmt},
        ScipyCase{"test-44100Hz-le-1ch-4bytes-rf64.wav", None, Fmt, 1, 44100, 32, 1, 4410},
        ScipyCase{"test-44100Hz-le-1ch-4bytes.wav", None, Fmt, 1, 44100, 32, 1, 4410},
        ScipyCase{"test-48000Hz-2ch-64bit-float-le-wavex.wav", None, Fmt, 2, 48000, 64, 3, 480},
        ScipyCase{"test-8000Hz-be-3ch-5S-24bit.wav", WavError::BigEndian, Fmt},
        ScipyCase{"test-8000Hz-le-1ch-1byte-ulaw.wav", WavError::BadFmt, FmtRefusal::UnsupportedTag},
        ScipyCase{"test-8000Hz-le-2ch-1byteu.wav", None, Fmt, 2, 8000, 8, 1, 800},
        // Block alignment 4 for three 24-bit channels.
        ScipyCase{"test-8000Hz-le-3ch-5S-24bit-inconsistent.wav", WavError::BadFmt, FmtRefusal::BlockAlign},
        // The data size 0xFFFFFFFF stands for the ds64 chunk's 45 bytes.
        ScipyCase{"test-8000Hz-le-3ch-5S-24bit-rf64.wav", None, Fmt, 3, 8000, 24, 1, 5},
        ScipyCase{"test-8000Hz-le-3ch-5S-24bit.wav", None, Fmt, 3, 8000, 24, 1, 5},
        ScipyCase{"test-8000Hz-le-3ch-5S-36bit.wav", WavError::BadFmt, FmtRefusal::UnsupportedBits},
        ScipyCase{"test-8000Hz-le-3ch-5S-45bit.wav", WavError::BadFmt, FmtRefusal::UnsupportedBits},
        ScipyCase{"test-8000Hz-le-3ch-5S-53bit.wav", WavError::BadFmt, FmtRefusal::UnsupportedBits},
        ScipyCase{"test-8000Hz-le-3ch-5S-64bit.wav", None, Fmt, 3, 8000, 64, 1, 5},
        ScipyCase{"test-8000Hz-le-4ch-9S-12bit.wav", WavError::BadFmt, FmtRefusal::UnsupportedBits},
        ScipyCase{"test-8000Hz-le-5ch-9S-5bit.wav", WavError::BadFmt, FmtRefusal::UnsupportedBits}));

TEST(ScipyFiles, TableCoversEveryFile)
{
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scipyFolder()))
        files += entry.path().extension() == ".wav";
    EXPECT_EQ(files, 22u);
}

// First frames of the external files, read by hand from their bytes.
struct FirstFrame {
    const char* file;
    std::vector<double> values;  // channel by channel, frame by frame
};

void PrintTo(const FirstFrame& c, std::ostream* os)
{
    *os << c.file;
}

class ScipySamples : public ::testing::TestWithParam<FirstFrame> {};

TEST_P(ScipySamples, DecodeAsTheirBytesSay)
{
    const FirstFrame& c = GetParam();
    WavReader reader;
    ASSERT_TRUE(reader.open((scipyFolder() / c.file).string()));
    ASSERT_EQ(reader.findData(), WavError::None);
    const WavFormat& f = reader.format();
    const size_t frames = c.values.size() / f.channels;
    std::vector<uint8_t> bytes(frames * f.blockAlign);
    ASSERT_TRUE(reader.read(bytes.data(), bytes.size()));
    const SampleDecoder decoder(f);
    std::vector<double> got(frames);
    for (unsigned ch = 0; ch < f.channels; ++ch) {
        decoder.decode(bytes.data(), frames, ch, got.data());
        for (size_t j = 0; j < frames; ++j)
            EXPECT_EQ(got[j], c.values[j * f.channels + ch]) << "frame " << j << " channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScipySamples,
    ::testing::Values(
        FirstFrame{"test-8000Hz-le-3ch-5S-24bit.wav", {-8388608, -8388607, -2, -4194304, -4194303, -1}},
        FirstFrame{"test-8000Hz-le-3ch-5S-24bit-rf64.wav", {-8388608, -8388607, -2, -4194304, -4194303, -1}},
        FirstFrame{"test-8000Hz-le-3ch-5S-64bit.wav", {-9223372036854775808.0, -9223372036854775807.0, -2}},
        FirstFrame{"test-8000Hz-le-2ch-1byteu.wav", {8, 8, 61, 61}},
        FirstFrame{"test-44100Hz-le-1ch-4bytes.wav", {9538171}},
        FirstFrame{"test-44100Hz-le-1ch-4bytes-rf64.wav", {9538171}}));

WavError walk(const WavBytes& w, WavReader& reader)
{
    reader.adopt(w.open());
    return reader.findData();
}

std::vector<double> decodeChannel(WavReader& reader, unsigned channel, size_t frames)
{
    std::vector<uint8_t> bytes(frames * reader.format().blockAlign);
    if (!reader.read(bytes.data(), bytes.size()))
        return {};
    std::vector<double> out(frames);
    SampleDecoder(reader.format()).decode(bytes.data(), frames, channel, out.data());
    return out;
}

TEST(SampleConversion, EightBitIsUnsignedLess128)
{
    WavBytes w;
    w.riff().fmt(1, 1, 8000, 1, 8).data(3).raw({0, 128, 255}).riffSize();
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    EXPECT_EQ(decodeChannel(reader, 0, 3), (std::vector<double>{-128, 0, 127}));
}

TEST(SampleConversion, TwentyFourBitsSignExtend)
{
    WavBytes w;
    w.riff().fmt(1, 1, 8000, 3, 24).data(9).raw({0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF}).riffSize();
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    EXPECT_EQ(decodeChannel(reader, 0, 3), (std::vector<double>{-8388608, 8388607, -1}));
}

TEST(SampleConversion, SamplesAreReadFromTheLowBytesOfTheirContainer)
{
    // 24-bit stereo in 4-byte containers: the high byte of each container is not part of the sample.
    WavBytes w;
    w.riff().fmt(1, 2, 8000, 8, 24).data(8).raw({0x01, 0x00, 0x80, 0x55, 0xFE, 0xFF, 0xFF, 0xAA}).riffSize();
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    EXPECT_EQ(reader.format().containerBytes, 4);
    std::vector<uint8_t> bytes(8);
    ASSERT_TRUE(reader.read(bytes.data(), 8));
    double left = 0, right = 0;
    SampleDecoder decoder(reader.format());
    decoder.decode(bytes.data(), 1, 0, &left);
    decoder.decode(bytes.data(), 1, 1, &right);
    EXPECT_EQ(left, -8388607);
    EXPECT_EQ(right, -2);
}

TEST(SampleConversion, ExtensibleValidBitsAreTheLowBitsSignExtended)
{
    // 20 valid bits in 24: 0x0FFFFF is -1 when only the low 20 bits count, 0x07FFFF the largest value.
    WavBytes w;
    w.riff().fmtExtensible(1, 8000, 3, 24, 20, 1).data(6).raw({0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0x07}).riffSize();
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    EXPECT_EQ(decodeChannel(reader, 0, 2), (std::vector<double>{-1, 524287}));
}

TEST(SampleConversion, FloatsAndDcOffset)
{
    WavBytes w;
    w.riff().fmtExtensible(1, 8000, 4, 32, 0, 3).data(4).raw({0x00, 0x00, 0xC0, 0x3F}).riffSize();  // 1.5f
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    std::vector<uint8_t> bytes(4);
    ASSERT_TRUE(reader.read(bytes.data(), 4));
    double v = 0;
    SampleDecoder(reader.format()).decode(bytes.data(), 1, 0, &v, 0.25);
    EXPECT_EQ(v, 1.75);
}

// Headers that must be read, and headers that must be refused with their reason.
TEST(RiffWalk, PadByteAfterOddChunkIsSkipped)
{
    WavBytes w;
    w.riff().tag("LIST").u32(3).raw({'a', 'b', 'c', 0}).fmt(1, 1, 8000, 2, 16).data(2).raw({7, 0}).riffSize();
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    EXPECT_EQ(decodeChannel(reader, 0, 1), (std::vector<double>{7}));
}

TEST(RiffWalk, ChunkSizesAboveTwoGigabytesAreSkippedNotWrapped)
{
    // A chunk claiming 0x80000000 bytes runs past the end of the file: the walk finds no data chunk.
    WavBytes w;
    w.riff().fmt(1, 1, 8000, 2, 16).tag("junk").u32(0x80000000u).zeros(8);
    w.bytes[4] = 0xF0;
    w.bytes[5] = 0xFF;
    w.bytes[6] = 0xFF;
    w.bytes[7] = 0x8F;
    WavReader reader;
    EXPECT_EQ(walk(w, reader), WavError::ShortRead);
}

TEST(RiffWalk, Rf64TakesTheDataSizeFromDs64)
{
    WavBytes w;
    w.tag("RF64").u32(0xFFFFFFFFu).tag("WAVE");
    w.tag("ds64").u32(28).u64(0).u64(4).u64(2).u32(0);
    w.fmt(1, 1, 8000, 2, 16).data(0xFFFFFFFFu).raw({1, 0, 2, 0, 3, 0});
    const auto riffSize = w.bytes.size() - 8;
    for (int i = 0; i < 8; ++i)
        w.bytes[20 + i] = static_cast<uint8_t>(static_cast<uint64_t>(riffSize) >> (8 * i));
    WavReader reader;
    ASSERT_EQ(walk(w, reader), WavError::None);
    EXPECT_EQ(reader.dataBytes(), 4u);
    EXPECT_EQ(decodeChannel(reader, 0, 2), (std::vector<double>{1, 2}));
}

struct Refusal {
    const char* name;
    WavBytes bytes;
    WavError error;
    FmtRefusal refusal;
};

void PrintTo(const Refusal& r, std::ostream* os)
{
    *os << r.name;
}

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, WithItsReason)
{
    WavReader reader;
    EXPECT_EQ(walk(GetParam().bytes, reader), GetParam().error);
    EXPECT_EQ(reader.fmtRefusal(), GetParam().refusal);
}

Refusal refusal(const char* name, WavBytes w, WavError e, FmtRefusal r = FmtRefusal::None)
{
    if (w.bytes[4] == 0 && w.bytes[5] == 0)
        w.riffSize();
    return {name, std::move(w), e, r};
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refused,
    ::testing::Values(
        refusal("riff_size_below_4", WavBytes().tag("RIFF").u32(3).tag("WAVE"), WavError::NotWave),
        refusal("not_riff", WavBytes().tag("JUNK").u32(4).tag("ABCD"), WavError::NotWave),
        refusal("wave_form_without_riff",
                WavBytes().tag("JUNK").u32(0).tag("WAVE").fmt(1, 1, 8000, 2, 16).data(2).zeros(2), WavError::NotWave),
        refusal("riff_of_another_form",
                WavBytes().tag("RIFF").u32(0).tag("AVI ").fmt(1, 1, 8000, 2, 16).data(2).zeros(2), WavError::NotWave),
        refusal("rf64_of_another_form",
                WavBytes().tag("RF64").u32(0).tag("AVI ").fmt(1, 1, 8000, 2, 16).data(2).zeros(2), WavError::NotWave),
        refusal("rifx", WavBytes().tag("RIFX").u32(4).tag("WAVE"), WavError::BigEndian),
        refusal("riff_size_4_has_no_chunks", WavBytes().riff(), WavError::NoData),
        refusal("data_before_fmt", WavBytes().riff().data(2).raw({0, 0}), WavError::DataBeforeFmt),
        refusal("rate_0", WavBytes().riff().fmt(1, 1, 0, 2, 16), WavError::BadFmt, FmtRefusal::NoRate),
        refusal("rate_above_768000", WavBytes().riff().fmt(1, 1, 768001, 2, 16), WavError::BadFmt,
                FmtRefusal::RateTooHigh),
        refusal("no_channels", WavBytes().riff().fmt(1, 0, 8000, 2, 16), WavError::BadFmt, FmtRefusal::NoChannels),
        refusal("float_16", WavBytes().riff().fmt(3, 1, 8000, 2, 16), WavError::BadFmt, FmtRefusal::UnsupportedBits),
        refusal("container_above_8", WavBytes().riff().fmt(1, 1, 8000, 9, 64), WavError::BadFmt,
                FmtRefusal::BlockAlign),
        refusal("container_below_sample", WavBytes().riff().fmt(1, 2, 8000, 4, 24), WavError::BadFmt,
                FmtRefusal::BlockAlign),
        refusal("fmt_15_bytes", WavBytes().riff().tag("fmt ").u32(15).zeros(16), WavError::BadFmt,
                FmtRefusal::ChunkSize),
        refusal("extensible_in_18_bytes",
                WavBytes().riff().tag("fmt ").u32(18).u16(0xFFFE).u16(1).u32(8000).u32(16000).u16(2).u16(16).u16(0),
                WavError::BadFmt, FmtRefusal::ExtensionTooShort),
        refusal("valid_bits_above_bits", WavBytes().riff().fmtExtensible(1, 8000, 2, 16, 17, 1), WavError::BadFmt,
                FmtRefusal::ValidBits),
        refusal("float_with_fewer_valid_bits", WavBytes().riff().fmtExtensible(1, 8000, 4, 32, 24, 3),
                WavError::BadFmt, FmtRefusal::ValidBits),
        refusal("extensible_alaw", WavBytes().riff().fmtExtensible(1, 8000, 1, 8, 8, 6), WavError::BadFmt,
                FmtRefusal::UnknownSubFormat),
        refusal("fmt_cut_short", WavBytes().riff().tag("fmt ").u32(16).zeros(6), WavError::ShortRead)));

// The calibration probe: at most four seconds, peaks per channel, and the format even without a whole second.
std::vector<double> stereoRamp(int rate, int seconds, int loudSecond)
{
    std::vector<double> v;
    for (int s = 0; s < seconds; ++s)
        for (int j = 0; j < rate; ++j) {
            const double left = s == loudSecond ? 30000 : (j % 100) - 50;
            v.push_back(left);
            v.push_back(-left / 2);
        }
    return v;
}

WavBytes pcm16(int rate, const std::vector<double>& interleaved)
{
    WavBytes w;
    w.riff().fmt(1, 2, static_cast<uint32_t>(rate), 4, 16).data(static_cast<uint32_t>(interleaved.size() * 2));
    for (double v : interleaved)
        w.u16(static_cast<uint16_t>(static_cast<int16_t>(v)));
    return w.riffSize();
}

struct Probe {
    int32_t channels = -1, rate = -1, bits = -1, format = -1, frames = -1;
    double maxima[100] = {}, minima[100] = {};
    CalReadOutputs outputs() { return {&channels, &rate, &bits, maxima, minima, &format, &frames}; }
};

TEST(CalRead, ExaminesTheFirstFourSecondsOnly)
{
    const auto early = pcm16(1000, stereoRamp(1000, 6, 3));
    const auto late = pcm16(1000, stereoRamp(1000, 6, 4));
    Probe a, b;
    WavReader ra, rb;
    ra.adopt(early.open());
    rb.adopt(late.open());
    EXPECT_EQ(CalReadWave(ra, a.outputs()), 1);
    EXPECT_EQ(CalReadWave(rb, b.outputs()), 1);
    EXPECT_EQ(a.frames, 6000);
    EXPECT_EQ(a.maxima[0], 30000);
    EXPECT_EQ(a.minima[1], -15000);
    EXPECT_EQ(b.maxima[0], 49);
    EXPECT_EQ(b.minima[0], -50);
    EXPECT_EQ(b.maxima[1], 25);
}

TEST(CalRead, UnderOneSecondReportsTheFormatAndFails)
{
    auto ramp = stereoRamp(1000, 1, -1);
    ramp.resize(ramp.size() - 2);
    const auto w = pcm16(1000, ramp);
    Probe p;
    WavReader reader;
    reader.adopt(w.open());
    WavError error = WavError::None;
    EXPECT_EQ(CalReadWave(reader, p.outputs(), &error), 0);
    EXPECT_EQ(error, WavError::NoData);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.rate, 1000);
    EXPECT_EQ(p.bits, 16);
    EXPECT_EQ(p.format, 1);
    EXPECT_EQ(p.frames, 999);
    EXPECT_EQ(p.maxima[0], -32768);
    EXPECT_EQ(p.minima[0], 32767);
}

TEST(CalRead, DataCutShortCountsTheFramesPresent)
{
    auto w = pcm16(1000, stereoRamp(1000, 3, 0));
    w.bytes.erase(w.bytes.end() - (1000 * 4 + 2), w.bytes.end());  // a second and half a frame missing
    Probe p;
    WavReader reader;
    reader.adopt(w.open());
    EXPECT_EQ(CalReadWave(reader, p.outputs()), 1);
    EXPECT_EQ(p.frames, 1999);
    EXPECT_EQ(p.maxima[0], 30000);
}

TEST(CalRead, MoreThanAHundredChannelsIsRefused)
{
    WavBytes w;
    w.riff().fmt(1, 101, 10, 202, 16).data(2020).zeros(2020).riffSize();
    Probe p;
    WavReader reader;
    reader.adopt(w.open());
    EXPECT_EQ(CalReadWave(reader, p.outputs()), 0);
    EXPECT_EQ(p.channels, -1);
}

// A named pipe in place of a recording: its open would wait for a writer for ever, so it is refused at once.
// Should the open wait, the test opens the writing end until it returns, and fails.
TEST(WavReader, NamedPipeIsRefusedWithoutWaiting)
{
    testing::TempFolder folder;
    const std::string pipe = folder.file("rec.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    WavReader reader;
    auto opened = std::async(std::launch::async, [&] { return reader.open(pipe); });
    const bool waited = opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready;
    while (opened.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }
    EXPECT_FALSE(waited);
    EXPECT_FALSE(opened.get());
}

}  // namespace
}  // namespace murtesk::analysis
