// Deterministic sample recordings: a calibration file (a steady 1 kHz tone of known level) and a
// multi-channel field-like recording (steady tones, background noise and vehicles passing by), the same
// bytes for the same options and seed on every machine.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "wav_writer.h"

namespace murtesk::samples {

struct CalibrationOptions {
    uint32_t rate = 48000;
    SampleFormat format = SampleFormat::Pcm16;
    uint16_t channels = 1;
    double seconds = 10.0;
    double frequency = 1000.0;
    double amplitude = 0.5;  // peak, as a fraction of full scale
};

// The rms of the calibration tone in the units the analysis library reads samples in (integer sample
// values, or the float value itself).
double calibrationRms(const CalibrationOptions& options);
bool writeCalibration(const std::string& path, const CalibrationOptions& options);

struct RecordingOptions {
    uint32_t rate = 48000;
    SampleFormat format = SampleFormat::Pcm16;
    uint16_t channels = 2;
    double seconds = 180.0;
    uint64_t seed = 1;
};

// One vehicle passing the microphones: the moment of closest approach, its loudness and how long it is heard.
struct VehiclePass {
    double time;       // s
    double peak;       // fraction of full scale at closest approach
    double halfWidth;  // s, the envelope halves this far from the peak
    double engineHz;   // engine harmonic heard at closest approach
};

// Produces the recording frame by frame; fill() continues where the last call ended.
class RecordingSynth {
public:
    explicit RecordingSynth(const RecordingOptions& options);

    // Writes `frames` frames of interleaved full-scale values into out (resized to frames × channels).
    void fill(size_t frames, std::vector<double>& out);
    const std::vector<VehiclePass>& passes() const { return m_passes; }

private:
    struct Channel {
        double toneHz;
        double toneAmp;
        double gain;   // how loud this microphone hears the road
        double delay;  // s, when it hears each vehicle relative to the first microphone
        uint64_t rng;
        double lowPass = 0.0;
        double vehicleNoise = 0.0;
        double enginePhase = 0.0;
    };
    RecordingOptions m_options;
    std::vector<VehiclePass> m_passes;
    std::vector<Channel> m_channels;
    uint64_t m_frame = 0;
};

bool writeRecording(const std::string& path, const RecordingOptions& options);

// A number in [0, 1) from a 64-bit state (splitmix64), the same on every machine.
double uniform01(uint64_t& state);

}  // namespace murtesk::samples
