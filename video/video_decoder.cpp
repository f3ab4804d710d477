#include "video_decoder.h"

namespace murtesk::video {

VideoDecoder::VideoDecoder(GraphState& state, const MediaSource& source, CodecContextPtr decoder)
    : m_state(state), m_source(source), m_timeBase(source.videoStream()->time_base), m_decoder(std::move(decoder))
{
    m_target = state.target;
}

void VideoDecoder::Pass(Picture picture)
{
    std::lock_guard lock(m_state.mutex);
    // Pictures stay good across a soft seek (the presenter skips those before its target), not across a hard one.
    if (m_state.target.serial != m_target.serial)
        return;
    m_state.newestDecoded = std::max(m_state.newestDecoded, picture.pts);
    m_state.pictures.push_back({std::move(picture.frame), m_target.serial, picture.pts, picture.end});
    m_state.changed.notify_all();
}

void VideoDecoder::PassEnd()
{
    if (m_held.frame)
        Pass(std::move(m_held));
    m_held = {};
    m_seeking = false;
    m_finished = true;
    std::lock_guard lock(m_state.mutex);
    if (m_state.target.serial != m_target.serial)
        return;
    m_state.videoFinished = true;
    m_state.pictures.push_back({nullptr, m_target.serial, m_lastEnd, m_lastEnd});
    m_state.changed.notify_all();
}

bool VideoDecoder::Take(FramePtr frame)
{
    Ticks pts = m_source.ToTicks(frame->best_effort_timestamp, m_timeBase);
    if (pts == kNoTime)
        pts = m_lastEnd;
    const Ticks duration = frame->pkt_duration > 0 ? av_rescale_q(frame->pkt_duration, m_timeBase, kTicksBase)
                                                   : m_source.frameDuration();
    Picture picture{std::move(frame), pts, pts + duration};
    m_lastEnd = picture.end;
    if (m_seeking) {
        if (picture.pts <= m_target.position) {
            m_held = std::move(picture);
            return true;
        }
        m_seeking = false;
        if (!m_held.frame) {
            // The target lies before this first picture: it is the one shown, even beyond the stop.
            Pass(std::move(picture));
            return true;
        }
        Pass(std::move(m_held));
        m_held = {};
    }
    if (picture.pts >= m_target.stop) {
        PassEnd();
        return false;
    }
    Pass(std::move(picture));
    return true;
}

void VideoDecoder::Run()
{
    FramePtr frame(av_frame_alloc());
    for (;;) {
        PacketItem item;
        {
            std::unique_lock lock(m_state.mutex);
            m_state.changed.wait(lock, [&] {
                return m_state.abort || m_state.target.generation != m_target.generation ||
                       (!m_finished && !m_state.videoPackets.empty() && m_state.pictures.size() < kPictureCapacity);
            });
            if (m_state.abort)
                return;
            if (m_state.target.generation != m_target.generation) {
                const bool hard = m_state.target.serial != m_target.serial;
                m_target = m_state.target;
                m_seeking = true;
                if (hard) {
                    m_held = {};
                    m_finished = false;
                    m_state.newestDecoded = -1;
                    m_state.videoFinished = false;
                }
                continue;
            }
            item = std::move(m_state.videoPackets.front());
            m_state.videoPackets.pop_front();
            if (item.packet)
                m_state.packetBytes -= static_cast<std::size_t>(item.packet->size);
            m_state.changed.notify_all();
        }
        if (item.serial != m_target.serial)
            continue;
        if (item.serial != m_decoderSerial) {
            avcodec_flush_buffers(m_decoder.get());
            m_decoderSerial = item.serial;
        }
        // On the way to a seek's target, a picture that ends before it and that no other picture refers to need not
        // be decoded at all (about half of an H.264 stream's pictures).
        if (item.packet) {
            const Ticks pts = m_source.ToTicks(item.packet->pts, m_timeBase);
            const Ticks duration = item.packet->duration > 0
                                       ? av_rescale_q(item.packet->duration, m_timeBase, kTicksBase)
                                       : m_source.frameDuration();
            const bool passing = m_seeking && pts != kNoTime && pts + duration <= m_target.position;
            m_decoder->skip_frame = passing ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        }
        if (avcodec_send_packet(m_decoder.get(), item.packet.get()) < 0 && item.packet)
            continue;  // a damaged packet is skipped
        while (!m_finished) {
            if (!frame)
                frame.reset(av_frame_alloc());
            const int r = frame ? avcodec_receive_frame(m_decoder.get(), frame.get()) : AVERROR(ENOMEM);
            if (r == AVERROR(EAGAIN))
                break;
            if (r == AVERROR_EOF) {
                PassEnd();
                break;
            }
            if (r < 0)
                break;  // a frame that could not be decoded is skipped
            if (!Take(std::move(frame)))
                break;
        }
        if (!item.packet && !m_finished)
            PassEnd();
    }
}

}  // namespace murtesk::video
