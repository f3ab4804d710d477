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

inline constexpr int kSeekAttempts = 8;
// Pictures a decoder holds back at most (H.264's bound), and a keyframe's leading pictures (coders put no more B
// pictures in a row).
inline constexpr int kMaxReorderDelay = 16;
inline constexpr int kEndReach = 2 * kMaxReorderDelay;  // video packets: more than a decoder delays

class MediaSource {
public:
    // Null when the file cannot be played as described above. `interrupt` ends a blocking read when raised; it
    // must outlive the source.
    static std::unique_ptr<MediaSource> Open(const std::string& path, const std::atomic<bool>& interrupt);

    AVFormatContext* format() const { return format_.get(); }
    // Opens the file again at its start (for a file that cannot seek); false when it can no longer be read as the
    // same streams.
    bool Reopen();
    // Moves the file to a keyframe from which the picture at `position` (media time) decodes, or opens it again at
    // its start when it cannot seek; false when neither worked. Packets read while probing are not read again.
    //
    // A container seeks to the last keyframe at or before a time, but some count that time in decoding order (MP4
    // with B pictures): for a target just before a keyframe of an open group they choose that keyframe, whose
    // leading pictures (shown before it, decoded after it) refer to the group before and cannot be decoded from it.
    // And a decoder that starts at such a keyframe counts the pictures it decodes before it has shown the keyframe as
    // not yet sound (FFmpeg's H.264), and drops those it still holds when the file ends: the last pictures of a file
    // go missing when its last keyframe lies within a few pictures of the end.
    // So the first video packet after the seek is read: a keyframe shown after the target, or one that the file's end
    // follows within kEndReach video packets, sends the seek back before it (not from the file's first keyframe),
    // at most kSeekAttempts times. In a file of decoding times only (AVI) a keyframe's leading pictures, if any,
    // come after it with times from its own on, and it is shown after them: when it is shown is found by decoding
    // from it (KeyframeShown). The packets read for this come first from ReadPacket.
    bool SeekBefore(Ticks position);
    // The next packet of the file (as av_read_frame), those read by SeekBefore first.
    int ReadPacket(AVPacket* packet);

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
    // The media time at which a picture `decoder` gave out is shown; kNoTime when it has none (such a picture
    // follows the one before). A container that keeps only decoding times (AVI) gives a picture the time of the
    // packet the decoder was sent when it let the picture out, and a decoder that shows pictures out of their coded
    // order (B pictures) lets each out only once it holds as many pictures more as its reordering delay
    // (`has_b_frames`), a packet each: that many picture periods come off. The leading pictures of an open group,
    // which a decoder started at its keyframe drops, change nothing: the decoder lets the keyframe out as late as
    // ever. The delay is read as it is when the picture comes out (it may grow within a stream).
    // `lastDts` is the decoding time of the last packet the decoder was sent since it was flushed (AV_NOPTS_VALUE
    // before any): a picture it gives out while draining stands for one packet more, a picture period later, and
    // moves `lastDts` on by that.
    Ticks PictureTime(const AVFrame& picture, const AVCodecContext& decoder, std::int64_t& lastDts) const;
    // How long a decoded picture is shown by its packet's duration; 0 when the file does not say. A file of
    // decoding times only counts each packet one step of its time base, which may be finer than its pictures with
    // no packet for the steps between (H.264 copied from MP4 into AVI: steps of half a picture): there a picture
    // lasts at least one picture period by the stream's frame rate (rounded down, so it never reaches into the
    // next picture's).
    Ticks PictureDuration(const AVFrame& picture) const;
    // The video stream's packets carry decoding times and no presentation times.
    bool decodingTimesOnly() const { return decodingTimesOnly_; }
    // A media time as a timestamp of a stream's time base, rounded down.
    std::int64_t ToStreamTimestamp(Ticks t, AVRational timeBase) const;

private:
    MediaSource(std::string url, const std::atomic<bool>& interrupt) : url_(std::move(url)), interrupt_(interrupt) {}
    bool OpenFormat();
    bool ChooseStreams();
    CodecContextPtr OpenDecoder(int index, int threads = kVideoCodecThreads) const;
    bool Probe();
    void KeyframesAsShown();
    enum class Moved { Failed, ToKeyframe, ToStart };
    Moved SeekTo(Ticks position);
    // Reads on until `videoPackets` more video packets are kept (with the sound's between them); 0, or the error
    // that ended the reading.
    int ReadAhead(int videoPackets);
    // A packet's place in the file: its decoding time, else its presentation time (media time).
    Ticks Order(const AVPacket& packet) const;
    // When the keyframe pending_[key] is shown, or kNoTime when that cannot be told: its presentation time, else
    // (decoding times only) its decoding time when no picture is shown out of its coded order, else when a target
    // `position` at least kMaxReorderDelay picture periods after it cannot be one of its leading pictures; else the
    // time of the first picture a decoder started there gives out (the keyframe's: the leading pictures, which
    // refer to the group before, are dropped), from the packets read after it (more are read as needed, at most
    // kEndReach video packets).
    Ticks KeyframeShown(std::size_t key, Ticks position);

    std::string url_;
    const std::atomic<bool>& interrupt_;
    FormatContextPtr format_;
    int videoIndex_ = -1;
    int audioIndex_ = -1;
    CodecContextPtr videoDecoder_;
    CodecContextPtr audioDecoder_;
    CodecContextPtr keyDecoder_;  // KeyframeShown's, opened at its first need
    std::deque<PacketPtr> probed_;
    std::deque<PacketPtr> pending_;  // read by SeekBefore, not yet passed on
    Ticks firstKeyOrder_ = kNoTime;  // Order of the file's first video keyframe
    bool decodingTimesOnly_ = false;  // the file's first video keyframe has a decoding time and no presentation time
    int width_ = 0;
    int height_ = 0;
    Ticks duration_ = -1;
    bool seekable_ = false;
    Ticks frameDuration_ = 400'000;
    AVRational framePeriod_{0, 1};  // one picture's period by the stream's frame rate; 0 when it states none
    std::int64_t origin_ = 0;  // the file's start time, AV_TIME_BASE units
    std::vector<Ticks> keyframes_;
    std::int64_t firstKeyframeStamp_ = AV_NOPTS_VALUE;  // the index's first keyframe, in the stream's time base
};

}  // namespace murtesk::video
