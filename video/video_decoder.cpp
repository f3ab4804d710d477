#include "video_decoder.h"

namespace murtesk::video {

namespace {

std::size_t BufferBytes(const AVFrame& frame) {
    std::size_t bytes = 0;
    for (const AVBufferRef* buffer : frame.buf)
        if (buffer) bytes += buffer->size;
    for (int i = 0; i < frame.nb_extended_buf; ++i) bytes += frame.extended_buf[i]->size;
    return bytes;
}

}  // namespace

VideoDecoder::VideoDecoder(GraphState& state, const MediaSource& source, CodecContextPtr decoder,
                           std::size_t backStepBytes)
    : state_(state),
      source_(source),
      timeBase_(source.videoStream()->time_base),
      decoder_(std::move(decoder)),
      backStepBytes_(backStepBytes) {
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
    replaying_ = false;
    std::lock_guard lock(state_.mutex);
    if (state_.target.serial != target_.serial) return;
    state_.videoFinished = true;
    state_.pictures.push_back({nullptr, target_.serial, lastEnd_, lastEnd_});
    state_.changed.notify_all();
}

VideoDecoder::Picture VideoDecoder::Describe(FramePtr frame) {
    Ticks pts = source_.PictureTime(*frame, *decoder_, lastFedDts_);
    if (pts == kNoTime) pts = lastEnd_;
    const Ticks own = source_.PictureDuration(*frame);
    const bool known = own > 0;
    return {std::move(frame), pts, pts + (known ? own : source_.frameDuration()), known};
}

bool VideoDecoder::Take(Picture picture) {
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

void VideoDecoder::Publish() {
    state_.picturesDecoded = decoded_;
    state_.cachedPictures = cache_.size();
    state_.cachedBytes = cacheBytes_;
}

void VideoDecoder::Forget() {
    cache_.clear();
    cacheBytes_ = 0;
    replaying_ = false;
    dropUntilDts_ = AV_NOPTS_VALUE;
    firstAfterStep_ = false;
}

void VideoDecoder::Remember(const Picture& picture) {
    ++decoded_;
    // Only an unbroken run of pictures tells which one a target shows: a picture not decoded (skipped on the way
    // to a target) or one out of order starts the run anew.
    if (!cache_.empty()) {
        const Picture& last = cache_.back().picture;
        if (picture.pts <= last.pts || picture.pts > last.end + source_.frameDuration() / 2) Forget();
    }
    FramePtr copy(dtsKnown_ ? av_frame_clone(picture.frame.get()) : nullptr);
    if (copy) {
        const std::size_t bytes = BufferBytes(*copy);
        pictureBytes_ = bytes;
        cache_.push_back({{std::move(copy), picture.pts, picture.end, picture.endKnown}, bytes});
        cacheBytes_ += bytes;
        while (!cache_.empty() && cacheBytes_ > backStepBytes_) {
            cacheBytes_ -= cache_.front().bytes;
            cache_.pop_front();
        }
    } else {
        Forget();
    }
    std::lock_guard lock(state_.mutex);
    Publish();
}

Ticks VideoDecoder::BackStepReach() const {
    if (!dtsKnown_) return 0;  // nothing is cached
    if (pictureBytes_ == 0) return kBackStepReach;
    const auto pictures = static_cast<Ticks>(backStepBytes_ / pictureBytes_);
    return std::min(kBackStepReach, pictures * source_.frameDuration());
}

void VideoDecoder::NewTarget() {
    const bool hard = state_.target.serial != target_.serial;
    target_ = state_.target;
    seeking_ = true;
    if (!hard) return;
    held_ = {};
    finished_ = false;
    state_.newestDecoded = -1;
    state_.videoFinished = false;
    // The target's picture is the last cached one at or before it; the cache holds it when the target lies
    // between the first cached picture and the end of the last.
    const bool inCache = !cache_.empty() && dtsKnown_ && lastFedDts_ != AV_NOPTS_VALUE &&
                         cache_.front().picture.pts <= target_.position && target_.position < cache_.back().picture.end;
    if (!inCache) {
        Forget();
        Publish();
        return;
    }
    replayNext_ = 0;
    while (replayNext_ + 1 < cache_.size() && cache_[replayNext_ + 1].picture.pts <= target_.position) ++replayNext_;
    replaying_ = true;
    decoderSerial_ = target_.serial;  // goes on unflushed
    dropUntilDts_ = lastFedDts_;
    firstAfterStep_ = true;
}

void VideoDecoder::ReplayOne() {
    const Cached& cached = cache_[replayNext_++];
    if (replayNext_ == cache_.size()) replaying_ = false;
    FramePtr copy(av_frame_clone(cached.picture.frame.get()));
    if (!copy) {
        // No memory for even a frame's header: decode the group again from the packets read again.
        Forget();
        decoderSerial_ = 0;
        std::lock_guard lock(state_.mutex);
        Publish();
        return;
    }
    if (!Take({std::move(copy), cached.picture.pts, cached.picture.end, cached.picture.endKnown})) return;
    // A decoder that had drained has nothing to follow the last cached picture.
    if (!replaying_ && drained_ && !finished_) PassEnd();
}

bool VideoDecoder::IsNew(const PacketItem& item) {
    if (dropUntilDts_ == AV_NOPTS_VALUE || item.serial != decoderSerial_) return true;
    const std::int64_t dts = item.packet ? item.packet->dts : AV_NOPTS_VALUE;
    if (firstAfterStep_) {
        firstAfterStep_ = false;
        if (item.packet && (dts == AV_NOPTS_VALUE || dts > dropUntilDts_)) {
            // The reading did not start at or before what was sent (a file that seeks elsewhere than the keyframe
            // before its target): the decoder starts afresh there.
            Forget();
            decoderSerial_ = 0;
            std::lock_guard lock(state_.mutex);
            Publish();
            return true;
        }
    }
    if (!item.packet) {
        // The end of the file: everything was sent before; a decoder that had not drained drains now.
        dropUntilDts_ = AV_NOPTS_VALUE;
        return !drained_;
    }
    if (dts != AV_NOPTS_VALUE && dts <= dropUntilDts_) return false;
    dropUntilDts_ = AV_NOPTS_VALUE;
    return true;
}

void VideoDecoder::Decode(PacketItem item) {
    if (item.serial != decoderSerial_) {
        avcodec_flush_buffers(decoder_.get());
        decoderSerial_ = item.serial;
        lastFedDts_ = AV_NOPTS_VALUE;
        dtsKnown_ = true;
        drained_ = false;
        dropUntilDts_ = AV_NOPTS_VALUE;
    }
    // On the way to a seek's target, a picture that ends before it and that no other picture refers to need not
    // be decoded at all (about half of an H.264 stream's pictures), unless the steps back from the target would
    // find it in the cache.
    if (item.packet) {
        lastFedDts_ = item.packet->dts;
        dtsKnown_ = dtsKnown_ && item.packet->dts != AV_NOPTS_VALUE;
        const Ticks pts = source_.ToTicks(item.packet->pts, timeBase_);
        const Ticks duration = item.packet->duration > 0 ? av_rescale_q(item.packet->duration, timeBase_, kTicksBase)
                                                         : source_.frameDuration();
        const bool passing = seeking_ && pts != kNoTime && pts + duration <= target_.position - BackStepReach();
        decoder_->skip_frame = passing ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    } else {
        drained_ = true;
    }
    if (avcodec_send_packet(decoder_.get(), item.packet.get()) < 0 && item.packet)
        return;  // a damaged packet is skipped
    FramePtr frame(av_frame_alloc());
    while (!finished_) {
        if (!frame) frame.reset(av_frame_alloc());
        const int r = frame ? avcodec_receive_frame(decoder_.get(), frame.get()) : AVERROR(ENOMEM);
        if (r == AVERROR(EAGAIN)) break;
        if (r == AVERROR_EOF) {
            PassEnd();
            break;
        }
        if (r < 0) break;  // a frame that could not be decoded is skipped
        Picture picture = Describe(std::move(frame));
        Remember(picture);
        if (!Take(std::move(picture))) break;
    }
    if (!item.packet && !finished_) PassEnd();
}

void VideoDecoder::Run() {
    for (;;) {
        PacketItem item;
        {
            std::unique_lock lock(state_.mutex);
            state_.changed.wait(lock, [&] {
                return state_.abort || state_.target.generation != target_.generation ||
                       (!finished_ && state_.pictures.size() < kPictureCapacity &&
                        (replaying_ || !state_.videoPackets.empty()));
            });
            if (state_.abort) return;
            if (state_.target.generation != target_.generation) {
                NewTarget();
                continue;
            }
            if (!replaying_) {
                item = std::move(state_.videoPackets.front());
                state_.videoPackets.pop_front();
                if (item.packet) state_.packetBytes -= static_cast<std::size_t>(item.packet->size);
                state_.changed.notify_all();
            }
        }
        if (replaying_) {
            ReplayOne();
            continue;
        }
        if (item.serial != target_.serial || !IsNew(item)) continue;
        Decode(std::move(item));
    }
}

}  // namespace murtesk::video
