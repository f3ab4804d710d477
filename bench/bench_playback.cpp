// Range playback and WAV output: starting a span four hours into a 1.38 GB recording (both buffers
// queued on the null device), one refill at 48 kHz 24-bit, the share of a core the cursor loop takes
// while a span plays in real time through the window's Qt view, the envelope of an hour at 44.1 kHz,
// and the WAV outputs of the calculation screen (an hour cut from a split recording, ten minutes of
// eight channels merged) beside a plain copy of as many bytes in 1 MiB blocks.
//
// The recordings stay in the folder named by MURTESK_BENCH_DIR (default: the temporary folder) and
// are made again only when missing: the 1.38 GB one is sparse, the hour for the envelope is written
// whole, so runs after the first read it from a warm cache.
#include "PartialPlaybackView.h"
#include "WaveOut.h"
#include "fake_ui.h"
#include "fake_wave_out.h"
#include "frmPlayPartOfWave.h"
#include "frmPlayWaveArea.h"
#include "globals.h"
#include "playback_views.h"
#include "wav_mono.h"
#include "wave_library.h"

#include "platform/atomic_file.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace murtesk::playback {
namespace {

namespace fs = std::filesystem;

std::string Le(std::uint64_t v, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        s.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
    }
    return s;
}

std::string Header(std::uint32_t rate, std::uint16_t bits, std::uint64_t dataBytes)
{
    const std::uint32_t align = bits / 8u;
    return "RIFF" + Le(dataBytes + 36, 4) + "WAVE" + "fmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(rate, 4) +
           Le(rate * align, 4) + Le(align, 2) + Le(bits, 2) + "data" + Le(dataBytes, 4);
}

std::string BenchFile(const std::string& name)
{
    const char* dir = std::getenv("MURTESK_BENCH_DIR");
    return (fs::path(dir != nullptr ? dir : fs::temp_directory_path().string()) / name).string();
}

// A mono recording of the given length: sparse (holes read as silence) or written whole with a tone.
std::string Recording(const std::string& name, std::uint32_t rate, std::uint16_t bits, std::uint64_t samples,
                      bool sparse)
{
    const std::string path = BenchFile(name);
    const std::uint64_t bytes = samples * bits / 8;
    if (fs::exists(path) && fs::file_size(path) == 44 + bytes) {
        return path;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << Header(rate, bits, bytes);
    if (sparse) {
        out.close();
        fs::resize_file(path, 44 + bytes);
        return path;
    }
    std::vector<std::int16_t> block(1 << 20);
    for (std::uint64_t done = 0; done < samples; done += block.size()) {
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<std::int16_t>(((done + i) * 37 % 2000) * 16 - 16000);
        }
        const std::uint64_t n = std::min<std::uint64_t>(block.size(), samples - done);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n * 2));
    }
    return path;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// 再生 of a span four hours into a four-hour 48 kHz 16-bit recording (1.38 GB): the file checked,
// the first two seconds read and both buffers queued on the null device.
void BM_StartFourHoursIn(benchmark::State& state)
{
    const std::uint64_t samples = 4ull * 3600 * 48000;
    const std::string path = Recording("bench_play_4h.wav", 48000, 16, samples, true);
    platform::testing::FakeUi ui;
    const auto null = platform::MakeNullWaveOut();
    SetWaveOutSystem(null.get());
    auto target = ui.NewWindowTarget();
    const auto start = static_cast<std::int32_t>(samples - 60 * 48000);
    for (auto _ : state) {
        if (!StartWaveOut(ui, *target, path, start, start + 30 * 48000, false) || g_WaveOutState != 0) {
            state.SkipWithError("the start failed");
            break;
        }
        state.PauseTiming();
        StopWaveOut(*target);
        state.ResumeTiming();
    }
    SetWaveOutSystem(nullptr);
}
BENCHMARK(BM_StartFourHoursIn)->Unit(benchmark::kMillisecond);

// One finished buffer refilled with the next second (144,000 bytes at 48 kHz 24-bit) and queued again.
void BM_Refill48k24(benchmark::State& state)
{
    const std::uint64_t samples = 3600ull * 48000;
    const std::string path = Recording("bench_play_48k24.wav", 48000, 24, samples, true);
    platform::testing::FakeUi ui;
    platform::testing::FakeWaveOut device;
    SetWaveOutSystem(&device);
    auto target = ui.NewWindowTarget();
    bool ok = StartWaveOut(ui, *target, path, 1, static_cast<std::int32_t>(samples), false);
    for (auto _ : state) {
        state.PauseTiming();
        if (g_WaveOutState != 0) {  // the hour is used up: again from its start
            StopWaveOut(*target);
            ok = ok && StartWaveOut(ui, *target, path, 1, static_cast<std::int32_t>(samples), false);
        }
        device.FinishNext();
        device.ClearRecord();
        state.ResumeTiming();
        ui.DeliverMessages();
    }
    if (!ok || g_bWaveOutError) {
        state.SkipWithError("the refills did not go on");
    }
    StopWaveOut(*target);
    SetWaveOutSystem(nullptr);
}
BENCHMARK(BM_Refill48k24)->Unit(benchmark::kMillisecond);

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_playback";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Eight seconds of a span played through the window's Qt view on the null device: the process's
// CPU time over the wall time while the cursor loop runs (the device's thread included).
void BM_CursorLoopShareOfACore(benchmark::State& state)
{
    App();
    const std::string path = Recording("bench_play_4h.wav", 48000, 16, 4ull * 3600 * 48000, true);
    const auto null = platform::MakeNullWaveOut();
    SetWaveOutSystem(null.get());
    double share = 0.0;
    for (auto _ : state) {
        platform::qt::QtUi ui;
        RegisterPlaybackViews(ui);
        g_PlayWavePath = path;
        g_PlayStartMs = 3600 * 1000;
        g_PlayEndMs = 3600 * 1000 + 30 * 1000;
        frmPlayPartOfWave form(ui);
        ui.Show(form);
        auto* view = dynamic_cast<PartialPlaybackView*>(ui.ViewOf(form));
        QEventLoop loop;
        QTimer::singleShot(300, &loop, [&] { view->cmdStart->click(); });
        double cpu0 = 0.0;
        double wall0 = 0.0;
        // Measured from one second in (the loop running) to nine seconds in.
        QTimer::singleShot(1300, &loop, [&] {
            cpu0 = CpuSeconds();
            wall0 = WallSeconds();
        });
        QTimer::singleShot(9300, &loop, [&] {
            share = (CpuSeconds() - cpu0) / (WallSeconds() - wall0);
            view->cmdCancel->click();
            loop.quit();
        });
        loop.exec();
        QEventLoop closing;
        QTimer::singleShot(700, &closing, &QEventLoop::quit);
        closing.exec();
        ui.DestroyAllViews();
    }
    state.counters["core_share_percent"] = share * 100.0;
    SetWaveOutSystem(nullptr);
}
BENCHMARK(BM_CursorLoopShareOfACore)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The waveform of an hour at 44.1 kHz, 16-bit (317.5 MB): opened, read block by block, 1,800 lines.
void BM_EnvelopeOfAnHour(benchmark::State& state)
{
    const std::uint64_t samples = 3600ull * 44100;
    CWavMono16Bit44_1kHz reader;
    reader.WaveFilePath = Recording("bench_play_1h_44k.wav", 44100, 16, samples, false);
    std::size_t lines = 0;
    for (auto _ : state) {
        reader.openWaveFile();
        lines = WaveEnvelope(reader, reader.getDataNum()).size();
        reader.closeWaveFile();
    }
    if (lines != 1800) {
        state.SkipWithError("not 1,800 lines");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * samples * 2));
}
BENCHMARK(BM_EnvelopeOfAnHour)->Unit(benchmark::kMillisecond);

// What the calculation screen's outputs do: the library writes a temporary file beside the output,
// which is synced to the disk and renamed over it.
bool WriteOutput(const std::string& path, const std::function<std::int32_t(const std::string&)>& library) {
    return platform::ReplaceFileByPath(path, [&](const std::string& temporary) { return library(temporary) != 0; });
}

// The comparison: the same number of bytes copied from the source in 1 MiB blocks, then synced.
bool PlainCopy(const std::string& source, const std::string& target, std::uint64_t bytes) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> block(1 << 20);
    bool ok = in >= 0 && out >= 0;
    for (std::uint64_t done = 0; ok && done < bytes;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), bytes - done));
        ok = ::read(in, block.data(), n) == static_cast<ssize_t>(n) &&
             ::write(out, block.data(), n) == static_cast<ssize_t>(n);
        done += n;
    }
    ok = ok && ::fsync(out) == 0;
    ::close(in);
    ::close(out);
    return ok;
}

constexpr std::uint64_t kHour48k = 3600ull * 48000;
constexpr std::uint64_t kTenMinutes48k = 600ull * 48000;

// An output and a plain copy of as many bytes, one after the other in every iteration so that both
// meet the same disk and the same load: the iteration's time is the output's, and the counter
// speed_of_copy_percent is the output's speed as a share of the copy's over the whole run.
void OutputAgainstCopy(benchmark::State& state, const std::function<bool()>& output, const std::string& copySource,
                       std::uint64_t bytes) {
    const std::string copy = BenchFile("bench_out_copy.wav");
    double outputSeconds = 0.0;
    double copySeconds = 0.0;
    for (auto _ : state) {
        double t = WallSeconds();
        const bool ok = output();
        const double spent = WallSeconds() - t;
        outputSeconds += spent;
        state.SetIterationTime(spent);
        t = WallSeconds();
        if (!ok || !PlainCopy(copySource, copy, bytes)) {
            state.SkipWithError("the output or the copy failed");
            break;
        }
        copySeconds += WallSeconds() - t;
    }
    state.counters["copy_ms"] = copySeconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["speed_of_copy_percent"] = 100.0 * copySeconds / outputSeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// An hour (samples 1 to 172,800,000, 345.6 MB) cut from a two-hour split recording, as 「いいえ」 of the
// LE-range output writes it.
void BM_CutAnHour(benchmark::State& state) {
    const std::string source = Recording("bench_out_2h.wav", 48000, 16, 2 * kHour48k, false);
    const std::string out = BenchFile("bench_out_cut.wav");
    OutputAgainstCopy(
        state,
        [&] {
            return WriteOutput(out, [&](const std::string& t) {
                return g_WaveLibrary().CreateBigMonoWave(t, 16, 1, kHour48k, 1, 1, 48000, source);
            });
        },
        source, kHour48k * 2);
}
BENCHMARK(BM_CutAnHour)->Iterations(5)->Unit(benchmark::kMillisecond)->UseManualTime();

// Ten minutes of eight channels merged (460.8 MB), as 「はい」 of a mark-range output writes them.
void BM_MergeEightChannelsTenMinutes(benchmark::State& state) {
    std::vector<std::string> files;
    for (int c = 1; c <= 8; ++c) {
        files.push_back(Recording("bench_out_10m_" + std::to_string(c) + "ch.wav", 48000, 16, kTenMinutes48k, false));
    }
    const std::string source = Recording("bench_out_2h.wav", 48000, 16, 2 * kHour48k, false);
    const std::string out = BenchFile("bench_out_merge.wav");
    OutputAgainstCopy(
        state,
        [&] {
            return WriteOutput(out, [&](const std::string& t) {
                return g_WaveLibrary().MergeMonoWave(t, 16, 1, kTenMinutes48k, 48000, files);
            });
        },
        source, kTenMinutes48k * 16);
}
BENCHMARK(BM_MergeEightChannelsTenMinutes)->Iterations(5)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace murtesk::playback

BENCHMARK_MAIN();
