// BuildBitmapMovie (conversions.h).
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
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
// The Video 1 coder asks for a packet of 9 bytes a pixel and 16 KiB more, counted in an int: a picture whose buffer
// passes 2^31 - 1 bytes cannot be coded (15,448 × 15,448 is about the largest square).
constexpr std::int64_t kCoderBufferBytes = 2147483647;
constexpr std::int64_t kCoderBytesPerPixel = 9;
constexpr std::int64_t kCoderBufferExtra = 16384;

// Every picture of the movie is the same: it is coded once as a keyframe, written again as each keyframe (one in
// kKeyframeInterval pictures, as the coder would make them), and between them a picture that repeats the one before
// (every 4 × 4 block skipped) stands for it. So the movie's coded size is known before anything is written.
constexpr std::int64_t kKeyframeInterval = 26;
constexpr std::uint16_t kSkipCode = 0x8400;  // and the number of blocks skipped, 1 .. kMostSkipped
constexpr std::uint64_t kMostSkipped = 0x3FF;

// Video 1's picture that repeats the one before: skip codes for every block, then the end code (0).
PacketPtr RepeatPicture(int width, int height) {
    std::uint64_t blocks = static_cast<std::uint64_t>(width / 4) * static_cast<std::uint64_t>(height / 4);
    const std::uint64_t codes = (blocks + kMostSkipped - 1) / kMostSkipped + 1;
    PacketPtr packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), static_cast<int>(2 * codes)) < 0) return nullptr;
    std::uint8_t* out = packet->data;
    for (; blocks > 0; blocks -= std::min(blocks, kMostSkipped)) {
        const auto code = static_cast<std::uint16_t>(kSkipCode | std::min(blocks, kMostSkipped));
        *out++ = static_cast<std::uint8_t>(code & 0xFF);
        *out++ = static_cast<std::uint8_t>(code >> 8);
    }
    *out++ = 0;
    *out++ = 0;
    return packet;
}

// The AVI writer starts a new RIFF part every gigabyte (the large-file form), so the file's size has no bound of its
// own: what bounds it is the target's free space. Each chunk (a picture, a second of sound) costs 8 bytes of header,
// 8 in its part's index and at most 16 in the first part's old-style index; the headers and the indexes' own headers
// stay within kAviHeaderBytes for each gigabyte of the file.
constexpr std::uint64_t kChunkBytes = 8 + 8 + 16;
constexpr std::uint64_t kAviHeaderBytes = 65536;
constexpr std::uint64_t kRiffPartBytes = 1u << 30;

// a += b × c, false when it does not fit in 64 bits.
bool AddProduct(std::uint64_t& a, std::uint64_t b, std::uint64_t c) {
    std::uint64_t product = 0;
    return !__builtin_mul_overflow(b, c, &product) && !__builtin_add_overflow(a, product, &a);
}

// The size of the movie's file: `frames` pictures coded as `keyBytes` and `repeatBytes` (see above) and `samples`
// sound samples of `channels`, in chunks of a second (`sampleRate` samples) and at most two more for the sound's end
// and the silence after it. Null when 64 bits cannot hold it.
std::optional<std::uint64_t> MovieBytes(std::int64_t frames, std::uint64_t keyBytes, std::uint64_t repeatBytes,
                                        std::int64_t samples, std::int32_t channels, std::int32_t sampleRate) {
    std::uint64_t bytes = 0;
    const auto keyframes = static_cast<std::uint64_t>((frames + kKeyframeInterval - 1) / kKeyframeInterval);
    const auto repeats = static_cast<std::uint64_t>(frames) - keyframes;
    if (!AddProduct(bytes, keyframes, keyBytes + kChunkBytes) || !AddProduct(bytes, repeats, repeatBytes + kChunkBytes))
        return std::nullopt;
    if (samples > 0) {
        const std::uint64_t chunks = static_cast<std::uint64_t>(samples / sampleRate) + 3;
        if (!AddProduct(bytes, static_cast<std::uint64_t>(samples), 2u * static_cast<std::uint64_t>(channels)) ||
            !AddProduct(bytes, chunks, kChunkBytes))
            return std::nullopt;
    }
    if (!AddProduct(bytes, bytes / kRiffPartBytes + 1, kAviHeaderBytes)) return std::nullopt;
    return bytes;
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
        std::int64_t{width} * height * kCoderBytesPerPixel + kCoderBufferExtra > kCoderBufferBytes)
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
                         pictureDuration, AVRational{1, 1}, nullptr))
        return false;
    const PacketPtr keyframe = writer.Code(*picture);
    const PacketPtr repeat = RepeatPicture(width, height);
    if (!keyframe || !repeat) return false;
    // A movie whose file cannot fit in the free space is refused before anything is written into it.
    const std::optional<std::uint64_t> bytes = MovieBytes(frames, static_cast<std::uint64_t>(keyframe->size),
                                                          static_cast<std::uint64_t>(repeat->size), total, channels,
                                                          sampleRate);
    const std::optional<std::uint64_t> free = writer.FreeBytes();
    if (!bytes || (free && *bytes > *free)) return false;
    if ((withSound && !writer.AddSound(sampleRate, channels)) || !writer.Begin()) return false;

    // Pictures are written as the sound reaches their time, so the file is interleaved as it grows.
    bool failed = false;
    std::int64_t written = 0;
    auto picturesUntil = [&](std::int64_t count) {
        for (; written < std::min<std::int64_t>(count, frames) && !failed; ++written)
            failed = !writer.WriteCoded(written % kKeyframeInterval == 0 ? *keyframe : *repeat, written);
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
