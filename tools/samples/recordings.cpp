#include "recordings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace murtesk::samples {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

uint64_t splitmix(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Roughly normal noise of unit variance: the sum of four uniforms, centred and scaled (no libm involved,
// so the bytes do not depend on the machine).
double noise(uint64_t& state)
{
    double s = 0.0;
    for (int i = 0; i < 4; ++i)
        s += uniform01(state);
    return (s - 2.0) * std::sqrt(3.0);
}

constexpr size_t kChunkFrames = 48000;

}  // namespace

double uniform01(uint64_t& state)
{
    return static_cast<double>(splitmix(state) >> 11) * 0x1.0p-53;
}

double calibrationRms(const CalibrationOptions& options)
{
    const double fullScale = isFloat(options.format) ? 1.0 : std::ldexp(1.0, bitsOf(options.format) - 1);
    return options.amplitude * fullScale / std::numbers::sqrt2;
}

bool writeCalibration(const std::string& path, const CalibrationOptions& options)
{
    WavFileWriter writer;
    if (!writer.open(path, {options.rate, options.channels, options.format}))
        return false;
    const auto total = static_cast<uint64_t>(std::llround(options.seconds * options.rate));
    std::vector<double> frames;
    for (uint64_t done = 0; done < total;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunkFrames, total - done));
        frames.resize(n * options.channels);
        for (size_t j = 0; j < n; ++j) {
            // The phase is reduced per cycle so that long files stay exact.
            const double cycles = std::fmod(static_cast<double>(done + j) * options.frequency, options.rate);
            const double v = options.amplitude * std::sin(kTwoPi * cycles / options.rate);
            for (size_t c = 0; c < options.channels; ++c)
                frames[j * options.channels + c] = v;
        }
        if (!writer.append(frames))
            return false;
        done += n;
    }
    return writer.close();
}

RecordingSynth::RecordingSynth(const RecordingOptions& options) : m_options(options)
{
    uint64_t state = options.seed;
    // Vehicles arrive at random, on average every 15 s, from the first seconds on.
    for (double t = 2.0 + 10.0 * uniform01(state); t < options.seconds + 20.0;
         t += 3.0 - 15.0 * std::log(1.0 - uniform01(state))) {
        m_passes.push_back({t, 0.08 + 0.4 * uniform01(state), 1.5 + 4.0 * uniform01(state),
                            40.0 + 80.0 * uniform01(state)});
    }
    static constexpr double kTones[] = {63.0, 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0};
    for (uint16_t c = 0; c < options.channels; ++c) {
        Channel ch{};
        ch.toneHz = kTones[(c + splitmix(state) % 3) % std::size(kTones)];
        ch.toneAmp = 0.02 + 0.05 * uniform01(state);
        ch.gain = 0.6 + 0.4 * uniform01(state);
        ch.delay = 0.4 * c;
        ch.rng = splitmix(state);
        m_channels.push_back(ch);
    }
}

void RecordingSynth::fill(size_t frames, std::vector<double>& out)
{
    const size_t channels = m_channels.size();
    const double rate = m_options.rate;
    out.resize(frames * channels);
    // Vehicles near the current stretch: the envelope is negligible beyond 12 half-widths.
    std::vector<const VehiclePass*> near;
    const double t0 = static_cast<double>(m_frame) / rate;
    const double t1 = static_cast<double>(m_frame + frames) / rate;
    for (const auto& p : m_passes)
        if (p.time + 12.0 * p.halfWidth + 2.0 > t0 && p.time - 12.0 * p.halfWidth - 2.0 < t1)
            near.push_back(&p);

    for (size_t c = 0; c < channels; ++c) {
        Channel& ch = m_channels[c];
        for (size_t j = 0; j < frames; ++j) {
            const double t = static_cast<double>(m_frame + j) / rate;
            const double cycles = std::fmod(static_cast<double>(m_frame + j) * ch.toneHz, rate);
            double v = ch.toneAmp * std::sin(kTwoPi * cycles / rate);
            // Background: noise through a gentle low-pass, so it leans towards low frequencies like traffic.
            ch.lowPass += 0.05 * (noise(ch.rng) - ch.lowPass);
            v += 0.03 * ch.lowPass + 0.004 * noise(ch.rng);
            // Vehicles: a pass-by envelope over broadband noise and an engine tone that drops in pitch.
            double envelope = 0.0;
            double engineHz = 0.0;
            for (const VehiclePass* p : near) {
                const double x = (t - ch.delay - p->time) / p->halfWidth;
                const double e = p->peak * ch.gain / (1.0 + x * x);
                if (e > envelope) {
                    envelope = e;
                    engineHz = p->engineHz * (1.0 - 0.08 * std::tanh(x));
                }
            }
            ch.vehicleNoise += 0.2 * (noise(ch.rng) - ch.vehicleNoise);
            ch.enginePhase = std::fmod(ch.enginePhase + engineHz / rate, 1.0);
            v += envelope * (0.7 * ch.vehicleNoise + 0.3 * std::sin(kTwoPi * ch.enginePhase));
            out[j * channels + c] = std::clamp(v, -1.0, 1.0);
        }
    }
    m_frame += frames;
}

bool writeRecording(const std::string& path, const RecordingOptions& options)
{
    WavFileWriter writer;
    if (!writer.open(path, {options.rate, options.channels, options.format}))
        return false;
    RecordingSynth synth(options);
    const auto total = static_cast<uint64_t>(std::llround(options.seconds * options.rate));
    std::vector<double> frames;
    for (uint64_t done = 0; done < total;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunkFrames, total - done));
        synth.fill(n, frames);
        if (!writer.append(frames))
            return false;
        done += n;
    }
    return writer.close();
}

}  // namespace murtesk::samples
