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

    AVFormatContext* format() const { return m_format.get(); }
    // Opens the file again at its start (for a file that cannot seek); false when it can no longer be read as the
    // same streams.
    bool Reopen();

    int videoIndex() const { return m_videoIndex; }  // -1 without video
    int audioIndex() const { return m_audioIndex; }  // -1 without sound
    AVStream* videoStream() const;
    AVStream* audioStream() const;
    // The decoders, taken over by the threads that decode.
    CodecContextPtr TakeVideoDecoder() { return std::move(m_videoDecoder); }
    CodecContextPtr TakeAudioDecoder() { return std::move(m_audioDecoder); }
    // The packets read while probing, in file order, to be decoded first.
    std::deque<PacketPtr> TakeProbedPackets() { return std::move(m_probed); }

    int width() const { return m_width; }
    int height() const { return m_height; }
    // The duration, or -1 when the file does not say.
    Ticks duration() const { return m_duration; }
    bool seekable() const { return m_seekable; }
    // One frame's duration by the stream's frame rate (40 ms when it says none).
    Ticks frameDuration() const { return m_frameDuration; }
    // Media times of the video's keyframes from the container's index, ascending (empty when it has none).
    const std::vector<Ticks>& keyframes() const { return m_keyframes; }

    // A stream timestamp as media time from the file's start (AV_NOPTS_VALUE gives kNoTime).
    Ticks ToTicks(std::int64_t pts, AVRational timeBase) const;
    // A media time as a timestamp of a stream's time base, rounded down.
    std::int64_t ToStreamTimestamp(Ticks t, AVRational timeBase) const;

private:
    MediaSource(std::string url, const std::atomic<bool>& interrupt) : m_url(std::move(url)), m_interrupt(interrupt) {}
    bool OpenFormat();
    bool ChooseStreams();
    CodecContextPtr OpenDecoder(int index) const;
    bool Probe();

    std::string m_url;
    const std::atomic<bool>& m_interrupt;
    FormatContextPtr m_format;
    int m_videoIndex = -1;
    int m_audioIndex = -1;
    CodecContextPtr m_videoDecoder;
    CodecContextPtr m_audioDecoder;
    std::deque<PacketPtr> m_probed;
    int m_width = 0;
    int m_height = 0;
    Ticks m_duration = -1;
    bool m_seekable = false;
    Ticks m_frameDuration = 400'000;
    std::int64_t m_origin = 0;  // the file's start time, AV_TIME_BASE units
    std::vector<Ticks> m_keyframes;
};

}  // namespace murtesk::video
