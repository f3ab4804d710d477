#include "span_reader.h"

namespace murtesk::video {

namespace {

// A conversion is never cut short from outside: its source's interrupt stays down.
const std::atomic<bool> kNeverInterrupted{false};

}  // namespace

std::unique_ptr<SpanReader> SpanReader::Open(const std::string& path) {
    std::unique_ptr<MediaSource> source = MediaSource::Open(path, kNeverInterrupted);
    if (!source) return nullptr;
    return std::unique_ptr<SpanReader>(new SpanReader(std::move(source)));
}

SpanReader::SpanReader(std::unique_ptr<MediaSource> source)
    : source_(std::move(source)), video_(source_->TakeVideoDecoder()), audio_(source_->TakeAudioDecoder()) {}

bool SpanReader::Read(Ticks start, Ticks end, const FrameCallback& onPicture, const FrameCallback& onSound) {
    const bool wantVideo = onPicture && video_;
    const bool wantAudio = onSound && audio_;
    source_->TakeProbedPackets();
    if (!source_->SeekBefore(start)) return false;
    if (video_) avcodec_flush_buffers(video_.get());
    if (audio_) avcodec_flush_buffers(audio_.get());

    const AVRational videoBase = wantVideo ? source_->videoStream()->time_base : AVRational{1, 1};
    const AVRational audioBase = wantAudio ? source_->audioStream()->time_base : AVRational{1, 1};
    bool videoDone = !wantVideo, audioDone = !wantAudio;
    bool started = false;  // the picture at the start was passed on
    FramePtr held;         // the latest picture at or before the start so far
    Ticks heldTime = 0, nextPicture = 0;
    std::int64_t fedDts = AV_NOPTS_VALUE;  // of the last packet sent to the video decoder

    auto passPicture = [&](const AVFrame& frame, Ticks time) {
        if (!onPicture(frame, time)) videoDone = true;
    };
    auto takePicture = [&](FramePtr frame) {
        Ticks t = source_->PictureTime(*frame, *video_, fedDts);
        if (t == kNoTime) t = nextPicture;
        nextPicture = t + source_->frameDuration();
        if (!started) {
            if (t <= start) {
                held = std::move(frame);
                heldTime = t;
                return;
            }
            started = true;
            if (!held) return passPicture(*frame, t);  // the span starts before every picture
            passPicture(*held, heldTime);
            held.reset();
            if (videoDone) return;
        }
        if (t >= end) {
            videoDone = true;
            return;
        }
        passPicture(*frame, t);
    };
    auto takeSound = [&](const AVFrame& frame) {
        const Ticks t = source_->ToTicks(frame.best_effort_timestamp, audioBase);
        if (t != kNoTime && frame.sample_rate > 0) {
            if (t >= end) {
                audioDone = true;
                return;
            }
            if (t + av_rescale(frame.nb_samples, kTicksPerSecond, frame.sample_rate) <= start) return;
        }
        if (!onSound(frame, t)) audioDone = true;
    };
    // Takes what a decoder has ready; `flush` first tells it that no more packets come.
    auto receive = [&](AVCodecContext* decoder, bool isVideo, bool flush) {
        if (flush) avcodec_send_packet(decoder, nullptr);
        FramePtr frame;
        while (!(isVideo ? videoDone : audioDone)) {
            if (!frame) frame.reset(av_frame_alloc());
            if (!frame || avcodec_receive_frame(decoder, frame.get()) < 0) break;
            if (isVideo) {
                takePicture(std::move(frame));
            } else {
                takeSound(*frame);
                av_frame_unref(frame.get());
            }
        }
    };

    PacketPtr packet(av_packet_alloc());
    if (!packet) return false;
    while (!(videoDone && audioDone)) {
        if (source_->ReadPacket(packet.get()) < 0) break;  // the end of the file, or a read error
        const int index = packet->stream_index;
        if (index == source_->videoIndex() && !videoDone) {
            // A picture that ends before the start and that no other refers to need not be decoded.
            const Ticks pts = source_->ToTicks(packet->pts, videoBase);
            const bool passing = !started && pts != kNoTime && pts + source_->frameDuration() <= start;
            video_->skip_frame = passing ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
            if (avcodec_send_packet(video_.get(), packet.get()) >= 0) {
                if (packet->dts != AV_NOPTS_VALUE) fedDts = packet->dts;
                receive(video_.get(), true, false);
            }
        } else if (index == source_->audioIndex() && !audioDone) {
            if (avcodec_send_packet(audio_.get(), packet.get()) >= 0) receive(audio_.get(), false, false);
        }
        av_packet_unref(packet.get());
    }
    if (!videoDone) {
        receive(video_.get(), true, true);
        if (!started && held && !videoDone) passPicture(*held, heldTime);  // the start lies at or past the last picture
    }
    if (!audioDone) receive(audio_.get(), false, true);
    return true;
}

}  // namespace murtesk::video
