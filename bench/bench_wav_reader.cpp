// WAV reading of the analysis library: block reading and sample conversion, the calibration probe, and the
// sample-recording generator that feeds them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cal_read.h"
#include "recordings.h"
#include "sample_decoder.h"
#include "wav_reader.h"

using namespace murtesk;

namespace {

std::string recordingPath(samples::SampleFormat format, uint16_t channels, double seconds)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("murtesk-bench-" + std::to_string(static_cast<int>(format)) + "-" +
                       std::to_string(channels) + "-" + std::to_string(static_cast<int>(seconds)) + ".wav");
    if (!std::filesystem::exists(path)) {
        samples::RecordingOptions o;
        o.format = format;
        o.channels = channels;
        o.seconds = seconds;
        samples::writeRecording(path.string(), o);
    }
    return path.string();
}

// One-second blocks of an 8-channel 48 kHz recording read and converted as the analysis worker does.
void BM_ReadAndDecodeBlocks(benchmark::State& state)
{
    const auto format = static_cast<samples::SampleFormat>(state.range(0));
    const std::string path = recordingPath(format, 8, 30.0);
    std::vector<uint8_t> block;
    std::vector<double> samples(48000);
    int64_t seconds = 0;
    for (auto _ : state) {
        analysis::WavReader reader;
        reader.open(path);
        reader.findData();
        const analysis::SampleDecoder decoder(reader.format());
        block.resize(48000u * reader.format().blockAlign);
        while (reader.remainingBytes() >= block.size() && reader.read(block.data(), block.size())) {
            for (unsigned c = 0; c < 8; ++c)
                decoder.decode(block.data(), 48000, c, samples.data(), 0.0);
            benchmark::DoNotOptimize(samples.data());
            ++seconds;
        }
    }
    state.counters["recording_s_per_s"] = benchmark::Counter(static_cast<double>(seconds), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadAndDecodeBlocks)
    ->Arg(static_cast<int>(samples::SampleFormat::Pcm16))
    ->Arg(static_cast<int>(samples::SampleFormat::Pcm24))
    ->Arg(static_cast<int>(samples::SampleFormat::Float32))
    ->Unit(benchmark::kMillisecond);

// The probe the import runs on every file: four seconds of two channels.
void BM_CalReadWave(benchmark::State& state)
{
    const std::string path = recordingPath(samples::SampleFormat::Pcm24, 2, 60.0);
    int32_t channels, rate, bits, format, frames;
    double maxima[100], minima[100];
    for (auto _ : state)
        benchmark::DoNotOptimize(
            analysis::CalReadWave(path, {&channels, &rate, &bits, maxima, minima, &format, &frames}));
}
BENCHMARK(BM_CalReadWave)->Unit(benchmark::kMillisecond);

// Ten seconds of a two-channel recording synthesised (no file).
void BM_SynthesiseRecording(benchmark::State& state)
{
    samples::RecordingOptions o;
    o.seconds = 600.0;
    std::vector<double> frames;
    for (auto _ : state) {
        samples::RecordingSynth synth(o);
        for (int s = 0; s < 10; ++s)
            synth.fill(48000, frames);
        benchmark::DoNotOptimize(frames.data());
    }
}
BENCHMARK(BM_SynthesiseRecording)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
