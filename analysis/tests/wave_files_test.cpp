// Splitting a recording into mono files, cutting a channel out and merging mono files back.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <thread>
#include <vector>

#include "analysis_library.h"
#include "recordings.h"
#include "temp_folder.h"
#include "test_window.h"
#include "wav_fixture.h"
#include "wave_files.h"
#include "wave_separation.h"

namespace murtesk::analysis {
namespace {

using testing::TempFolder;
using testing::TestWindow;
using testing::WavBytes;
namespace fs = std::filesystem;

std::vector<uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> samples16(const std::vector<uint8_t>& wav, size_t from = 44)
{
    std::vector<int16_t> v((wav.size() - from) / 2);
    std::memcpy(v.data(), wav.data() + from, v.size() * 2);
    return v;
}

// The header a canonical file of these sizes must have, from the generator's own writer.
std::vector<uint8_t> expectedHeader(uint32_t rate, uint16_t channels, samples::SampleFormat format, uint32_t dataBytes)
{
    return samples::canonicalHeader({rate, channels, format}, dataBytes);
}

std::vector<uint8_t> head(const std::vector<uint8_t>& bytes)
{
    return {bytes.begin(), bytes.begin() + std::min<size_t>(44, bytes.size())};
}

// A generated 3-channel 16-bit recording of 2.5 s at 8 kHz.
struct Recording {
    TempFolder folder;
    std::string path = folder.file("rec.wav");
    Recording(samples::SampleFormat format = samples::SampleFormat::Pcm16, double seconds = 2.5)
    {
        samples::RecordingOptions o;
        o.rate = 8000;
        o.channels = 3;
        o.format = format;
        o.seconds = seconds;
        o.seed = 7;
        EXPECT_TRUE(samples::writeRecording(path, o));
    }
};

TEST(Separation, SixteenBitChannelsAreCopiedExactlyInWholeSeconds)
{
    Recording rec;
    const auto source = fileBytes(rec.path);
    const auto all = samples16(source);
    const SeparationResult r =
        SeparateChannels(rec.path, [&](int c) { return SeparatedFileName(rec.folder.file(""), "ALLrec.Wav", c); });
    EXPECT_EQ(r.end, SeparationEnd::Done);
    EXPECT_EQ(r.blocks, 2);
    for (int c = 0; c < 3; ++c) {
        const auto mono = fileBytes(rec.folder.file("ALLrec_" + std::to_string(c) + "ch.Wav"));
        ASSERT_EQ(mono.size(), 44u + 2 * 16000);
        EXPECT_EQ(head(mono), expectedHeader(8000, 1, samples::SampleFormat::Pcm16, 32000));
        const auto got = samples16(mono);
        for (size_t j = 0; j < got.size(); ++j)
            ASSERT_EQ(got[j], all[j * 3 + c]) << "channel " << c << " frame " << j;
    }
}

// One block of each source format, converted by the 16-bit table.
struct Conversion {
    const char* name;
    WavBytes fmt;
    std::vector<uint8_t> data;
    std::vector<int16_t> expected;
};

void PrintTo(const Conversion& c, std::ostream* os)
{
    *os << c.name;
}

class SixteenBitTable : public ::testing::TestWithParam<Conversion> {};

TEST_P(SixteenBitTable, ConvertsEachSample)
{
    const Conversion& c = GetParam();
    TempFolder folder;
    WavBytes w;
    w.riff();
    w.bytes.insert(w.bytes.end(), c.fmt.bytes.begin(), c.fmt.bytes.end());
    w.data(static_cast<uint32_t>(c.data.size()));
    w.bytes.insert(w.bytes.end(), c.data.begin(), c.data.end());
    w.riffSize();
    ASSERT_TRUE(w.save(folder.file("in.wav")));
    const auto r = SeparateChannels(folder.file("in.wav"), [&](int) { return folder.file("out.wav"); });
    ASSERT_EQ(r.end, SeparationEnd::Done);
    EXPECT_EQ(samples16(fileBytes(folder.file("out.wav"))), c.expected);
}

std::vector<uint8_t> floats32(std::initializer_list<float> v)
{
    std::vector<uint8_t> b(v.size() * 4);
    std::memcpy(b.data(), std::data(v), b.size());
    return b;
}

std::vector<uint8_t> floats64(std::initializer_list<double> v)
{
    std::vector<uint8_t> b(v.size() * 8);
    std::memcpy(b.data(), std::data(v), b.size());
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SixteenBitTable,
    ::testing::Values(
        Conversion{"pcm8", WavBytes().fmt(1, 1, 4, 1, 8), {0, 127, 128, 255}, {-32768, -256, 0, 32512}},
        // -1 scaled by 2^-8 truncates to 0, -257 to -1.
        Conversion{"pcm24",
                   WavBytes().fmt(1, 1, 6, 3, 24),
                   {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF,
                    0xFE, 0xFF},
                   {0, 32767, -32768, 0, 1, -1}},
        Conversion{"pcm32", WavBytes().fmt(1, 1, 2, 4, 32), {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFE, 0xFF},
                   {32767, -1}},
        Conversion{"pcm64", WavBytes().fmt(1, 1, 2, 8, 64),
                   {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00},
                   {-32768, 0}},
        Conversion{"float32", WavBytes().fmt(3, 1, 7, 4, 32),
                   floats32({1.0f, -1.0f, 0.5f, -0.99999f, 2.0f, -1.5f, std::numeric_limits<float>::quiet_NaN()}),
                   {32767, -32768, 16384, -32767, 32767, -32768, 0}},
        Conversion{"float64", WavBytes().fmt(3, 1, 2, 8, 64), floats64({0.25, -0.000001}), {8192, 0}},
        // 20 valid bits in 24: scaled by 2^-4.
        Conversion{"extensible_20_in_24", WavBytes().fmtExtensible(1, 2, 3, 24, 20, 1),
                   {0xFF, 0xFF, 0x07, 0xF0, 0xFF, 0x0F}, {32767, -1}}));

TEST(Separation, UnderOneSecondGivesEmptyFilesWithValidHeaders)
{
    Recording rec(samples::SampleFormat::Pcm16, 0.9);
    const auto r = SeparateChannels(rec.path, [&](int c) { return rec.folder.file(std::to_string(c) + ".wav"); });
    EXPECT_EQ(r.end, SeparationEnd::NoData);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(fileBytes(rec.folder.file(std::to_string(c) + ".wav")),
                  expectedHeader(8000, 1, samples::SampleFormat::Pcm16, 0));
}

TEST(Separation, StopLeavesFilesWithTheSizesTheyHold)
{
    Recording rec(samples::SampleFormat::Pcm24, 3.0);
    int checks = 0;
    const auto r = SeparateChannels(
        rec.path, [&](int c) { return rec.folder.file(std::to_string(c) + ".wav"); },
        [&] { return ++checks < 4; });  // the walk's two chunks pass, then one block
    EXPECT_EQ(r.end, SeparationEnd::Stopped);
    EXPECT_EQ(r.blocks, 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(head(fileBytes(rec.folder.file(std::to_string(c) + ".wav"))),
                  expectedHeader(8000, 1, samples::SampleFormat::Pcm16, 16000));
}

TEST(Separation, SynchronousSplitNamesFilesAfterTheSource)
{
    Recording rec;
    AnalysisLibrary lib;
    const std::string prefix = rec.folder.file("ALL");
    EXPECT_EQ(lib.SeparateChWaveFile(rec.path.c_str(), prefix.c_str()), 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(fs::exists(rec.folder.file("ALLrec_" + std::to_string(c) + "ch.wav"))) << c;
    EXPECT_EQ(lib.SeparateChWaveFile(rec.folder.file("none.wav").c_str(), prefix.c_str()), 0);
}

// The import's order: the analysis of a group ends, and its final handler starts the split on the same engine.
TEST(Separation, StartsFromTheAnalysisFinalHandlerAndEndsWith9999)
{
    Recording rec;
    TestWindow window;
    AnalysisLibrary lib;
    const std::string folder = rec.folder.file("");
    ASSERT_EQ(lib.ReadPreOfWAV(3, 8000, 8000, nullptr), 1);
    for (int c = 0; c < 3; ++c)
        ASSERT_EQ(lib.SetCalcConditionOfWAV(c, window.handle(), 3, c == 0 ? 1 : -1, 0.125, 10, nullptr, 94, 7000, 0,
                                            2e4),
                  1);
    for (int o = 0; o < 17; ++o)
        ASSERT_EQ(lib.SetFileOutPathOfWAV(0, o, rec.folder.file(std::to_string(o) + ".lvl").c_str()), 1);
    window.onStatus([&](int status) {
        if (status == 9899) {
            EXPECT_EQ(lib.StartSeparateChWaveFile(window.handle(), rec.path.c_str(), "ALLrec.Wav", folder.c_str()), 1);
        }
    });
    ASSERT_EQ(lib.ReadStartOfWAV(rec.path.c_str()), 1);
    ASSERT_TRUE(window.pumpUntil([&] { return !window.statuses().empty() && window.statuses().back() == 9999; }));
    lib.waitForWorkers();
    EXPECT_EQ(window.statuses(), (std::vector<int>{300, 300, 9899, 9999}));
    EXPECT_EQ(lib.GethStatusOfWAV(), 9999);
    EXPECT_EQ(fs::file_size(rec.folder.file("ALLrec_2ch.Wav")), 44u + 32000);
}

TEST(Separation, LongJapanesePathsAreSplit)
{
    // Three folders of 40 kana: well over 259 bytes of UTF-8 in the folder and the source path.
    Recording rec;
    std::string kana;
    for (int k = 0; k < 40; ++k)
        kana += "あ";
    const fs::path deep = rec.folder.path() / kana / kana / kana;
    fs::create_directories(deep);
    const std::string source = (deep / "録音.wav").string();
    fs::copy_file(rec.path, source);
    const std::string folder = deep.string() + "/";
    const std::string name = "ALL" + kana + kana + ".Wav";
    ASSERT_GT(folder.size(), 360u);
    TestWindow window;
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(3, 8000, 8000, nullptr), 1);
    ASSERT_EQ(lib.StartSeparateChWaveFile(window.handle(), source.c_str(), name.c_str(), folder.c_str()), 1);
    ASSERT_TRUE(window.pumpUntilFinal());
    EXPECT_EQ(window.statuses(), (std::vector<int>{9999}));
    EXPECT_EQ(fs::file_size(deep / ("ALL" + kana + kana + "_2ch.Wav")), 44u + 32000);
}

TEST(Separation, StopRequestEndsWithMinusOneOrGivesUpWithValidHeaders)
{
    Recording rec(samples::SampleFormat::Pcm24, 20.0);
    TestWindow window;
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(3, 8000, 8000, nullptr), 1);
    const std::string folder = rec.folder.file("");
    ASSERT_EQ(lib.StartSeparateChWaveFile(window.handle(), rec.path.c_str(), "s.wav", folder.c_str()), 1);
    EXPECT_EQ(lib.StartSeparateChWaveFile(window.handle(), rec.path.c_str(), "t.wav", folder.c_str()), 0);
    lib.DoStopOfWAV();
    ASSERT_TRUE(window.pumpUntil([&] { return !window.statuses().empty(); }));
    lib.waitForWorkers();
    const int status = window.statuses().back();
    EXPECT_TRUE(status == -9800 || status == -1) << status;
    // A stop before the format was read leaves no file; every file there is has a true header.
    for (int c = 0; c < 3; ++c) {
        const std::string path = rec.folder.file("s_" + std::to_string(c) + "ch.wav");
        if (!fs::exists(path))
            continue;
        const auto bytes = fileBytes(path);
        ASSERT_GE(bytes.size(), 44u);
        EXPECT_EQ(head(bytes), expectedHeader(8000, 1, samples::SampleFormat::Pcm16,
                                              static_cast<uint32_t>(bytes.size() - 44)));
    }
}

TEST(Separation, UnreadableSourceFailsWith9811)
{
    TempFolder folder;
    TestWindow window;
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(1, 8000, 8000, nullptr), 1);
    const std::string dir = folder.file("");
    ASSERT_EQ(lib.StartSeparateChWaveFile(window.handle(), folder.file("none.wav").c_str(), "x.wav", dir.c_str()), 1);
    ASSERT_TRUE(window.pumpUntilFinal());
    EXPECT_EQ(window.statuses(), (std::vector<int>{-9811}));
}

// Cutting and merging: exact round trips and the span rules.
TEST(CutAndMerge, CutChannelMatchesTheSourceAndMergeRebuildsIt)
{
    Recording rec(samples::SampleFormat::Pcm24, 1.0);
    const auto source = fileBytes(rec.path);
    for (int c = 1; c <= 3; ++c) {
        const std::string out = rec.folder.file("cut" + std::to_string(c) + ".wav");
        ASSERT_EQ(CreateBigMonoWave(out.c_str(), 24, 5, 104, 3, c, 8000, rec.path.c_str()), 1);
        const auto cut = fileBytes(out);
        ASSERT_EQ(cut.size(), 44u + 300);
        EXPECT_EQ(head(cut), expectedHeader(8000, 1, samples::SampleFormat::Pcm24, 300));
        for (size_t j = 0; j < 100; ++j)
            ASSERT_EQ(std::memcmp(cut.data() + 44 + 3 * j, source.data() + 44 + (4 + j) * 9 + 3 * (c - 1), 3), 0) << j;
    }
    const std::string a = rec.folder.file("cut1.wav"), b = rec.folder.file("cut2.wav"), d = rec.folder.file("cut3.wav");
    const char* list[] = {a.c_str(), b.c_str(), d.c_str(), nullptr};
    const std::string merged = rec.folder.file("merged.wav");
    ASSERT_EQ(MergeMonoWave(merged.c_str(), 24, 1, 1000, 3, 8000, list), 1);
    const auto m = fileBytes(merged);
    EXPECT_EQ(head(m), expectedHeader(8000, 3, samples::SampleFormat::Pcm24, 900));
    EXPECT_TRUE(std::equal(m.begin() + 44, m.end(), source.begin() + 44 + 4 * 9));
}

TEST(CutAndMerge, SpanRules)
{
    Recording rec(samples::SampleFormat::Pcm16, 1.0);
    const std::string out = rec.folder.file("o.wav");
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 16, 1, 10, 3, 1, 8000, rec.path.c_str()), 1);
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 16, 1, 9, 3, 1, 8000, rec.path.c_str()), 0);
    // A last frame beyond the end cuts up to the source's last frame.
    ASSERT_EQ(CreateBigMonoWave(out.c_str(), 16, 7991, 1000000, 3, 3, 8000, rec.path.c_str()), 1);
    EXPECT_EQ(fs::file_size(out), 44u + 20);
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 16, 7992, 1000000, 3, 3, 8000, rec.path.c_str()), 0);
    // Layouts the source does not have, and bit depths outside the supported set.
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 24, 1, 100, 3, 1, 8000, rec.path.c_str()), 0);
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 16, 1, 100, 2, 1, 8000, rec.path.c_str()), 0);
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 12, 1, 100, 3, 1, 8000, rec.path.c_str()), 0);
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 16, 1, 100, 3, 4, 8000, rec.path.c_str()), 0);
    EXPECT_EQ(CreateBigMonoWave(out.c_str(), 16, 0, 100, 3, 1, 8000, rec.path.c_str()), 0);
    EXPECT_EQ(CreateBigMonoWave("/dev/full", 16, 1, 8000, 3, 1, 8000, rec.path.c_str()), 0);
}

TEST(CutAndMerge, MergeListMustHoldCountPaths)
{
    Recording rec(samples::SampleFormat::Pcm16, 1.0);
    const std::string a = rec.folder.file("a.wav");
    ASSERT_EQ(CreateBigMonoWave(a.c_str(), 16, 1, 8000, 3, 1, 8000, rec.path.c_str()), 1);
    const std::string out = rec.folder.file("m.wav");
    const char* two[] = {a.c_str(), a.c_str(), nullptr};
    EXPECT_EQ(MergeMonoWave(out.c_str(), 16, 1, 100, 2, 8000, two), 1);
    EXPECT_EQ(MergeMonoWave(out.c_str(), 16, 1, 100, 1, 8000, two), 0);
    EXPECT_EQ(MergeMonoWave(out.c_str(), 16, 1, 100, 3, 8000, two), 0);
    const char* multi[] = {rec.path.c_str(), nullptr};
    EXPECT_EQ(MergeMonoWave(out.c_str(), 16, 1, 100, 1, 8000, multi), 0);
}

// A write cut short by a full disk (a file-size limit in a child process) fails the cut and the merge and leaves
// an older file of the output's name as it was, with nothing beside it.
TEST(CutAndMerge, AFullDiskKeepsTheOldOutput)
{
    Recording rec(samples::SampleFormat::Pcm16, 1.0);
    const std::string mono = rec.folder.file("mono.wav");
    ASSERT_EQ(CreateBigMonoWave(mono.c_str(), 16, 1, 8000, 3, 1, 8000, rec.path.c_str()), 1);
    const std::string cut = rec.folder.file("cut.wav"), merged = rec.folder.file("merged.wav");
    for (const std::string& old : {cut, merged})
        std::ofstream(old, std::ios::binary) << "old";
    const auto before = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(rec.folder.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> names = before();
    const char* const list[] = {mono.c_str(), mono.c_str(), nullptr};
    EXPECT_EXIT(
        {
            testing::LimitFileSize(4096);
            const int32_t cutDone = CreateBigMonoWave(cut.c_str(), 16, 1, 8000, 3, 2, 8000, rec.path.c_str());
            const int32_t mergeDone = MergeMonoWave(merged.c_str(), 16, 1, 8000, 2, 8000, list);
            std::_Exit(cutDone == 0 && mergeDone == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(fileBytes(cut), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(fileBytes(merged), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(before(), names);
}

}  // namespace
}  // namespace murtesk::analysis
