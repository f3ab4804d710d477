// The library at the limits of memory and disk. This test program replaces the global operator new so that it
// can see the largest request and refuse those above a limit, without the memory being taken: nothing may be
// sized from a header field before the data is known to be there, and set-up passes a failed allocation through
// as its failure. A child process under a file-size limit shows that a level file whose bytes fail only at its
// close fails the run.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <new>
#include <vector>

#include "analysis_library.h"
#include "temp_folder.h"
#include "test_window.h"
#include "wav_fixture.h"

namespace {

std::atomic<std::size_t> g_largest{0};
std::atomic<std::size_t> g_limit{std::numeric_limits<std::size_t>::max()};

}  // namespace

void* operator new(std::size_t size)
{
    std::size_t seen = g_largest.load();
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
    if (size > g_limit.load())
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace murtesk::analysis {
namespace {

using testing::TempFolder;
using testing::WavBytes;

constexpr std::size_t kLimit = 64u << 20;  // far above what any of these calls needs

// Refuses requests above `limit` while it lives, and reports the largest request made meanwhile.
class AllocationWatch {
public:
    explicit AllocationWatch(std::size_t limit)
    {
        g_largest = 0;
        g_limit = limit;
    }
    ~AllocationWatch() { g_limit = std::numeric_limits<std::size_t>::max(); }
    std::size_t largest() const { return g_largest.load(); }
};

// A kilobyte file whose header claims `rate` Hz for `channels` channels of 8-byte samples.
std::string writeClaim(const TempFolder& folder, uint32_t rate, uint16_t channels)
{
    const auto align = static_cast<uint16_t>(8 * channels);
    WavBytes w;
    w.riff().fmt(1, channels, rate, align, 64).data(1000);
    w.zeros(1024 - w.bytes.size()).riffSize();
    const std::string path = folder.file("claim.wav");
    EXPECT_TRUE(w.save(path));
    return path;
}

struct SizedCall {
    const char* name;
    std::function<int32_t(AnalysisLibrary&, const TempFolder&)> call;
};

void PrintTo(const SizedCall& c, std::ostream* os)
{
    *os << c.name;
}

class SizedFromTheHeader : public ::testing::TestWithParam<SizedCall> {};

TEST_P(SizedFromTheHeader, TakesNoMemoryForAbsentDataAndFails)
{
    TempFolder folder;
    AnalysisLibrary lib;
    AllocationWatch watch(kLimit);
    EXPECT_EQ(GetParam().call(lib, folder), 0);
    EXPECT_LE(watch.largest(), kLimit);
}

int32_t separate(AnalysisLibrary& lib, const TempFolder& folder, uint32_t rate, uint16_t channels)
{
    const std::string path = writeClaim(folder, rate, channels);
    return lib.SeparateChWaveFile(path.c_str(), folder.file("ALL").c_str());
}

int32_t probe(AnalysisLibrary& lib, const TempFolder& folder, uint32_t rate)
{
    const std::string path = writeClaim(folder, rate, 1);
    int32_t channels = 0, r = 0, bits = 0, format = 0, frames = 0;
    std::vector<double> maxima(100), minima(100);
    return lib.CALReadOfWAV(path.c_str(), &channels, &r, &bits, maxima.data(), minima.data(), &format, &frames);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SizedFromTheHeader,
    ::testing::Values(
        SizedCall{"split_of_a_file_claiming_2147483647_hz",
                  [](AnalysisLibrary& lib, const TempFolder& f) { return separate(lib, f, 2147483647u, 1); }},
        SizedCall{"split_of_a_file_claiming_768000_hz_of_100_channels",
                  [](AnalysisLibrary& lib, const TempFolder& f) { return separate(lib, f, 768000u, 100); }},
        SizedCall{"probe_of_a_file_claiming_2147483647_hz",
                  [](AnalysisLibrary& lib, const TempFolder& f) { return probe(lib, f, 2147483647u); }},
        SizedCall{"engine_of_1e8_hz",
                  [](AnalysisLibrary& lib, const TempFolder&) {
                      return lib.ReadPreOfWAV(1, 1e8, 100000000, nullptr) +
                             lib.SetCalcConditionOfWAV(0, nullptr, 3, 3, 0.125, 10, nullptr, 94, 7000, 0, 2e4);
                  }},
        SizedCall{"engine_of_48000_hz_in_blocks_of_1e8",
                  [](AnalysisLibrary& lib, const TempFolder&) {
                      return lib.ReadPreOfWAV(1, 48000, 100000000, nullptr);
                  }}));

TEST(SetUp, WithoutMemoryForTheChannelIsRefused)
{
    AnalysisLibrary lib;
    ASSERT_EQ(lib.ReadPreOfWAV(1, 48000, 48000, nullptr), 1);
    {
        AllocationWatch watch(64u << 10);  // a channel at 48 kHz needs a block of doubles
        EXPECT_EQ(lib.SetCalcConditionOfWAV(0, nullptr, 3, 3, 0.125, 10, nullptr, 94, 7000, 0, 2e4), 0);
    }
    EXPECT_EQ(lib.SetFileOutPathOfWAV(0, 0, "x"), 1);  // the channel stayed off: nothing to store
    EXPECT_EQ(lib.SetCalcConditionOfWAV(0, nullptr, 3, 3, 0.125, 10, nullptr, 94, 7000, 0, 2e4), 1);
}

// Under a file-size limit of 0 every byte written fails; the 40 bytes of each level file of a one-second run stay
// in the file's buffer until it is closed, so only the close can see it.
TEST(FileSizeLimit, LevelFilesFailingAtTheirCloseFailTheRunAndAreDeleted)
{
    TempFolder folder;
    const std::string wav = folder.file("rec.wav");
    WavBytes w;
    w.riff().fmt(1, 1, 1000, 2, 16).data(2000);
    for (int j = 0; j < 1000; ++j)
        w.u16(static_cast<uint16_t>(j % 2 ? 7000 : -7000));
    ASSERT_TRUE(w.riffSize().save(wav));
    const auto levelFile = [&](int output) { return folder.file(std::to_string(output) + ".lvl"); };

    EXPECT_EXIT(
        {
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            const rlim_t unlimited = limit.rlim_cur;
            limit.rlim_cur = 0;
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_IGN);
            testing::TestWindow window;
            AnalysisLibrary lib;
            lib.ReadPreOfWAV(1, 1000, 1000, nullptr);
            lib.SetCalcConditionOfWAV(0, window.handle(), -1, 1, 0.125, 10, nullptr, 94, 7000, 0, 22600.6);
            for (int o = 0; o < 17; ++o)
                lib.SetFileOutPathOfWAV(0, o, levelFile(o).c_str());
            lib.ReadStartOfWAV(wav.c_str());
            window.pumpUntilFinal();
            lib.waitForWorkers();
            limit.rlim_cur = unlimited;  // the report goes through a file
            setrlimit(RLIMIT_FSIZE, &limit);
            std::fprintf(stderr, "statuses:");
            for (int status : window.statuses())
                std::fprintf(stderr, " %d", status);
            std::fprintf(stderr, " end\n");
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "statuses: 300 -9811 end");
    for (int o = 0; o < 17; ++o)
        EXPECT_FALSE(std::filesystem::exists(levelFile(o))) << o;
}

}  // namespace
}  // namespace murtesk::analysis
