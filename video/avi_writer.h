// Writing a new AVI file for the conversions: at most one video stream, coded by an encoder the caller chooses,
// and at most one sound stream of 16-bit PCM, interleaved by time. The file is an OutputFile: it replaces its
// target only when Finish succeeded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ffmpeg_ptr.h"
#include "output_file.h"

namespace murtesk::video {

class AviWriter {
public:
    // Prepares the encoder before it opens (size, pixel format, time base and the like are set already).
    using EncoderSetup = std::function<void(AVCodecContext& encoder)>;

    AviWriter() = default;
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates the temporary file beside `target`; false when its folder is missing or cannot be written.
    bool Create(const std::string& target);
    // A video stream of `width` × `height` pictures in `pixelFormat` (the encoder's own format: the caller
    // converts), one every `frameDuration` (a rational number of seconds, the stream's time base). False when
    // the encoder does not open with these settings.
    bool AddVideo(const AVCodec* encoder, int width, int height, AVPixelFormat pixelFormat, AVRational frameDuration,
                  AVRational sampleAspect, const EncoderSetup& setup);
    // A sound stream of 16-bit PCM, interleaved.
    bool AddSound(int sampleRate, int channels);
    // Writes the file's header; after it only pictures and sound.
    bool Begin();

    // The picture numbered `index` (0, 1, ...: its time is index × frameDuration); indexes must rise.
    bool WritePicture(AVFrame& picture, std::int64_t index);
    // The picture coded by the stream's encoder without writing it (for a coder that answers each picture at once);
    // null when it fails.
    PacketPtr Code(AVFrame& picture);
    // A picture coded before (by Code, or in the coder's format) as the picture numbered `index`; its data is shared.
    bool WriteCoded(const AVPacket& coded, std::int64_t index);
    // `count` interleaved samples of every channel, following the ones written before.
    bool WriteSound(const std::int16_t* samples, int count);
    std::int64_t soundWritten() const { return soundSamples_; }
    // The bytes the target's file system has free (OutputFile::FreeBytes).
    std::optional<std::uint64_t> FreeBytes() const { return file_.FreeBytes(); }

    // Drains the encoder, writes the index and renames the file over the target; false when anything failed,
    // and then no file is left.
    bool Finish();

private:
    bool WriteEncoded();

    OutputFile file_;
    AVFormatContext* output_ = nullptr;
    CodecContextPtr encoder_;
    AVStream* video_ = nullptr;
    AVStream* sound_ = nullptr;
    int channels_ = 0;
    std::int64_t soundSamples_ = 0;
    PacketPtr packet_;
    bool failed_ = false;
};

}  // namespace murtesk::video
