#include "media_source.h"

extern "C" {
#include <libavutil/avutil.h>
}

#include <sys/stat.h>

#include <algorithm>

namespace murtesk::video {

namespace {

constexpr std::int64_t kProbeBytes = 64 << 20;

int InterruptCallback(void* opaque) {
    return static_cast<const std::atomic<bool>*>(opaque)->load(std::memory_order_relaxed) ? 1 : 0;
}

bool IsCoverPicture(const AVStream* stream) { return (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0; }

}  // namespace

std::unique_ptr<MediaSource> MediaSource::Open(const std::string& path, const std::atomic<bool>& interrupt) {
    // Only regular files: opening a named pipe or a device could wait for ever for its other end.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    std::unique_ptr<MediaSource> source(new MediaSource("file:" + path, interrupt));
    if (!source->OpenFormat() || !source->ChooseStreams() || !source->Probe()) return nullptr;
    return source;
}

bool MediaSource::OpenFormat() {
    AVFormatContext* format = avformat_alloc_context();
    if (!format) return false;
    format->interrupt_callback = {InterruptCallback, const_cast<std::atomic<bool>*>(&interrupt_)};
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&format, url_.c_str(), nullptr, &options);  // frees format on failure
    av_dict_free(&options);
    if (opened < 0) return false;
    format_.reset(format);
    return avformat_find_stream_info(format, nullptr) >= 0;
}

bool MediaSource::ChooseStreams() {
    AVFormatContext* f = format_.get();
    videoIndex_ = av_find_best_stream(f, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (videoIndex_ >= 0 && IsCoverPicture(f->streams[videoIndex_])) videoIndex_ = -1;
    audioIndex_ = av_find_best_stream(f, AVMEDIA_TYPE_AUDIO, -1, videoIndex_, nullptr, 0);
    if (videoIndex_ < 0 && audioIndex_ < 0) return false;
    if (videoIndex_ >= 0) {
        videoDecoder_ = OpenDecoder(videoIndex_);
        if (!videoDecoder_ || videoDecoder_->width <= 0 || videoDecoder_->height <= 0) return false;
        width_ = videoDecoder_->width;
        height_ = videoDecoder_->height;
        AVStream* stream = f->streams[videoIndex_];
        const AVRational rate = av_guess_frame_rate(f, stream, nullptr);
        if (rate.num > 0 && rate.den > 0) {
            framePeriod_ = av_inv_q(rate);
            frameDuration_ = std::max<Ticks>(1, av_rescale_q(1, framePeriod_, kTicksBase));
        }
    }
    if (audioIndex_ >= 0) {
        audioDecoder_ = OpenDecoder(audioIndex_);
        if (!audioDecoder_) return false;
    }
    origin_ = f->start_time != AV_NOPTS_VALUE ? f->start_time : 0;
    if (f->duration != AV_NOPTS_VALUE && f->duration > 0)
        duration_ = av_rescale_q(f->duration, AV_TIME_BASE_Q, kTicksBase);
    seekable_ = f->pb && (f->pb->seekable & AVIO_SEEKABLE_NORMAL) && duration_ > 0;
    if (videoIndex_ >= 0) {
        AVStream* stream = f->streams[videoIndex_];
        const int entries = avformat_index_get_entries_count(stream);
        for (int i = 0; i < entries; ++i) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, i);
            if (entry && (entry->flags & AVINDEX_KEYFRAME) && entry->timestamp != AV_NOPTS_VALUE) {
                if (keyframes_.empty()) firstKeyframeStamp_ = entry->timestamp;
                keyframes_.push_back(ToTicks(entry->timestamp, stream->time_base));
            }
        }
        std::sort(keyframes_.begin(), keyframes_.end());
    }
    return true;
}

CodecContextPtr MediaSource::OpenDecoder(int index, int threads) const {
    AVStream* stream = format_->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return nullptr;
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) return nullptr;
    decoder->pkt_timebase = stream->time_base;
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        decoder->thread_count = threads;
        decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    }
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return nullptr;
    return decoder;
}

bool MediaSource::Probe() {
    bool needVideo = videoIndex_ >= 0, needAudio = audioIndex_ >= 0;
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (!packet || !frame) return false;
    auto decodes = [&](AVCodecContext* decoder, const AVPacket* p) {
        if (avcodec_send_packet(decoder, p) < 0 && p) return false;  // a damaged packet: skipped
        bool got = false;
        while (avcodec_receive_frame(decoder, frame.get()) >= 0) {
            got = true;
            av_frame_unref(frame.get());
        }
        return got;
    };
    std::int64_t bytes = 0;
    while ((needVideo || needAudio) && bytes < kProbeBytes) {
        if (av_read_frame(format_.get(), packet.get()) < 0) {
            // The end of a short file: what the decoders still hold comes out when they drain.
            if (needVideo && decodes(videoDecoder_.get(), nullptr)) needVideo = false;
            if (needAudio && decodes(audioDecoder_.get(), nullptr)) needAudio = false;
            break;
        }
        const int index = packet->stream_index;
        if (index != videoIndex_ && index != audioIndex_) {
            av_packet_unref(packet.get());
            continue;
        }
        bytes += packet->size;
        if (index == videoIndex_ && needVideo && decodes(videoDecoder_.get(), packet.get()))
            needVideo = false;
        else if (index == audioIndex_ && needAudio && decodes(audioDecoder_.get(), packet.get()))
            needAudio = false;
        if (index == videoIndex_ && (packet->flags & AV_PKT_FLAG_KEY) && firstKeyOrder_ == kNoTime) {
            firstKeyOrder_ = Order(*packet);
            decodingTimesOnly_ = packet->dts != AV_NOPTS_VALUE && packet->pts == AV_NOPTS_VALUE;
        }
        PacketPtr kept(av_packet_alloc());
        if (!kept) return false;
        av_packet_move_ref(kept.get(), packet.get());
        probed_.push_back(std::move(kept));
    }
    if (needVideo || needAudio) return false;
    KeyframesAsShown();
    if (videoDecoder_) avcodec_flush_buffers(videoDecoder_.get());
    if (audioDecoder_) avcodec_flush_buffers(audioDecoder_.get());
    return true;
}

void MediaSource::KeyframesAsShown() {
    if (keyframes_.empty()) return;
    for (const PacketPtr& p : probed_) {
        if (p->stream_index != videoIndex_ || !(p->flags & AV_PKT_FLAG_KEY)) continue;
        if (p->dts != firstKeyframeStamp_ || p->pts == AV_NOPTS_VALUE || p->pts <= p->dts) return;
        const Ticks delay = av_rescale_q(p->pts - p->dts, videoStream()->time_base, kTicksBase);
        for (Ticks& t : keyframes_) t += delay;
        return;
    }
}

bool MediaSource::Reopen() {
    const AVCodecID videoCodec = videoIndex_ >= 0 ? videoStream()->codecpar->codec_id : AV_CODEC_ID_NONE;
    const AVCodecID audioCodec = audioIndex_ >= 0 ? audioStream()->codecpar->codec_id : AV_CODEC_ID_NONE;
    const unsigned streams = format_->nb_streams;
    format_.reset();
    if (!OpenFormat()) return false;
    const AVFormatContext* f = format_.get();
    return f->nb_streams == streams && (videoIndex_ < 0 || f->streams[videoIndex_]->codecpar->codec_id == videoCodec) &&
           (audioIndex_ < 0 || f->streams[audioIndex_]->codecpar->codec_id == audioCodec);
}

MediaSource::Moved MediaSource::SeekTo(Ticks position) {
    // In the time base of the stream the seek goes by, rounded down: rounded to the nearest, a target just
    // before a keyframe would land on that keyframe, after the target.
    const int index = videoIndex_ >= 0 ? videoIndex_ : audioIndex_;
    const std::int64_t ts = ToStreamTimestamp(position, format_->streams[index]->time_base);
    if (avformat_seek_file(format_.get(), index, INT64_MIN, ts, ts, 0) >= 0) return Moved::ToKeyframe;
    if (av_seek_frame(format_.get(), index, ts, AVSEEK_FLAG_BACKWARD) >= 0) return Moved::ToKeyframe;
    return Reopen() ? Moved::ToStart : Moved::Failed;
}

int MediaSource::ReadAhead(int videoPackets) {
    std::int64_t bytes = 0;
    while (videoPackets > 0) {
        PacketPtr packet(bytes < kProbeBytes ? av_packet_alloc() : nullptr);
        if (!packet) return AVERROR(ENOMEM);
        if (const int read = av_read_frame(format_.get(), packet.get()); read < 0) return read;
        const int index = packet->stream_index;
        if (index != videoIndex_ && index != audioIndex_) continue;
        bytes += packet->size;
        pending_.push_back(std::move(packet));
        if (index == videoIndex_) --videoPackets;
    }
    return 0;
}

Ticks MediaSource::Order(const AVPacket& packet) const {
    const AVRational base = videoStream()->time_base;
    return ToTicks(packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts, base);
}

bool MediaSource::SeekBefore(Ticks position) {
    pending_.clear();
    if (!format_)  // an earlier reopening failed
        return Reopen();
    Ticks at = position;
    Ticks back = frameDuration_;
    Ticks limit = kNoTime;  // the keyframe found unfit: the decoding must start before it
    bool endLooked = false;
    for (int attempt = 1;; ++attempt) {
        const Moved moved = SeekTo(at);
        if (moved != Moved::ToKeyframe) return moved == Moved::ToStart;
        if (videoIndex_ < 0 || attempt == kSeekAttempts || ReadAhead(1) < 0) return true;
        // Only a keyframe whose showing can be told says where the decoding starts; anything else is taken as it
        // comes.
        const std::size_t key = pending_.size() - 1;
        const AVPacket& first = *pending_[key];
        if (!(first.flags & AV_PKT_FLAG_KEY) || (first.pts == AV_NOPTS_VALUE && !decodingTimesOnly_)) return true;
        const Ticks order = Order(first);
        if (firstKeyOrder_ != kNoTime && order <= firstKeyOrder_) return true;
        if (limit != kNoTime && order >= limit) {
            back *= 2;  // the container's seek stayed there: further back
        } else if (const Ticks shown = KeyframeShown(key, position); shown == kNoTime) {
            return true;
        } else if (shown > position || (!endLooked && (endLooked = true) && ReadAhead(kEndReach) == AVERROR_EOF)) {
            limit = order;
        } else {
            return true;
        }
        at = std::min(at, limit) - back;
        pending_.clear();
    }
}

Ticks MediaSource::KeyframeShown(std::size_t key, Ticks position) {
    const AVPacket& keyframe = *pending_[key];
    if (keyframe.pts != AV_NOPTS_VALUE) return ToTicks(keyframe.pts, videoStream()->time_base);
    const Ticks order = Order(keyframe);
    if (videoStream()->codecpar->video_delay <= 0 || position - order >= kMaxReorderDelay * frameDuration_)
        return order;
    // One thread: a decoder of frame threads lets its first picture out only once each thread has a packet.
    if (!keyDecoder_ && !(keyDecoder_ = OpenDecoder(videoIndex_, 1))) return kNoTime;
    FramePtr picture(av_frame_alloc());
    if (!picture) return kNoTime;
    AVCodecContext* decoder = keyDecoder_.get();
    std::int64_t lastDts = AV_NOPTS_VALUE;
    auto firstShown = [&]() -> Ticks {
        int sent = 0;
        for (std::size_t i = key; sent < kEndReach; ++i) {
            if (i == pending_.size()) {
                const int read = ReadAhead(1);
                if (read == AVERROR_EOF) break;
                if (read < 0) return kNoTime;
            }
            const AVPacket& packet = *pending_[i];
            if (packet.stream_index != videoIndex_) continue;
            ++sent;
            if (avcodec_send_packet(decoder, &packet) < 0) continue;  // a damaged packet is skipped
            if (packet.dts != AV_NOPTS_VALUE) lastDts = packet.dts;
            if (avcodec_receive_frame(decoder, picture.get()) >= 0) return PictureTime(*picture, *decoder, lastDts);
        }
        // The end of the file (or of the reach): what the decoder holds comes out as it drains.
        if (avcodec_send_packet(decoder, nullptr) >= 0 && avcodec_receive_frame(decoder, picture.get()) >= 0)
            return PictureTime(*picture, *decoder, lastDts);
        return kNoTime;
    };
    const Ticks shown = firstShown();
    avcodec_flush_buffers(decoder);  // lets its pictures go until the next seek
    return shown;
}

int MediaSource::ReadPacket(AVPacket* packet) {
    if (!pending_.empty()) {
        av_packet_move_ref(packet, pending_.front().get());
        pending_.pop_front();
        return 0;
    }
    if (!format_) return AVERROR(EINVAL);
    return av_read_frame(format_.get(), packet);
}

AVStream* MediaSource::videoStream() const { return videoIndex_ >= 0 ? format_->streams[videoIndex_] : nullptr; }

AVStream* MediaSource::audioStream() const { return audioIndex_ >= 0 ? format_->streams[audioIndex_] : nullptr; }

Ticks MediaSource::ToTicks(std::int64_t pts, AVRational timeBase) const {
    if (pts == AV_NOPTS_VALUE) return kNoTime;
    return av_rescale_q(pts, timeBase, kTicksBase) - av_rescale_q(origin_, AV_TIME_BASE_Q, kTicksBase);
}

Ticks MediaSource::PictureTime(const AVFrame& picture, const AVCodecContext& decoder, std::int64_t& lastDts) const {
    const AVRational base = videoStream()->time_base;
    if (!decodingTimesOnly_) return ToTicks(picture.best_effort_timestamp, base);
    // One picture period by the stream's frame rate, in its time base: an AVI stream's time base may be finer than
    // its pictures, with no packet for the periods between.
    auto periods = [&](std::int64_t count) {
        return framePeriod_.num > 0 ? av_rescale_q(count, framePeriod_, base)
                                    : av_rescale_q(count * frameDuration_, kTicksBase, base);
    };
    std::int64_t dts = picture.pkt_dts;
    if (dts == AV_NOPTS_VALUE) {
        if (lastDts == AV_NOPTS_VALUE || __builtin_add_overflow(lastDts, periods(1), &dts)) return kNoTime;
        lastDts = dts;
    }
    const std::int64_t delay = periods(std::clamp(decoder.has_b_frames, 0, kMaxReorderDelay));
    std::int64_t shown = 0;
    if (delay < 0 || __builtin_sub_overflow(dts, delay, &shown)) return kNoTime;
    return ToTicks(shown, base);
}

Ticks MediaSource::PictureDuration(const AVFrame& picture) const {
    if (picture.pkt_duration <= 0) return 0;
    const Ticks own = av_rescale_q(picture.pkt_duration, videoStream()->time_base, kTicksBase);
    if (!decodingTimesOnly_ || framePeriod_.num <= 0) return own;
    return std::max(own, av_rescale_q_rnd(1, framePeriod_, kTicksBase, AV_ROUND_DOWN));
}

std::int64_t MediaSource::ToStreamTimestamp(Ticks t, AVRational timeBase) const {
    const Ticks fromOrigin = t + av_rescale_q(origin_, AV_TIME_BASE_Q, kTicksBase);
    return av_rescale_q_rnd(fromOrigin, kTicksBase, timeBase, static_cast<AVRounding>(AV_ROUND_DOWN));
}

}  // namespace murtesk::video
