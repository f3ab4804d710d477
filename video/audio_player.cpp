#include "audio_player.h"

#include <algorithm>

namespace murtesk::video {

namespace {

constexpr auto kDrainStep = std::chrono::milliseconds(10);

int DeviceChannels(const AVCodecContext* decoder)
{
    return std::clamp(decoder->ch_layout.nb_channels, 1, 2);
}

}  // namespace

AudioPlayer::AudioPlayer(GraphState& state, const MediaSource& source, CodecContextPtr decoder, bool nullDevice,
                         std::atomic<bool>& interrupt, std::function<void()> announce)
    : m_state(state),
      m_source(source),
      m_timeBase(source.audioStream()->time_base),
      m_decoder(std::move(decoder)),
      m_nullDevice(nullDevice),
      m_interrupt(interrupt),
      m_announce(std::move(announce)),
      m_frame(av_frame_alloc())
{
    m_target = state.target;
    m_timelineStart = m_target.position;
}

AudioPlayer::~AudioPlayer()
{
    av_channel_layout_uninit(&m_converterLayout);
}

Ticks AudioPlayer::TimelineTime(std::int64_t frame) const
{
    return m_timelineStart + av_rescale(frame, kTicksPerSecond, m_device->rate());
}

void AudioPlayer::Adopt(const Target& target)
{
    const bool hard = target.serial != m_target.serial;
    m_target = target;
    m_timelineStart = target.position;
    m_nextFrame = 0;
    m_written = 0;
    m_pending.clear();
    m_pendingOffset = 0;
    if (hard)
        m_dataEnded = false;
    m_endMarked = false;
}

bool AudioPlayer::Convert(const AVFrame* frame, std::vector<std::int16_t>& out)
{
    const int channels = m_device->channels();
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0)
        av_channel_layout_default(&in, std::max(1, frame->ch_layout.nb_channels));
    else if (av_channel_layout_copy(&in, &frame->ch_layout) < 0)
        return false;
    if (!m_converter || m_converterRate != frame->sample_rate || m_converterFormat != frame->format ||
        av_channel_layout_compare(&m_converterLayout, &in) != 0) {
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, channels);
        SwrContext* converter = nullptr;
        const int made = swr_alloc_set_opts2(&converter, &outLayout, AV_SAMPLE_FMT_S16, m_device->rate(), &in,
                                             static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                             nullptr);
        m_converter.reset(converter);
        if (made < 0 || swr_init(m_converter.get()) < 0) {
            m_converter.reset();
            av_channel_layout_uninit(&in);
            return false;
        }
        m_converterRate = frame->sample_rate;
        m_converterFormat = frame->format;
        av_channel_layout_uninit(&m_converterLayout);
        av_channel_layout_copy(&m_converterLayout, &in);
    }
    av_channel_layout_uninit(&in);
    const int capacity = swr_get_out_samples(m_converter.get(), frame->nb_samples);
    if (capacity < 0)
        return false;
    out.resize(static_cast<std::size_t>(capacity) * channels);
    auto* target = reinterpret_cast<std::uint8_t*>(out.data());
    const int converted = swr_convert(m_converter.get(), &target, capacity,
                                      const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    if (converted < 0)
        return false;
    out.resize(static_cast<std::size_t>(converted) * channels);
    return true;
}

void AudioPlayer::Append(const AVFrame* frame)
{
    if (m_dataEnded || !Convert(frame, m_converted) || m_converted.empty())
        return;
    const int channels = m_device->channels();
    const int rate = m_device->rate();
    std::int64_t count = static_cast<std::int64_t>(m_converted.size()) / channels;
    std::int64_t skip = 0;
    const Ticks pts = m_source.ToTicks(frame->best_effort_timestamp, m_timeBase);
    if (pts != kNoTime) {
        std::int64_t index = av_rescale(pts - m_timelineStart, rate, kTicksPerSecond);
        if (index - m_nextFrame > 5LL * rate) {
            // A long silence in the file: the timeline moves on instead of filling it.
            m_timelineStart = pts - av_rescale(m_nextFrame, kTicksPerSecond, rate);
            index = m_nextFrame;
        }
        if (index - m_nextFrame > rate / 50) {
            const std::int64_t silence = index - m_nextFrame;
            m_pending.insert(m_pending.end(), static_cast<std::size_t>(silence * channels), 0);
            m_nextFrame = index;
        } else if (index < m_nextFrame) {
            skip = std::min(count, m_nextFrame - index);
        }
    }
    count -= skip;
    if (m_target.stop != kNoStop) {
        const std::int64_t stopIndex =
            std::max<std::int64_t>(0, av_rescale(m_target.stop - m_timelineStart, rate, kTicksPerSecond));
        if (m_nextFrame + count >= stopIndex) {
            count = std::max<std::int64_t>(0, stopIndex - m_nextFrame);
            m_dataEnded = true;
        }
    }
    const auto begin = m_converted.begin() + skip * channels;
    m_pending.insert(m_pending.end(), begin, begin + count * channels);
    m_nextFrame += count;
}

void AudioPlayer::Decode(const PacketItem& item)
{
    if (item.serial != m_decoderSerial) {
        avcodec_flush_buffers(m_decoder.get());
        m_converter.reset();
        m_decoderSerial = item.serial;
    }
    if (avcodec_send_packet(m_decoder.get(), item.packet.get()) < 0 && item.packet)
        return;  // a damaged packet is skipped
    while (m_frame) {
        const int r = avcodec_receive_frame(m_decoder.get(), m_frame.get());
        if (r == AVERROR(EAGAIN))
            break;
        if (r == AVERROR_EOF) {
            m_dataEnded = true;
            break;
        }
        if (r < 0)
            break;
        Append(m_frame.get());
        av_frame_unref(m_frame.get());
    }
    if (!item.packet)
        m_dataEnded = true;
}

void AudioPlayer::Run()
{
    const int rate = m_decoder->sample_rate > 0 ? m_decoder->sample_rate : 44100;
    m_device = OpenAudioDevice(m_nullDevice, rate, DeviceChannels(m_decoder.get()), m_interrupt);
    bool devicePaused = false;
    bool dropNeeded = false;
    std::unique_lock lock(m_state.mutex);
    for (;;) {
        lock.unlock();
        m_interrupt.store(false);  // before the state is read: a request made after this cuts the next write short
        lock.lock();
        if (m_state.abort)
            return;
        if (m_state.target.generation != m_target.generation) {
            Adopt(m_state.target);
            dropNeeded = true;
        }
        const bool pictureReady = !(m_state.streams & kVideoBit) || (m_state.ended & kVideoBit) ||
                                  m_state.preparedGeneration == m_target.generation;
        const bool play =
            (m_state.mode == ClockMode::Waiting || m_state.mode == ClockMode::Running) && pictureReady;
        if (dropNeeded || devicePaused == play) {
            lock.unlock();
            if (dropNeeded)
                m_device->Drop();
            m_device->SetPaused(!play);
            lock.lock();
            dropNeeded = false;
            devicePaused = !play;
            continue;
        }
        const std::int64_t pendingFrames =
            static_cast<std::int64_t>(m_pending.size()) / m_device->channels() - static_cast<std::int64_t>(m_pendingOffset);
        if (play && pendingFrames > 0) {
            const int generation = m_target.generation;
            lock.unlock();
            long written = m_device->Write(m_pending.data() + m_pendingOffset * m_device->channels(), pendingFrames);
            if (written < 0) {
                // The device failed for good: the rest plays silently in real time.
                m_device = OpenNullAudioDevice(m_device->rate(), m_device->channels(), m_interrupt);
                written = 0;
            }
            const long delay = m_device->Delay();
            lock.lock();
            if (generation != m_target.generation)
                continue;
            m_pendingOffset += static_cast<std::size_t>(written);
            m_written += written;
            if (m_pendingOffset * m_device->channels() >= m_pending.size()) {
                m_pending.clear();
                m_pendingOffset = 0;
            }
            if (generation == m_state.target.generation && written > 0) {
                m_state.Anchor(TimelineTime(std::max<std::int64_t>(0, m_written - delay)), SteadyClock::now());
                m_state.changed.notify_all();
            }
            continue;
        }
        if (m_dataEnded && pendingFrames <= 0) {
            if (!play || m_endMarked) {
                m_state.changed.wait(lock);
                continue;
            }
            lock.unlock();
            const long delay = m_device->Delay();
            lock.lock();
            if (m_state.target.generation != m_target.generation)
                continue;
            if (m_written > 0)
                m_state.Anchor(TimelineTime(std::max<std::int64_t>(0, m_written - delay)), SteadyClock::now());
            if (delay <= 0) {
                m_endMarked = true;
                const bool completed =
                    m_state.MarkEnded(kAudioBit, m_target.serial, m_target.generation, SteadyClock::now());
                m_state.changed.notify_all();
                if (completed) {
                    lock.unlock();
                    m_announce();
                    lock.lock();
                }
            } else {
                m_state.changed.wait_for(lock, kDrainStep);
            }
            continue;
        }
        if (pendingFrames > 0 || m_state.audioPackets.empty()) {
            m_state.changed.wait(lock);
            continue;
        }
        PacketItem item = std::move(m_state.audioPackets.front());
        m_state.audioPackets.pop_front();
        if (item.packet)
            m_state.packetBytes -= static_cast<std::size_t>(item.packet->size);
        m_state.changed.notify_all();
        if (item.serial != m_target.serial)
            continue;
        lock.unlock();
        Decode(item);
        lock.lock();
    }
}

}  // namespace murtesk::video
