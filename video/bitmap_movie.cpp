// BuildBitmapMovie (conversions.h).
#include <cmath>
#include <limits>
#include <vector>

#include "avi_writer.h"
#include "conversions.h"
#include "frame_convert.h"
#include "span_reader.h"

namespace murtesk::video {

namespace {

constexpr std::int32_t kMaxSide = 16384;
constexpr std::int32_t kMaxChannels = 64;
constexpr std::int32_t kMaxSampleRate = 768000;
// The AVI header gives the time of one picture in whole microseconds and the length of each stream (its
// pictures, its sound samples) in 32 bits: a movie it cannot describe is refused before anything is written.
constexpr double kLongestPictureMicroseconds = 4294967295.0;
constexpr std::int64_t kLongestStream = 4294967295;

}  // namespace

bool BuildBitmapMovie(const std::string& bitmap, const std::string& wav, const std::string& target, double fps,
                      std::int32_t frames, std::int32_t width, std::int32_t height, std::int32_t channels,
                      std::int32_t sampleRate) {
    const bool withSound = !wav.empty();
    if (!std::isfinite(fps) || fps <= 0 || fps > 1000 || frames < 1 || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide)
        return false;
    if (withSound && (channels < 1 || channels > kMaxChannels || sampleRate < 1 || sampleRate > kMaxSampleRate))
        return false;
    const std::int64_t total = withSound ? std::llround(frames / fps * sampleRate) : 0;  // sound samples
    if (1e6 / fps > kLongestPictureMicroseconds || total > kLongestStream) return false;

    // The picture, scaled once.
    std::unique_ptr<SpanReader> image = SpanReader::Open(bitmap);
    if (!image || image->source().videoIndex() < 0) return false;
    PictureConverter converter(width, height, AV_PIX_FMT_RGB555LE);
    FramePtr picture;
    image->Read(
        0, 0,
        [&](const AVFrame& decoded, Ticks) {
            if (const AVFrame* scaled = converter.Convert(decoded)) picture.reset(av_frame_clone(scaled));
            return false;
        },
        nullptr);
    if (!picture) return false;
    std::unique_ptr<SpanReader> sound;
    if (withSound && (!(sound = SpanReader::Open(wav)) || sound->source().audioIndex() < 0)) return false;

    AviWriter writer;
    const AVRational pictureDuration = av_d2q(1.0 / fps, 1'000'000);
    if (!writer.Create(target) ||
        !writer.AddVideo(avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1), width, height, AV_PIX_FMT_RGB555LE,
                         pictureDuration, AVRational{1, 1}, nullptr) ||
        (withSound && !writer.AddSound(sampleRate, channels)) || !writer.Begin())
        return false;

    // Pictures are written as the sound reaches their time, so the file is interleaved as it grows.
    bool failed = false;
    std::int64_t written = 0;
    auto picturesUntil = [&](std::int64_t count) {
        for (; written < std::min<std::int64_t>(count, frames) && !failed; ++written)
            failed = !writer.WritePicture(*picture, written);
    };
    if (withSound) {
        // Writes `count` samples of `data` (null: silence) a second at a time, each second followed by the pictures
        // whose time it reached.
        std::vector<std::int16_t> quiet;
        auto write = [&](const std::int16_t* data, std::int64_t count) {
            for (std::int64_t at = 0; at < count && !failed; at += sampleRate) {
                const int piece = static_cast<int>(std::min<std::int64_t>(count - at, sampleRate));
                if (!data) quiet.assign(static_cast<std::size_t>(piece) * channels, 0);
                failed = !writer.WriteSound(data ? data + at * channels : quiet.data(), piece);
                picturesUntil(static_cast<std::int64_t>(std::ceil(writer.soundWritten() * fps / sampleRate)));
            }
        };
        SoundConverter converter(sampleRate, channels);
        std::vector<std::int16_t> samples;
        auto take = [&] {  // the samples converted so far, cut to the length
            const std::int64_t ready = static_cast<std::int64_t>(samples.size()) / channels;
            write(samples.data(), std::min(ready, total - writer.soundWritten()));
            samples.clear();
            return !failed && writer.soundWritten() < total;
        };
        const bool read = sound->Read(0, kNoStop, nullptr, [&](const AVFrame& frame, Ticks) {
            failed = failed || !converter.Convert(&frame, samples);
            return !failed && take();
        });
        if (!read || failed || !converter.Convert(nullptr, samples)) return false;
        take();
        write(nullptr, total - writer.soundWritten());  // silence to the end
    }
    picturesUntil(frames);
    return !failed && writer.Finish();
}

}  // namespace murtesk::video
