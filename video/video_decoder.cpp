#include "video_decoder.h"

namespace murtesk::video {

VideoDecoder::VideoDecoder(GraphState& state, const MediaSource& source, CodecContextPtr decoder)
    : state_(state), source_(source), timeBase_(source.videoStream()->time_base), decoder_(std::move(decoder)) {
    target_ = state.target;
}

void VideoDecoder::Pass(Picture picture) {
    std::lock_guard lock(state_.mutex);
    // Pictures stay good across a soft seek (the presenter skips those before its target), not across a hard one.
    if (state_.target.serial != target_.serial) return;
    state_.newestDecoded = std::max(state_.newestDecoded, picture.pts);
    state_.pictures.push_back(
        {std::move(picture.frame), target_.serial, picture.pts, picture.end, picture.endKnown});
    state_.changed.notify_all();
}

void VideoDecoder::PassEnd() {
    if (held_.frame) Pass(std::move(held_));
    held_ = {};
    seeking_ = false;
    finished_ = true;
    std::lock_guard lock(state_.mutex);
    if (state_.target.serial != target_.serial) return;
    state_.videoFinished = true;
    state_.pictures.push_back({nullptr, target_.serial, lastEnd_, lastEnd_});
    state_.changed.notify_all();
}

bool VideoDecoder::Take(FramePtr frame) {
    Ticks pts = source_.ToTicks(frame->best_effort_timestamp, timeBase_);
    if (pts == kNoTime) pts = lastEnd_;
    const bool known = frame->pkt_duration > 0;
    const Ticks duration =
        known ? av_rescale_q(frame->pkt_duration, timeBase_, kTicksBase) : source_.frameDuration();
    Picture picture{std::move(frame), pts, pts + duration, known};
    lastEnd_ = picture.end;
    if (seeking_) {
        if (picture.pts <= target_.position) {
            if (!(picture.endKnown && target_.position < picture.end)) {
                held_ = std::move(picture);
                return true;
            }
            held_ = {};
            seeking_ = false;
            Pass(std::move(picture));
            return true;
        }
        seeking_ = false;
        if (!held_.frame) {
            // The target lies before this first picture: it is the one shown, even beyond the stop.
            Pass(std::move(picture));
            return true;
        }
        Pass(std::move(held_));
        held_ = {};
    }
    if (picture.pts >= target_.stop) {
        PassEnd();
        return false;
    }
    Pass(std::move(picture));
    return true;
}

void VideoDecoder::Run() {
    FramePtr frame(av_frame_alloc());
    for (;;) {
        PacketItem item;
        {
            std::unique_lock lock(state_.mutex);
            state_.changed.wait(lock, [&] {
                return state_.abort || state_.target.generation != target_.generation ||
                       (!finished_ && !state_.videoPackets.empty() && state_.pictures.size() < kPictureCapacity);
            });
            if (state_.abort) return;
            if (state_.target.generation != target_.generation) {
                const bool hard = state_.target.serial != target_.serial;
                target_ = state_.target;
                seeking_ = true;
                if (hard) {
                    held_ = {};
                    finished_ = false;
                    state_.newestDecoded = -1;
                    state_.videoFinished = false;
                }
                continue;
            }
            item = std::move(state_.videoPackets.front());
            state_.videoPackets.pop_front();
            if (item.packet) state_.packetBytes -= static_cast<std::size_t>(item.packet->size);
            state_.changed.notify_all();
        }
        if (item.serial != target_.serial) continue;
        if (item.serial != decoderSerial_) {
            avcodec_flush_buffers(decoder_.get());
            decoderSerial_ = item.serial;
        }
        // On the way to a seek's target, a picture that ends before it and that no other picture refers to need not
        // be decoded at all (about half of an H.264 stream's pictures).
        if (item.packet) {
            const Ticks pts = source_.ToTicks(item.packet->pts, timeBase_);
            const Ticks duration = item.packet->duration > 0
                                       ? av_rescale_q(item.packet->duration, timeBase_, kTicksBase)
                                       : source_.frameDuration();
            const bool passing = seeking_ && pts != kNoTime && pts + duration <= target_.position;
            decoder_->skip_frame = passing ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        }
        if (avcodec_send_packet(decoder_.get(), item.packet.get()) < 0 && item.packet)
            continue;  // a damaged packet is skipped
        while (!finished_) {
            if (!frame) frame.reset(av_frame_alloc());
            const int r = frame ? avcodec_receive_frame(decoder_.get(), frame.get()) : AVERROR(ENOMEM);
            if (r == AVERROR(EAGAIN)) break;
            if (r == AVERROR_EOF) {
                PassEnd();
                break;
            }
            if (r < 0) break;  // a frame that could not be decoded is skipped
            if (!Take(std::move(frame))) break;
        }
        if (!item.packet && !finished_) PassEnd();
    }
}

}  // namespace murtesk::video
