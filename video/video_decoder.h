// The video decoding thread: owns the video decoder, turns the queued packets of the current serial into
// pictures for the presenter. A new serial flushes the decoder first. After each seek it finds the target frame
// exactly: it holds every picture at or before the target position until a later one (or the end) shows which
// was the last, and passes on only that one and what follows. A picture whose container duration reaches past
// the target is that last one at once: the next picture cannot start before its end. Pictures at or after the stop position are not
// passed on; the end of the video (the drained decoder, or the stop) is passed on as an end marker. It decodes
// ahead at most kPictureCapacity pictures.
//
// Steps back. It keeps the pictures it decoded last, in order and with none missing between them, within
// `backStepBytes` of picture buffers (kBackStepBytes: 128 MiB, 42 pictures of 1920 × 1080 in 4:2:0 at 3.14 MB
// each, about 370 of 640 × 360). A hard seek whose target picture is among them (a step back within what was decoded)
// passes them on again from that picture instead of decoding its group again, and the decoder goes on from where
// it was, unflushed: the reader reads the file again from the keyframe before the target, and the packets the
// decoder had before (by their decoding time stamps) are dropped. A hard seek anywhere else empties the cache, as
// does a gap in the pictures or a stream without decoding time stamps. On the way to a target, the pictures no
// other picture refers to (an H.264 stream's non-reference B pictures) are skipped only while they lie further
// before it than the cache holds pictures (at most kBackStepReach): the run the cache keeps reaches back from
// the target, so the steps back from it find every picture there.
// The cached pictures share their buffers with those passed on (nothing is copied); the buffers they keep alive
// are what the bound counts.
#pragma once

#include <deque>

#include "graph_state.h"
#include "media_source.h"

namespace murtesk::video {

inline constexpr std::size_t kPictureCapacity = 4;
inline constexpr std::size_t kBackStepBytes = 128u << 20;
inline constexpr Ticks kBackStepReach = 2 * kTicksPerSecond;

class VideoDecoder {
public:
    VideoDecoder(GraphState& state, const MediaSource& source, CodecContextPtr decoder,
                 std::size_t backStepBytes = kBackStepBytes);
    void Run();

private:
    struct Picture {
        FramePtr frame;
        Ticks pts = 0;
        Ticks end = 0;
        bool endKnown = false;
    };
    struct Cached {
        Picture picture;
        std::size_t bytes = 0;
    };
    Picture Describe(FramePtr frame);
    // Passes one decoded picture on (lock not held); false once this target needs no more.
    bool Take(Picture picture);
    void Pass(Picture picture);  // to the presenter (lock not held)
    void PassEnd();
    void NewTarget();  // the target changed (lock held)
    // The packet is new to the decoder, else it was decoded before a step back and is dropped.
    bool IsNew(const PacketItem& item);
    void Decode(PacketItem item);
    void ReplayOne();                       // the next cached picture, as if decoded (lock not held)
    void Remember(const Picture& picture);  // into the cache (lock not held)
    void Forget();                          // empties the cache
    void Publish();                         // the decoding facts into the state (lock held)
    // How far before a seek's target every picture is decoded.
    Ticks BackStepReach() const;

    GraphState& state_;
    const MediaSource& source_;
    AVRational timeBase_;
    CodecContextPtr decoder_;
    int decoderSerial_ = 1;
    Target target_;
    bool seeking_ = true;    // looking for the target frame
    Picture held_;           // the latest picture at or before the target so far
    bool finished_ = false;  // the end marker of this target was passed on
    Ticks lastEnd_ = 0;

    // The back-step cache and what the decoder was fed since its last flush.
    const std::size_t backStepBytes_;
    std::size_t pictureBytes_ = 0;  // of the last picture cached
    std::deque<Cached> cache_;
    std::size_t cacheBytes_ = 0;
    std::size_t replayNext_ = 0;  // while replaying: the cached picture to pass on next
    bool replaying_ = false;
    // Of the last packet sent to the decoder; moved on a picture period for each picture it gives out while
    // draining a file of decoding times only (MediaSource::PictureTime), past every packet it was sent.
    std::int64_t lastFedDts_ = AV_NOPTS_VALUE;
    bool dtsKnown_ = true;                        // every packet sent since the flush had a decoding time stamp
    bool drained_ = false;                        // the decoder was sent the end of the file
    std::int64_t dropUntilDts_ = AV_NOPTS_VALUE;  // after a step back: packets up to here were sent before
    bool firstAfterStep_ = false;                 // the next packet is the first one read again
    std::int64_t decoded_ = 0;
};

}  // namespace murtesk::video
