#include "media_source.h"

extern "C" {
#include <libavutil/avutil.h>
}

#include <algorithm>

namespace murtesk::video {

namespace {

constexpr std::int64_t kProbeBytes = 64 << 20;

// Video decoders use a thread per core: an accurate seek decodes every frame from the keyframe before its target.
// ThreadSanitizer cannot see the atomics inside FFmpeg's own (uninstrumented) decoding threads and takes their
// hand-overs of frame buffers for races, so under it the decoders run on their calling thread.
#if defined(__SANITIZE_THREAD__)
constexpr int kVideoDecoderThreads = 1;
#else
constexpr int kVideoDecoderThreads = 0;
#endif

int InterruptCallback(void* opaque)
{
    return static_cast<const std::atomic<bool>*>(opaque)->load(std::memory_order_relaxed) ? 1 : 0;
}

bool IsCoverPicture(const AVStream* stream)
{
    return (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

}  // namespace

std::unique_ptr<MediaSource> MediaSource::Open(const std::string& path, const std::atomic<bool>& interrupt)
{
    std::unique_ptr<MediaSource> source(new MediaSource("file:" + path, interrupt));
    if (!source->OpenFormat() || !source->ChooseStreams() || !source->Probe())
        return nullptr;
    return source;
}

bool MediaSource::OpenFormat()
{
    AVFormatContext* format = avformat_alloc_context();
    if (!format)
        return false;
    format->interrupt_callback = {InterruptCallback, const_cast<std::atomic<bool>*>(&m_interrupt)};
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&format, m_url.c_str(), nullptr, &options);  // frees format on failure
    av_dict_free(&options);
    if (opened < 0)
        return false;
    m_format.reset(format);
    return avformat_find_stream_info(format, nullptr) >= 0;
}

bool MediaSource::ChooseStreams()
{
    AVFormatContext* f = m_format.get();
    m_videoIndex = av_find_best_stream(f, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_videoIndex >= 0 && IsCoverPicture(f->streams[m_videoIndex]))
        m_videoIndex = -1;
    m_audioIndex = av_find_best_stream(f, AVMEDIA_TYPE_AUDIO, -1, m_videoIndex, nullptr, 0);
    if (m_videoIndex < 0 && m_audioIndex < 0)
        return false;
    if (m_videoIndex >= 0) {
        m_videoDecoder = OpenDecoder(m_videoIndex);
        if (!m_videoDecoder || m_videoDecoder->width <= 0 || m_videoDecoder->height <= 0)
            return false;
        m_width = m_videoDecoder->width;
        m_height = m_videoDecoder->height;
        AVStream* stream = f->streams[m_videoIndex];
        const AVRational rate = av_guess_frame_rate(f, stream, nullptr);
        if (rate.num > 0 && rate.den > 0)
            m_frameDuration = std::max<Ticks>(1, av_rescale_q(1, av_inv_q(rate), kTicksBase));
    }
    if (m_audioIndex >= 0) {
        m_audioDecoder = OpenDecoder(m_audioIndex);
        if (!m_audioDecoder)
            return false;
    }
    m_origin = f->start_time != AV_NOPTS_VALUE ? f->start_time : 0;
    if (f->duration != AV_NOPTS_VALUE && f->duration > 0)
        m_duration = av_rescale_q(f->duration, AV_TIME_BASE_Q, kTicksBase);
    m_seekable = f->pb && (f->pb->seekable & AVIO_SEEKABLE_NORMAL) && m_duration > 0;
    if (m_videoIndex >= 0) {
        AVStream* stream = f->streams[m_videoIndex];
        const int entries = avformat_index_get_entries_count(stream);
        for (int i = 0; i < entries; ++i) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, i);
            if (entry && (entry->flags & AVINDEX_KEYFRAME) && entry->timestamp != AV_NOPTS_VALUE)
                m_keyframes.push_back(ToTicks(entry->timestamp, stream->time_base));
        }
        std::sort(m_keyframes.begin(), m_keyframes.end());
    }
    return true;
}

CodecContextPtr MediaSource::OpenDecoder(int index) const
{
    AVStream* stream = m_format->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return nullptr;
    decoder->pkt_timebase = stream->time_base;
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        decoder->thread_count = kVideoDecoderThreads;
        decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    }
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return nullptr;
    return decoder;
}

bool MediaSource::Probe()
{
    bool needVideo = m_videoIndex >= 0, needAudio = m_audioIndex >= 0;
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (!packet || !frame)
        return false;
    auto decodes = [&](AVCodecContext* decoder, const AVPacket* p) {
        if (avcodec_send_packet(decoder, p) < 0 && p)
            return false;  // a damaged packet: skipped
        bool got = false;
        while (avcodec_receive_frame(decoder, frame.get()) >= 0) {
            got = true;
            av_frame_unref(frame.get());
        }
        return got;
    };
    std::int64_t bytes = 0;
    while ((needVideo || needAudio) && bytes < kProbeBytes) {
        if (av_read_frame(m_format.get(), packet.get()) < 0) {
            // The end of a short file: what the decoders still hold comes out when they drain.
            if (needVideo && decodes(m_videoDecoder.get(), nullptr))
                needVideo = false;
            if (needAudio && decodes(m_audioDecoder.get(), nullptr))
                needAudio = false;
            break;
        }
        const int index = packet->stream_index;
        if (index != m_videoIndex && index != m_audioIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        bytes += packet->size;
        if (index == m_videoIndex && needVideo && decodes(m_videoDecoder.get(), packet.get()))
            needVideo = false;
        else if (index == m_audioIndex && needAudio && decodes(m_audioDecoder.get(), packet.get()))
            needAudio = false;
        PacketPtr kept(av_packet_alloc());
        if (!kept)
            return false;
        av_packet_move_ref(kept.get(), packet.get());
        m_probed.push_back(std::move(kept));
    }
    if (needVideo || needAudio)
        return false;
    if (m_videoDecoder)
        avcodec_flush_buffers(m_videoDecoder.get());
    if (m_audioDecoder)
        avcodec_flush_buffers(m_audioDecoder.get());
    return true;
}

bool MediaSource::Reopen()
{
    const AVCodecID videoCodec = m_videoIndex >= 0 ? videoStream()->codecpar->codec_id : AV_CODEC_ID_NONE;
    const AVCodecID audioCodec = m_audioIndex >= 0 ? audioStream()->codecpar->codec_id : AV_CODEC_ID_NONE;
    const unsigned streams = m_format->nb_streams;
    m_format.reset();
    if (!OpenFormat())
        return false;
    const AVFormatContext* f = m_format.get();
    return f->nb_streams == streams &&
           (m_videoIndex < 0 || f->streams[m_videoIndex]->codecpar->codec_id == videoCodec) &&
           (m_audioIndex < 0 || f->streams[m_audioIndex]->codecpar->codec_id == audioCodec);
}

AVStream* MediaSource::videoStream() const
{
    return m_videoIndex >= 0 ? m_format->streams[m_videoIndex] : nullptr;
}

AVStream* MediaSource::audioStream() const
{
    return m_audioIndex >= 0 ? m_format->streams[m_audioIndex] : nullptr;
}

Ticks MediaSource::ToTicks(std::int64_t pts, AVRational timeBase) const
{
    if (pts == AV_NOPTS_VALUE)
        return kNoTime;
    return av_rescale_q(pts, timeBase, kTicksBase) - av_rescale_q(m_origin, AV_TIME_BASE_Q, kTicksBase);
}

std::int64_t MediaSource::ToStreamTimestamp(Ticks t, AVRational timeBase) const
{
    const Ticks fromOrigin = t + av_rescale_q(m_origin, AV_TIME_BASE_Q, kTicksBase);
    return av_rescale_q_rnd(fromOrigin, kTicksBase, timeBase, static_cast<AVRounding>(AV_ROUND_DOWN));
}

}  // namespace murtesk::video
