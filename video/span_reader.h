// Decoding a span of a file for the conversions, on the calling thread: the file is opened as the player opens it
// (MediaSource: the best video and audio streams, each proven to decode), moved to a keyframe from which the picture
// at the span's start decodes (MediaSource::SeekBefore) and decoded in file order until both streams have passed the span's end or the file ends, so a
// reading always ends.
//
// Pictures: the one showing at the start (the last at or before it; the first picture of the file when the span
// starts before every picture), then each later one that starts before the end. Sound: each decoded frame that
// reaches into the span; the caller cuts it to the span's samples. Times are media times from the file's start.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "media_source.h"

namespace murtesk::video {

class SpanReader {
public:
    // A callback answers false when it wants no more of its stream.
    using FrameCallback = std::function<bool(const AVFrame& frame, Ticks time)>;

    // Null when the file cannot be played (see MediaSource).
    static std::unique_ptr<SpanReader> Open(const std::string& path);

    const MediaSource& source() const { return *source_; }
    const AVCodecContext* videoDecoder() const { return video_.get(); }
    const AVCodecContext* audioDecoder() const { return audio_.get(); }

    // Reads [start, end) once. A null callback leaves its stream undecoded. False when the file could not be read
    // from the start on (a failed seek); a damaged packet is skipped.
    bool Read(Ticks start, Ticks end, const FrameCallback& onPicture, const FrameCallback& onSound);

private:
    explicit SpanReader(std::unique_ptr<MediaSource> source);

    std::unique_ptr<MediaSource> source_;
    CodecContextPtr video_;
    CodecContextPtr audio_;
};

}  // namespace murtesk::video
