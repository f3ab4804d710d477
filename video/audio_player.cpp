#include "audio_player.h"

#include <algorithm>

namespace murtesk::video {

namespace {

constexpr auto kDrainStep = std::chrono::milliseconds(10);

int DeviceChannels(const AVCodecContext* decoder) { return std::clamp(decoder->ch_layout.nb_channels, 1, 2); }

}  // namespace

AudioPlayer::AudioPlayer(GraphState& state, const MediaSource& source, CodecContextPtr decoder, bool nullDevice,
                         std::atomic<bool>& interrupt, std::function<void()> announce)
    : state_(state),
      source_(source),
      timeBase_(source.audioStream()->time_base),
      decoder_(std::move(decoder)),
      nullDevice_(nullDevice),
      interrupt_(interrupt),
      announce_(std::move(announce)),
      frame_(av_frame_alloc()) {
    target_ = state.target;
    timelineStart_ = target_.position;
}

AudioPlayer::~AudioPlayer() { av_channel_layout_uninit(&converterLayout_); }

Ticks AudioPlayer::TimelineTime(std::int64_t frame) const {
    return timelineStart_ + av_rescale(frame, kTicksPerSecond, device_->rate());
}

void AudioPlayer::Adopt(const Target& target) {
    const bool hard = target.serial != target_.serial;
    target_ = target;
    timelineStart_ = target.position;
    nextFrame_ = 0;
    written_ = 0;
    pending_.clear();
    pendingOffset_ = 0;
    if (hard) dataEnded_ = false;
    endMarked_ = false;
}

bool AudioPlayer::Convert(const AVFrame* frame, std::vector<std::int16_t>& out) {
    const int channels = device_->channels();
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0)
        av_channel_layout_default(&in, std::max(1, frame->ch_layout.nb_channels));
    else if (av_channel_layout_copy(&in, &frame->ch_layout) < 0)
        return false;
    if (!converter_ || converterRate_ != frame->sample_rate || converterFormat_ != frame->format ||
        av_channel_layout_compare(&converterLayout_, &in) != 0) {
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, channels);
        SwrContext* converter = nullptr;
        const int made =
            swr_alloc_set_opts2(&converter, &outLayout, AV_SAMPLE_FMT_S16, device_->rate(), &in,
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
        converter_.reset(converter);
        if (made < 0 || swr_init(converter_.get()) < 0) {
            converter_.reset();
            av_channel_layout_uninit(&in);
            return false;
        }
        converterRate_ = frame->sample_rate;
        converterFormat_ = frame->format;
        av_channel_layout_uninit(&converterLayout_);
        av_channel_layout_copy(&converterLayout_, &in);
    }
    av_channel_layout_uninit(&in);
    const int capacity = swr_get_out_samples(converter_.get(), frame->nb_samples);
    if (capacity < 0) return false;
    out.resize(static_cast<std::size_t>(capacity) * channels);
    auto* target = reinterpret_cast<std::uint8_t*>(out.data());
    const int converted = swr_convert(converter_.get(), &target, capacity,
                                      const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    if (converted < 0) return false;
    out.resize(static_cast<std::size_t>(converted) * channels);
    return true;
}

void AudioPlayer::Append(const AVFrame* frame) {
    if (dataEnded_ || !Convert(frame, converted_) || converted_.empty()) return;
    const int channels = device_->channels();
    const int rate = device_->rate();
    std::int64_t count = static_cast<std::int64_t>(converted_.size()) / channels;
    std::int64_t skip = 0;
    const Ticks pts = source_.ToTicks(frame->best_effort_timestamp, timeBase_);
    if (pts != kNoTime) {
        std::int64_t index = av_rescale(pts - timelineStart_, rate, kTicksPerSecond);
        if (index - nextFrame_ > 5LL * rate) {
            // A long silence in the file: the timeline moves on instead of filling it.
            timelineStart_ = pts - av_rescale(nextFrame_, kTicksPerSecond, rate);
            index = nextFrame_;
        }
        if (index - nextFrame_ > rate / 50) {
            const std::int64_t silence = index - nextFrame_;
            pending_.insert(pending_.end(), static_cast<std::size_t>(silence * channels), 0);
            nextFrame_ = index;
        } else if (index < nextFrame_) {
            skip = std::min(count, nextFrame_ - index);
        }
    }
    count -= skip;
    if (target_.stop != kNoStop) {
        const std::int64_t stopIndex =
            std::max<std::int64_t>(0, av_rescale(target_.stop - timelineStart_, rate, kTicksPerSecond));
        if (nextFrame_ + count >= stopIndex) {
            count = std::max<std::int64_t>(0, stopIndex - nextFrame_);
            dataEnded_ = true;
        }
    }
    const auto begin = converted_.begin() + skip * channels;
    pending_.insert(pending_.end(), begin, begin + count * channels);
    nextFrame_ += count;
}

void AudioPlayer::Decode(const PacketItem& item) {
    if (item.serial != decoderSerial_) {
        avcodec_flush_buffers(decoder_.get());
        converter_.reset();
        decoderSerial_ = item.serial;
    }
    if (avcodec_send_packet(decoder_.get(), item.packet.get()) < 0 && item.packet)
        return;  // a damaged packet is skipped
    while (frame_) {
        const int r = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (r == AVERROR(EAGAIN)) break;
        if (r == AVERROR_EOF) {
            dataEnded_ = true;
            break;
        }
        if (r < 0) break;
        Append(frame_.get());
        av_frame_unref(frame_.get());
    }
    if (!item.packet) dataEnded_ = true;
}

void AudioPlayer::Run() {
    const int rate = decoder_->sample_rate > 0 ? decoder_->sample_rate : 44100;
    device_ = OpenAudioDevice(nullDevice_, rate, DeviceChannels(decoder_.get()), interrupt_);
    bool devicePaused = false;
    bool dropNeeded = false;
    std::unique_lock lock(state_.mutex);
    for (;;) {
        lock.unlock();
        interrupt_.store(false);  // before the state is read: a request made after this cuts the next write short
        lock.lock();
        if (state_.abort) return;
        if (state_.target.generation != target_.generation) {
            Adopt(state_.target);
            dropNeeded = true;
        }
        const bool pictureReady = !(state_.streams & kVideoBit) || (state_.ended & kVideoBit) ||
                                  state_.preparedGeneration == target_.generation;
        const bool play = (state_.mode == ClockMode::Waiting || state_.mode == ClockMode::Running) && pictureReady;
        if (dropNeeded || devicePaused == play) {
            lock.unlock();
            if (dropNeeded) device_->Drop();
            device_->SetPaused(!play);
            lock.lock();
            dropNeeded = false;
            devicePaused = !play;
            continue;
        }
        const std::int64_t pendingFrames = static_cast<std::int64_t>(pending_.size()) / device_->channels() -
                                           static_cast<std::int64_t>(pendingOffset_);
        if (play && pendingFrames > 0) {
            const int generation = target_.generation;
            lock.unlock();
            long written = device_->Write(pending_.data() + pendingOffset_ * device_->channels(), pendingFrames);
            if (written < 0) {
                // The device failed for good: the rest plays silently in real time.
                device_ = OpenNullAudioDevice(device_->rate(), device_->channels(), interrupt_);
                written = 0;
            }
            const long delay = device_->Delay();
            lock.lock();
            if (generation != target_.generation) continue;
            pendingOffset_ += static_cast<std::size_t>(written);
            written_ += written;
            if (pendingOffset_ * device_->channels() >= pending_.size()) {
                pending_.clear();
                pendingOffset_ = 0;
            }
            if (generation == state_.target.generation && written > 0) {
                state_.Anchor(TimelineTime(std::max<std::int64_t>(0, written_ - delay)), SteadyClock::now());
                state_.changed.notify_all();
            }
            continue;
        }
        if (dataEnded_ && pendingFrames <= 0) {
            if (!play || endMarked_) {
                state_.changed.wait(lock);
                continue;
            }
            lock.unlock();
            const long delay = device_->Delay();
            lock.lock();
            if (state_.target.generation != target_.generation) continue;
            if (written_ > 0)
                state_.Anchor(TimelineTime(std::max<std::int64_t>(0, written_ - delay)), SteadyClock::now());
            if (delay <= 0) {
                endMarked_ = true;
                const bool completed =
                    state_.MarkEnded(kAudioBit, target_.serial, target_.generation, SteadyClock::now());
                state_.changed.notify_all();
                if (completed) {
                    lock.unlock();
                    announce_();
                    lock.lock();
                }
            } else {
                state_.changed.wait_for(lock, kDrainStep);
            }
            continue;
        }
        if (pendingFrames > 0 || state_.audioPackets.empty()) {
            state_.changed.wait(lock);
            continue;
        }
        PacketItem item = std::move(state_.audioPackets.front());
        state_.audioPackets.pop_front();
        if (item.packet) state_.packetBytes -= static_cast<std::size_t>(item.packet->size);
        state_.changed.notify_all();
        if (item.serial != target_.serial) continue;
        lock.unlock();
        Decode(item);
        lock.lock();
    }
}

}  // namespace murtesk::video
