// Converters for the conversions: pictures to another pixel format and size, sound to interleaved 16-bit samples
// at a given rate and channel count. Each keeps its scaler or resampler across calls and sets it up again when
// the input changes.
#pragma once

#include <cstdint>
#include <vector>

#include "ffmpeg_ptr.h"

namespace murtesk::video {

class PictureConverter {
public:
    PictureConverter(int width, int height, AVPixelFormat format) : width_(width), height_(height), format_(format) {}
    // The picture in the converter's format and size, in a frame of its own (valid until the next call); null
    // when it cannot be converted.
    AVFrame* Convert(const AVFrame& picture);

private:
    int width_, height_;
    AVPixelFormat format_;
    SwsPtr scaler_;
    FramePtr output_;
};

class SoundConverter {
public:
    SoundConverter(int sampleRate, int channels) : rate_(sampleRate), channels_(channels) {}
    ~SoundConverter();
    SoundConverter(const SoundConverter&) = delete;
    SoundConverter& operator=(const SoundConverter&) = delete;
    // Appends the frame's samples (after resampling: those ready so far) to `out`; false when it cannot be
    // converted. A null frame takes out what the resampler still holds.
    bool Convert(const AVFrame* sound, std::vector<std::int16_t>& out);

private:
    bool Setup(const AVFrame& sound);

    int rate_, channels_;
    SwrPtr resampler_;
    int inRate_ = 0;
    int inFormat_ = -1;
    AVChannelLayout inLayout_{};
};

}  // namespace murtesk::video
