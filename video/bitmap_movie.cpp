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

// The file's sizes and offsets (the RIFF chunk's size, the index's offsets and lengths) are 32 bits too, so the
// whole file must stay within 2^32 - 1 bytes; a movie that might not is refused before anything is written. Its
// largest size: each 4 × 4 block of a picture coded by Video 1 at most 18 bytes (two bytes of flags and eight
// colours; a skip code only stands for blocks that take no bytes), and 4 bytes more a picture (its end code, a
// last skip code); the sound 2 bytes a sample and channel; each chunk 8 bytes of header, 16 in the index and 8 in
// the large-file index; the headers and the indexes' own headers within kAviHeaderBytes.
constexpr std::uint64_t kLargestFile = 4294967295;
constexpr std::uint64_t kBlockBytes = 18;
constexpr std::uint64_t kPictureExtraBytes = 4;
constexpr std::uint64_t kChunkBytes = 8 + 16 + 8;
constexpr std::uint64_t kAviHeaderBytes = 65536;

// a += b × c, false when it does not fit in 64 bits.
bool AddProduct(std::uint64_t& a, std::uint64_t b, std::uint64_t c) {
    std::uint64_t product = 0;
    return !__builtin_mul_overflow(b, c, &product) && !__builtin_add_overflow(a, product, &a);
}

// Whether the largest file of `frames` pictures of width × height and `samples` sound samples of `channels`
// fits the AVI's sizes. The sound goes in chunks of a second (`sampleRate` samples), at most two more for the
// sound's end and the silence after it.
bool FitsTheAvi(std::int64_t frames, std::int32_t width, std::int32_t height, std::int64_t samples,
                std::int32_t channels, std::int32_t sampleRate) {
    std::uint64_t bytes = kAviHeaderBytes;
    const std::uint64_t blocks = static_cast<std::uint64_t>(width / 4) * static_cast<std::uint64_t>(height / 4);
    std::uint64_t picture = kPictureExtraBytes + kChunkBytes;
    if (!AddProduct(picture, blocks, kBlockBytes) || !AddProduct(bytes, static_cast<std::uint64_t>(frames), picture))
        return false;
    if (samples > 0) {
        const std::uint64_t chunks = static_cast<std::uint64_t>(samples / sampleRate) + 3;
        if (!AddProduct(bytes, static_cast<std::uint64_t>(samples), 2u * static_cast<std::uint64_t>(channels)) ||
            !AddProduct(bytes, chunks, kChunkBytes))
            return false;
    }
    return bytes <= kLargestFile;
}

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
    if (1e6 / fps > kLongestPictureMicroseconds || total > kLongestStream ||
        !FitsTheAvi(frames, width, height, total, channels, sampleRate))
        return false;

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
        // The samples converted so far, cut to the length, in whole seconds until the `last` call: every chunk of
        // sound but the last two (the sound's end, the silence's end) holds a second.
        auto take = [&](bool last) {
            const std::int64_t ready = static_cast<std::int64_t>(samples.size()) / channels;
            const std::int64_t left = total - writer.soundWritten();
            const std::int64_t count = ready >= left ? left : last ? ready : ready - ready % sampleRate;
            write(samples.data(), count);
            samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(count * channels));
            return !failed && writer.soundWritten() < total;
        };
        const bool read = sound->Read(0, kNoStop, nullptr, [&](const AVFrame& frame, Ticks) {
            failed = failed || !converter.Convert(&frame, samples);
            return !failed && take(false);
        });
        if (!read || failed || !converter.Convert(nullptr, samples)) return false;
        take(true);
        write(nullptr, total - writer.soundWritten());  // silence to the end
    }
    picturesUntil(frames);
    return !failed && writer.Finish();
}

}  // namespace murtesk::video
