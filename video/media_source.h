// Opening a file for playing: the container, the best video and audio streams, a decoder for each, and the proof
// that each chosen stream decodes (its first frame). What a file must hold to be played:
//   - at least one of a video stream (cover pictures do not count) and an audio stream;
//   - for each chosen stream a decoder that opens, and a first frame that decodes from the first packets
//     (damaged packets are skipped on the way; at most kProbeBytes of the file are read for it).
// The packets read while proving it are kept and decoded again by the playing threads, so the file is read from
// its start only once.
//
// Only the file protocol is allowed, also for files a container refers to; the name is used whole, prefixed
// with "file:" so that no part of it is taken for a protocol.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ffmpeg_ptr.h"

namespace murtesk::video {

class MediaSource {
public:
    // Null when the file cannot be played as described above. `interrupt` ends a blocking read when raised; it
    // must outlive the source.
    static std::unique_ptr<MediaSource> Open(const std::string& path, const std::atomic<bool>& interrupt);

    AVFormatContext* format() const { return format_.get(); }
    // Opens the file again at its start (for a file that cannot seek); false when it can no longer be read as the
    // same streams.
    bool Reopen();
    // Moves the file to the keyframe at or before `position` (media time), or opens it again at its start when it
    // cannot seek; false when neither worked. Packets read while probing are not read again.
    bool SeekBefore(Ticks position);

    int videoIndex() const { return videoIndex_; }  // -1 without video
    int audioIndex() const { return audioIndex_; }  // -1 without sound
    AVStream* videoStream() const;
    AVStream* audioStream() const;
    // The decoders, taken over by the threads that decode.
    CodecContextPtr TakeVideoDecoder() { return std::move(videoDecoder_); }
    CodecContextPtr TakeAudioDecoder() { return std::move(audioDecoder_); }
    // The packets read while probing, in file order, to be decoded first.
    std::deque<PacketPtr> TakeProbedPackets() { return std::move(probed_); }

    int width() const { return width_; }
    int height() const { return height_; }
    // The duration, or -1 when the file does not say.
    Ticks duration() const { return duration_; }
    bool seekable() const { return seekable_; }
    // One frame's duration by the stream's frame rate (40 ms when it says none).
    Ticks frameDuration() const { return frameDuration_; }
    // Media times at which the video's keyframes are shown, from the container's index, ascending (empty when it
    // has none). An index of decoding times (MP4 with B pictures) is moved by the first keyframe's reordering delay.
    const std::vector<Ticks>& keyframes() const { return keyframes_; }

    // A stream timestamp as media time from the file's start (AV_NOPTS_VALUE gives kNoTime).
    Ticks ToTicks(std::int64_t pts, AVRational timeBase) const;
    // A media time as a timestamp of a stream's time base, rounded down.
    std::int64_t ToStreamTimestamp(Ticks t, AVRational timeBase) const;

private:
    MediaSource(std::string url, const std::atomic<bool>& interrupt) : url_(std::move(url)), interrupt_(interrupt) {}
    bool OpenFormat();
    bool ChooseStreams();
    CodecContextPtr OpenDecoder(int index) const;
    bool Probe();
    void KeyframesAsShown();

    std::string url_;
    const std::atomic<bool>& interrupt_;
    FormatContextPtr format_;
    int videoIndex_ = -1;
    int audioIndex_ = -1;
    CodecContextPtr videoDecoder_;
    CodecContextPtr audioDecoder_;
    std::deque<PacketPtr> probed_;
    int width_ = 0;
    int height_ = 0;
    Ticks duration_ = -1;
    bool seekable_ = false;
    Ticks frameDuration_ = 400'000;
    std::int64_t origin_ = 0;  // the file's start time, AV_TIME_BASE units
    std::vector<Ticks> keyframes_;
    std::int64_t firstKeyframeStamp_ = AV_NOPTS_VALUE;  // the index's first keyframe, in the stream's time base
};

}  // namespace murtesk::video
