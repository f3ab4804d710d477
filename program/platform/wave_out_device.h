// A wave-out device with a thread of its own that feeds the queued buffers to a sink (the ALSA PCM or
// the null device's clock) and posts MM_WOM_DONE for each buffer once the sink has played it.
//
// The thread writes the queue in pieces of the sink's size, so that a Reset or the done message of a
// buffer never waits for more than one piece. A buffer counts as played when the sink reports all of
// its frames played, not when they have been handed over: the last buffer's done comes when its sound
// has ended. A sink that fails is given up: the queued buffers are released at once (their done
// messages posted, so nothing waits on a dead device), and from then on every header call answers
// kWaveOutError, so the completions that follow cannot pass for a playback that ran to its end.
#pragma once

#include "wave_out.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace murtesk::platform {

// Where a threaded device's sound goes. Used by the device's thread only.
class WaveSink {
public:
    virtual ~WaveSink();
    // Frames per piece the thread hands over at once.
    virtual std::uint64_t PieceFrames() const = 0;
    // Takes frames of the device's format; may block while the sink has no room. False when the sink failed.
    virtual bool Write(const std::byte* data, std::uint64_t frames) = 0;
    // How many of the frames written since the last Drop have been played.
    virtual std::uint64_t Played() = 0;
    // About how long until `frames` of those written will have been played.
    virtual std::chrono::nanoseconds UntilPlayed(std::uint64_t frames) = 0;
    // Forgets what was written and not yet played; counting starts again at 0.
    virtual void Drop() = 0;
};

class ThreadedWaveOutDevice final : public WaveOutDevice {
public:
    ThreadedWaveOutDevice(std::unique_ptr<WaveSink> sink, const WaveFormat& format, MurteskWindow* callback);
    ~ThreadedWaveOutDevice() override;

    std::int32_t PrepareHeader(WaveHeader& header) override;
    std::int32_t UnprepareHeader(WaveHeader& header) override;
    std::int32_t Write(WaveHeader& header) override;
    std::int32_t Reset() override;
    std::int32_t Close() override;

private:
    struct Entry {
        WaveHeader* header;
        std::uint64_t frames;        // whole frames of the buffer
        std::uint64_t written = 0;   // of them handed to the sink
        std::uint64_t endFrame = 0;  // the sink's frame count at the buffer's end, once all is written
    };

    void Run();
    // Marks the played buffers at the queue's front done; returns them in order.
    std::vector<WaveHeader*> TakePlayed(std::uint64_t played);
    void Post(const std::vector<WaveHeader*>& headers) const;

    std::unique_ptr<WaveSink> sink_;
    const std::uint32_t blockAlign_;
    MurteskWindow* const callback_;

    std::mutex mutex_;
    std::condition_variable wake_;       // the thread: work, a reset or the close
    std::condition_variable resetDone_;  // Reset: the thread has released the queue
    std::deque<Entry> queue_;            // written headers not yet done, in order
    std::size_t writing_ = 0;            // index of the first entry not wholly written
    std::uint64_t sinkFrames_ = 0;       // frames handed to the sink since the last drop
    bool resetRequested_ = false;
    bool closing_ = false;
    bool closed_ = false;
    bool sinkFailed_ = false;
    std::thread thread_;
};

}  // namespace murtesk::platform
