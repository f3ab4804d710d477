#include "frame_convert.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace murtesk::video {

AVFrame* PictureConverter::Convert(const AVFrame& picture) {
    const auto source = static_cast<AVPixelFormat>(picture.format);
    scaler_.reset(sws_getCachedContext(scaler_.release(), picture.width, picture.height, source, width_, height_,
                                       format_, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler_) return nullptr;
    // A new buffer each time: the encoder may still hold the last one.
    output_.reset(av_frame_alloc());
    if (!output_) return nullptr;
    output_->width = width_;
    output_->height = height_;
    output_->format = format_;
    output_->sample_aspect_ratio = picture.sample_aspect_ratio;
    if (av_frame_get_buffer(output_.get(), 0) < 0) return nullptr;
    if (sws_scale(scaler_.get(), picture.data, picture.linesize, 0, picture.height, output_->data, output_->linesize) !=
        height_)
        return nullptr;
    return output_.get();
}

SoundConverter::~SoundConverter() { av_channel_layout_uninit(&inLayout_); }

bool SoundConverter::Setup(const AVFrame& sound) {
    if (resampler_ && sound.sample_rate == inRate_ && sound.format == inFormat_ &&
        av_channel_layout_compare(&sound.ch_layout, &inLayout_) == 0)
        return true;
    AVChannelLayout in{}, out{};
    if (sound.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, sound.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in, &sound.ch_layout) < 0)
        return false;
    av_channel_layout_default(&out, channels_);
    SwrContext* resampler = nullptr;
    const int made = swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_S16, rate_, &in,
                                         static_cast<AVSampleFormat>(sound.format), sound.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    resampler_.reset(resampler);
    if (made < 0 || swr_init(resampler) < 0) return false;
    inRate_ = sound.sample_rate;
    inFormat_ = sound.format;
    av_channel_layout_uninit(&inLayout_);
    return av_channel_layout_copy(&inLayout_, &sound.ch_layout) >= 0;
}

bool SoundConverter::Convert(const AVFrame* sound, std::vector<std::int16_t>& out) {
    if (sound && (sound->sample_rate <= 0 || !Setup(*sound))) return false;
    if (!resampler_) return sound == nullptr;
    const int inCount = sound ? sound->nb_samples : 0;
    const int room = swr_get_out_samples(resampler_.get(), inCount);
    if (room < 0) return false;
    const std::size_t old = out.size();
    out.resize(old + static_cast<std::size_t>(room) * static_cast<std::size_t>(channels_));
    auto* target = reinterpret_cast<std::uint8_t*>(out.data() + old);
    const int made = swr_convert(resampler_.get(), &target, room,
                                 sound ? const_cast<const std::uint8_t**>(sound->extended_data) : nullptr, inCount);
    out.resize(old + static_cast<std::size_t>(std::max(made, 0)) * static_cast<std::size_t>(channels_));
    return made >= 0;
}

}  // namespace murtesk::video
