// ExtractSpan (conversions.h).
extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <vector>

#include "avi_writer.h"
#include "conversions.h"
#include "frame_convert.h"
#include "span_reader.h"

namespace murtesk::video {

namespace {

const AVCodec* MpegFourEncoder() { return avcodec_find_encoder_by_name("mpeg4"); }

// The source's own codec when an AVI file can hold it and an encoder exists, else MPEG-4 Visual.
const AVCodec* EncoderFor(AVCodecID source) {
    const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
    if (avi && avformat_query_codec(avi, source, FF_COMPLIANCE_NORMAL) == 1)
        if (const AVCodec* encoder = avcodec_find_encoder(source)) return encoder;
    return MpegFourEncoder();
}

// Quality without visible loss. H.264 in AVI goes without B-pictures: the file keeps no presentation times.
void SetQuality(AVCodecContext& e) {
    if (e.codec_id == AV_CODEC_ID_H264) {
        av_opt_set(e.priv_data, "crf", "18", 0);
        av_opt_set(e.priv_data, "preset", "veryfast", 0);
        e.max_b_frames = 0;
        return;
    }
    e.flags |= AV_CODEC_FLAG_QSCALE;
    e.global_quality = 3 * FF_QP2LAMBDA;
}

// One picture's time: the stream's frame rate when it states one, else the duration the source guessed.
AVRational PictureDuration(const MediaSource& source) {
    const AVRational rate = av_guess_frame_rate(source.format(), source.videoStream(), nullptr);
    if (rate.num > 0 && rate.den > 0 && av_q2d(rate) <= 1000) return av_inv_q(rate);
    return av_make_q(static_cast<int>(std::min<Ticks>(source.frameDuration(), 10'000'000)), 10'000'000);
}

}  // namespace

bool ExtractSpan(const std::string& sourcePath, const std::string& target, std::int32_t startMs, std::int32_t endMs) {
    std::unique_ptr<SpanReader> reader = SpanReader::Open(sourcePath);
    if (!reader) return false;
    const MediaSource& source = reader->source();
    const Ticks start = TicksFromMs(std::max(startMs, 0));
    Ticks end = TicksFromMs(endMs);
    if (source.duration() > 0) end = std::min(end, source.duration());
    if (end <= start) return false;

    AviWriter writer;
    if (!writer.Create(target)) return false;
    const AVCodecContext* decoder = reader->videoDecoder();
    AVRational pictureDuration{1, 1};
    AVPixelFormat format = AV_PIX_FMT_NONE;
    if (decoder) {
        pictureDuration = PictureDuration(source);
        const AVRational aspect = source.videoStream()->sample_aspect_ratio;
        bool added = false;
        for (const AVCodec* encoder : {EncoderFor(decoder->codec_id), MpegFourEncoder()}) {
            if (!encoder) continue;
            format = encoder->pix_fmts
                         ? avcodec_find_best_pix_fmt_of_list(encoder->pix_fmts, decoder->pix_fmt, 0, nullptr)
                         : decoder->pix_fmt;
            if ((added = writer.AddVideo(encoder, source.width(), source.height(), format, pictureDuration, aspect,
                                         SetQuality)))
                break;
        }
        if (!added) return false;
    }
    const AVCodecContext* sound = reader->audioDecoder();
    const int rate = sound ? sound->sample_rate : 0;
    const int channels = sound ? sound->ch_layout.nb_channels : 0;
    if (sound && !writer.AddSound(rate, channels)) return false;
    if (!writer.Begin()) return false;

    // A failure of either stream ends both; the reading then ends at once.
    bool failed = false;
    PictureConverter pictures(source.width(), source.height(), format);
    std::int64_t lastPicture = -1;
    Ticks firstTime = 0;  // the first picture's (at or before the start): pictures count from it
    auto onPicture = [&](const AVFrame& picture, Ticks time) {
        if (failed) return false;
        std::int64_t index = 0;
        if (lastPicture < 0) {
            firstTime = time;
        } else {
            index = av_rescale_q_rnd(time - firstTime, kTicksBase, pictureDuration,
                                     static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
            if (index <= lastPicture) return true;  // two pictures in one frame period: the first is kept
        }
        AVFrame* frame = pictures.Convert(picture);
        failed = !frame || !writer.WritePicture(*frame, index);
        lastPicture = index;
        return !failed;
    };

    SoundConverter sounds(rate, channels);
    const std::int64_t spanSamples = av_rescale(end - start, rate, kTicksPerSecond);
    std::vector<std::int16_t> samples, silence;
    auto writeSilence = [&](std::int64_t count) {
        silence.assign(static_cast<std::size_t>(std::min<std::int64_t>(count, rate)) * channels, 0);
        for (std::int64_t left = count; left > 0 && !failed; left -= rate)
            failed = !writer.WriteSound(silence.data(), static_cast<int>(std::min<std::int64_t>(left, rate)));
    };
    auto onSound = [&](const AVFrame& frame, Ticks time) {
        samples.clear();
        if (failed || !sounds.Convert(&frame, samples)) return !(failed = true);
        const std::int64_t count = static_cast<std::int64_t>(samples.size()) / channels;
        // The frame's first sample within the span (from its time when it has one).
        std::int64_t first = time == kNoTime ? writer.soundWritten() : av_rescale(time - start, rate, kTicksPerSecond);
        std::int64_t from = 0;
        if (first < writer.soundWritten()) {
            from = writer.soundWritten() - first;  // overlaps what was written (or lies before the span)
        } else if (first > writer.soundWritten()) {
            // A gap in the sound: filled with silence, so that the sound keeps in step with the pictures.
            writeSilence(std::min(first, spanSamples) - writer.soundWritten());
        }
        const std::int64_t to = std::min(count, spanSamples - first);
        if (!failed && to > from)
            failed = !writer.WriteSound(samples.data() + from * channels, static_cast<int>(to - from));
        return !failed && writer.soundWritten() < spanSamples;
    };
    if (!reader->Read(start, end, decoder ? SpanReader::FrameCallback(onPicture) : nullptr,
                      sound ? SpanReader::FrameCallback(onSound) : nullptr))
        return false;
    if (failed || (lastPicture < 0 && writer.soundWritten() == 0)) return false;
    return writer.Finish();
}

}  // namespace murtesk::video
