#include "reader.h"

namespace murtesk::video {

bool Reader::WantsMore() const
{
    if (m_state.packetBytes >= kMaxPacketBytes)
        return false;
    return (m_source.videoIndex() >= 0 && m_state.videoPackets.size() < kMinVideoPackets) ||
           (m_source.audioIndex() >= 0 && m_state.audioPackets.size() < kMinAudioPackets);
}

void Reader::Queue(PacketPtr packet, int serial)
{
    if (!packet) {
        if (m_source.videoIndex() >= 0)
            m_state.videoPackets.push_back({nullptr, serial});
        if (m_source.audioIndex() >= 0)
            m_state.audioPackets.push_back({nullptr, serial});
        return;
    }
    const int index = packet->stream_index;
    if (index != m_source.videoIndex() && index != m_source.audioIndex())
        return;
    m_state.packetBytes += static_cast<std::size_t>(packet->size);
    (index == m_source.videoIndex() ? m_state.videoPackets : m_state.audioPackets)
        .push_back({std::move(packet), serial});
}

bool Reader::SeekTo(Ticks position)
{
    AVFormatContext* format = m_source.format();
    if (!format)  // an earlier reopening failed
        return m_source.Reopen();
    // In the time base of the stream the seek goes by, rounded down: rounded to the nearest, a target just
    // before a keyframe would land on that keyframe, after the target.
    const int index = m_source.videoIndex() >= 0 ? m_source.videoIndex() : m_source.audioIndex();
    const std::int64_t ts = m_source.ToStreamTimestamp(position, format->streams[index]->time_base);
    if (avformat_seek_file(format, index, INT64_MIN, ts, ts, 0) >= 0)
        return true;
    if (av_seek_frame(format, index, ts, AVSEEK_FLAG_BACKWARD) >= 0)
        return true;
    return m_source.Reopen();
}

void Reader::Run()
{
    int serial = 1;
    bool atEnd = false;
    {
        std::lock_guard lock(m_state.mutex);
        for (PacketPtr& p : m_source.TakeProbedPackets())
            Queue(std::move(p), serial);
    }
    m_state.changed.notify_all();
    PacketPtr packet(av_packet_alloc());
    std::unique_lock lock(m_state.mutex);
    for (;;) {
        m_state.changed.wait(lock, [&] {
            return m_state.abort || m_state.target.serial != serial || (!atEnd && WantsMore());
        });
        if (m_state.abort)
            return;
        if (m_state.target.serial != serial) {
            serial = m_state.target.serial;
            const Ticks position = m_state.target.position;
            m_state.videoPackets.clear();
            m_state.audioPackets.clear();
            m_state.packetBytes = 0;
            lock.unlock();
            const bool ok = SeekTo(position);
            lock.lock();
            atEnd = !ok;
            if (serial == m_state.target.serial) {
                m_state.seekHandled = serial;
                m_state.seekFailed = !ok;
                if (!ok)
                    Queue(nullptr, serial);
            }
            m_state.changed.notify_all();
            continue;
        }
        int read = AVERROR(ENOMEM);
        if (packet && m_source.format()) {
            lock.unlock();
            read = av_read_frame(m_source.format(), packet.get());
            lock.lock();
        }
        if (serial != m_state.target.serial) {
            if (packet)
                av_packet_unref(packet.get());
            continue;
        }
        if (read == AVERROR(EAGAIN))
            continue;
        PacketPtr queued(read >= 0 ? av_packet_alloc() : nullptr);
        if (queued) {
            av_packet_move_ref(queued.get(), packet.get());
            Queue(std::move(queued), serial);
        } else {
            // The end of the file, an error that ends the reading, or no memory: the decoders drain.
            if (read >= 0)
                av_packet_unref(packet.get());
            Queue(nullptr, serial);
            atEnd = true;
        }
        m_state.changed.notify_all();
    }
}

}  // namespace murtesk::video
