// The video decoding thread: owns the video decoder, turns the queued packets of the current serial into
// pictures for the presenter. A new serial flushes the decoder first. After each seek it finds the target frame
// exactly: it holds every picture at or before the target position until a later one (or the end) shows which
// was the last, and passes on only that one and what follows. A picture whose container duration reaches past
// the target is that last one at once: the next picture cannot start before its end. Pictures at or after the stop position are not
// passed on; the end of the video (the drained decoder, or the stop) is passed on as an end marker. It decodes
// ahead at most kPictureCapacity pictures.
#pragma once

#include "graph_state.h"
#include "media_source.h"

namespace murtesk::video {

inline constexpr std::size_t kPictureCapacity = 4;

class VideoDecoder {
public:
    VideoDecoder(GraphState& state, const MediaSource& source, CodecContextPtr decoder);
    void Run();

private:
    struct Picture {
        FramePtr frame;
        Ticks pts = 0;
        Ticks end = 0;
        bool endKnown = false;
    };
    // Passes one decoded frame on (lock not held); false once this target needs no more.
    bool Take(FramePtr frame);
    void Pass(Picture picture);  // to the presenter (lock not held)
    void PassEnd();

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
};

}  // namespace murtesk::video
