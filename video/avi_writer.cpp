#include "avi_writer.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <climits>
#include <cstring>

namespace murtesk::video {

AviWriter::~AviWriter() {
    if (output_) {
        if (output_->pb) avio_closep(&output_->pb);
        avformat_free_context(output_);
    }
}

bool AviWriter::Create(const std::string& target) {
    if (!file_.Create(target)) return false;
    if (avformat_alloc_output_context2(&output_, av_guess_format("avi", nullptr, nullptr), nullptr, nullptr) < 0)
        return false;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened =
        avio_open2(&output_->pb, ("file:" + file_.temporaryPath()).c_str(), AVIO_FLAG_WRITE, nullptr, &options);
    av_dict_free(&options);
    packet_.reset(av_packet_alloc());
    return opened >= 0 && packet_;
}

bool AviWriter::AddVideo(const AVCodec* encoder, int width, int height, AVPixelFormat pixelFormat,
                         AVRational frameDuration, AVRational sampleAspect, const EncoderSetup& setup) {
    if (!output_ || !encoder || video_) return false;
    encoder_.reset(avcodec_alloc_context3(encoder));
    if (!encoder_) return false;
    AVCodecContext& e = *encoder_;
    e.width = width;
    e.height = height;
    e.pix_fmt = pixelFormat;
    e.time_base = frameDuration;
    e.framerate = av_inv_q(frameDuration);
    e.sample_aspect_ratio = sampleAspect;
    e.thread_count = kVideoCodecThreads;
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) e.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (setup) setup(e);
    if (avcodec_open2(&e, encoder, nullptr) < 0) return false;
    video_ = avformat_new_stream(output_, nullptr);
    if (!video_ || avcodec_parameters_from_context(video_->codecpar, &e) < 0) return false;
    video_->time_base = e.time_base;
    video_->avg_frame_rate = e.framerate;
    video_->sample_aspect_ratio = sampleAspect;
    return true;
}

bool AviWriter::AddSound(int sampleRate, int channels) {
    if (!output_ || sound_ || sampleRate <= 0 || channels <= 0) return false;
    sound_ = avformat_new_stream(output_, nullptr);
    if (!sound_) return false;
    AVCodecParameters& p = *sound_->codecpar;
    p.codec_type = AVMEDIA_TYPE_AUDIO;
    p.codec_id = AV_CODEC_ID_PCM_S16LE;
    p.sample_rate = sampleRate;
    av_channel_layout_default(&p.ch_layout, channels);
    p.format = AV_SAMPLE_FMT_S16;
    p.bits_per_coded_sample = 16;
    p.block_align = 2 * channels;
    p.bit_rate = static_cast<std::int64_t>(sampleRate) * channels * 16;
    sound_->time_base = {1, sampleRate};
    channels_ = channels;
    return true;
}

bool AviWriter::Begin() { return output_ && (video_ || sound_) && avformat_write_header(output_, nullptr) >= 0; }

bool AviWriter::WriteEncoded() {
    for (;;) {
        const int r = avcodec_receive_packet(encoder_.get(), packet_.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
        packet_->stream_index = video_->index;
        av_packet_rescale_ts(packet_.get(), encoder_->time_base, video_->time_base);
        if (av_interleaved_write_frame(output_, packet_.get()) < 0) return false;  // takes the packet's data
    }
}

bool AviWriter::WritePicture(AVFrame& picture, std::int64_t index) {
    if (failed_ || !video_) return false;
    picture.pts = index;
    picture.pict_type = AV_PICTURE_TYPE_NONE;
    failed_ = avcodec_send_frame(encoder_.get(), &picture) < 0 || !WriteEncoded();
    return !failed_;
}

PacketPtr AviWriter::Code(AVFrame& picture) {
    if (failed_ || !video_) return nullptr;
    picture.pts = 0;
    picture.pict_type = AV_PICTURE_TYPE_NONE;
    PacketPtr coded(av_packet_alloc());
    if (!coded || avcodec_send_frame(encoder_.get(), &picture) < 0 ||
        avcodec_receive_packet(encoder_.get(), coded.get()) < 0)
        return nullptr;
    return coded;
}

bool AviWriter::WriteCoded(const AVPacket& coded, std::int64_t index) {
    if (failed_ || !video_) return false;
    if (av_packet_ref(packet_.get(), &coded) < 0) return failed_ = true, false;
    packet_->stream_index = video_->index;
    packet_->pts = packet_->dts = index;
    packet_->duration = 1;
    av_packet_rescale_ts(packet_.get(), encoder_->time_base, video_->time_base);
    failed_ = av_interleaved_write_frame(output_, packet_.get()) < 0;  // takes the packet's data
    return !failed_;
}

bool AviWriter::WriteSound(const std::int16_t* samples, int count) {
    if (failed_ || !sound_) return false;
    if (count <= 0) return true;
    const std::size_t bytes = static_cast<std::size_t>(count) * static_cast<std::size_t>(channels_) * 2;
    if (bytes > INT_MAX || av_new_packet(packet_.get(), static_cast<int>(bytes)) < 0) return failed_ = true, false;
    std::memcpy(packet_->data, samples, bytes);
    packet_->stream_index = sound_->index;
    packet_->pts = packet_->dts = soundSamples_;
    packet_->duration = count;
    packet_->flags |= AV_PKT_FLAG_KEY;
    av_packet_rescale_ts(packet_.get(), AVRational{1, sound_->codecpar->sample_rate}, sound_->time_base);
    soundSamples_ += count;
    failed_ = av_interleaved_write_frame(output_, packet_.get()) < 0;
    return !failed_;
}

bool AviWriter::Finish() {
    if (failed_ || !output_) return false;
    if (encoder_ && (avcodec_send_frame(encoder_.get(), nullptr) < 0 || !WriteEncoded())) return false;
    if (av_write_trailer(output_) < 0) return false;
    const bool written = output_->pb->error == 0;
    if (avio_closep(&output_->pb) < 0 || !written) return false;
    return file_.Commit();
}

}  // namespace murtesk::video
