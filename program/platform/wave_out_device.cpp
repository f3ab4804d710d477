#include "wave_out_device.h"

#include <algorithm>
#include <atomic>

namespace murtesk::platform {

WaveOutDevice::WaveOutDevice() {
    static std::atomic<std::uintptr_t> next{1};
    handle_ = next++;
}

WaveOutDevice::~WaveOutDevice() = default;
WaveOut::~WaveOut() = default;
WaveSink::~WaveSink() = default;

bool IsPlayableFormat(const WaveFormat& f) {
    const bool bits = f.wBitsPerSample == 8 || f.wBitsPerSample == 16 || f.wBitsPerSample == 24 ||
                      f.wBitsPerSample == 32 || f.wBitsPerSample == 64;
    return f.wFormatTag == kWaveFormatPcm && f.nChannels == 1 && f.nSamplesPerSec > 0 && bits &&
           f.nBlockAlign == f.wBitsPerSample / 8 &&
           static_cast<std::uint64_t>(f.nAvgBytesPerSec) == std::uint64_t{f.nSamplesPerSec} * f.nBlockAlign;
}

ThreadedWaveOutDevice::ThreadedWaveOutDevice(std::unique_ptr<WaveSink> sink, const WaveFormat& format,
                                             MurteskWindow* callback)
    : sink_(std::move(sink)), blockAlign_(std::max<std::uint32_t>(1, format.nBlockAlign)), callback_(callback) {
    thread_ = std::thread([this] { Run(); });
}

ThreadedWaveOutDevice::~ThreadedWaveOutDevice() {
    Reset();
    Close();
}

std::int32_t ThreadedWaveOutDevice::PrepareHeader(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (sinkFailed_) {
        return kWaveOutError;
    }
    if (header.lpData == nullptr) {
        return kWaveOutBadParam;
    }
    if ((header.dwFlags & kWhdrInQueue) != 0) {
        return kWaveOutStillPlaying;
    }
    header.dwFlags |= kWhdrPrepared;
    return kWaveOutOk;
}

std::int32_t ThreadedWaveOutDevice::UnprepareHeader(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (sinkFailed_) {
        return kWaveOutError;
    }
    if ((header.dwFlags & kWhdrInQueue) != 0) {
        return kWaveOutStillPlaying;
    }
    header.dwFlags &= ~kWhdrPrepared;
    return kWaveOutOk;
}

std::int32_t ThreadedWaveOutDevice::Write(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (closed_ || sinkFailed_) {
        return kWaveOutError;
    }
    if ((header.dwFlags & kWhdrPrepared) == 0) {
        return kWaveOutUnprepared;
    }
    if ((header.dwFlags & kWhdrInQueue) != 0) {
        return kWaveOutStillPlaying;
    }
    header.dwFlags = (header.dwFlags & ~kWhdrDone) | kWhdrInQueue;
    queue_.push_back(Entry{&header, header.dwBufferLength / blockAlign_});
    wake_.notify_all();
    return kWaveOutOk;
}

std::int32_t ThreadedWaveOutDevice::Reset() {
    std::unique_lock lock(mutex_);
    if (closed_) {
        return kWaveOutError;
    }
    resetRequested_ = true;
    wake_.notify_all();
    resetDone_.wait(lock, [this] { return !resetRequested_; });
    return kWaveOutOk;
}

std::int32_t ThreadedWaveOutDevice::Close() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return kWaveOutOk;
        }
        if (!queue_.empty()) {
            return kWaveOutStillPlaying;
        }
        closing_ = true;
        closed_ = true;
        wake_.notify_all();
    }
    thread_.join();
    sink_.reset();
    return kWaveOutOk;
}

std::vector<WaveHeader*> ThreadedWaveOutDevice::TakePlayed(std::uint64_t played) {
    std::vector<WaveHeader*> done;
    while (writing_ > 0 && queue_.front().endFrame <= played) {
        WaveHeader* header = queue_.front().header;
        header->dwFlags = (header->dwFlags & ~kWhdrInQueue) | kWhdrDone;
        done.push_back(header);
        queue_.pop_front();
        --writing_;
    }
    return done;
}

void ThreadedWaveOutDevice::Post(const std::vector<WaveHeader*>& headers) const {
    if (callback_ == nullptr) {
        return;
    }
    for (WaveHeader* header : headers) {
        callback_->post(callback_->context, MM_WOM_DONE, Handle(), reinterpret_cast<std::intptr_t>(header));
    }
}

void ThreadedWaveOutDevice::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (resetRequested_) {
            lock.unlock();
            if (!sinkFailed_) {
                sink_->Drop();
            }
            lock.lock();
            std::vector<WaveHeader*> released;
            for (const Entry& e : queue_) {
                e.header->dwFlags = (e.header->dwFlags & ~kWhdrInQueue) | kWhdrDone;
                released.push_back(e.header);
            }
            queue_.clear();
            writing_ = 0;
            sinkFrames_ = 0;
            Post(released);
            resetRequested_ = false;
            resetDone_.notify_all();
            continue;
        }
        if (closing_) {
            return;
        }

        lock.unlock();
        const std::uint64_t played = sinkFailed_ ? ~std::uint64_t{0} : sink_->Played();
        lock.lock();
        if (resetRequested_) {
            continue;
        }
        const std::vector<WaveHeader*> done = TakePlayed(played);
        if (!done.empty()) {
            lock.unlock();
            Post(done);
            lock.lock();
            continue;
        }

        if (writing_ < queue_.size()) {
            Entry& e = queue_[writing_];
            const std::uint64_t frames = std::min(sink_->PieceFrames(), e.frames - e.written);
            const std::byte* data = e.header->lpData + e.written * blockAlign_;
            lock.unlock();
            const bool ok = sinkFailed_ || frames == 0 || sink_->Write(data, frames);
            lock.lock();
            if (resetRequested_) {
                continue;  // the reset drops the queue, this piece included
            }
            sinkFailed_ = sinkFailed_ || !ok;
            // Entries are only appended while the lock is free, so e still names the same buffer.
            e.written += frames;
            sinkFrames_ += frames;
            if (e.written == e.frames) {
                e.endFrame = sinkFrames_;
                ++writing_;
            }
            continue;
        }

        if (writing_ > 0) {
            // Everything handed over: sleep until the first buffer should have been played.
            const std::uint64_t target = queue_.front().endFrame;
            lock.unlock();
            const auto wait = std::clamp<std::chrono::nanoseconds>(
                sink_->UntilPlayed(target), std::chrono::milliseconds(1), std::chrono::milliseconds(20));
            lock.lock();
            wake_.wait_for(lock, wait, [this] { return resetRequested_ || closing_ || writing_ < queue_.size(); });
        } else {
            wake_.wait(lock, [this] { return resetRequested_ || closing_ || !queue_.empty(); });
        }
    }
}

}  // namespace murtesk::platform
