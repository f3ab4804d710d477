// The null device: the sound is discarded, but each buffer takes as long as it would take to play, by the
// monotonic clock, so positions, completions and the player's watchdog behave as on a sound card.
#include "wave_out_device.h"

#include <algorithm>
#include <chrono>
#include <deque>

namespace murtesk::platform {

namespace {

using Clock = std::chrono::steady_clock;

class NullSink final : public WaveSink {
public:
    explicit NullSink(std::uint32_t rate) : rate_(rate) {}

    // A buffer at once: its end time is all the null device needs.
    std::uint64_t PieceFrames() const override { return std::uint64_t{rate_} * 3600; }

    bool Write(const std::byte*, std::uint64_t frames) override {
        const Clock::time_point start = std::max(Clock::now(), busyUntil_);
        busyUntil_ = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                 static_cast<double>(frames) / static_cast<double>(rate_)));
        written_ += frames;
        pieces_.push_back(Piece{written_, busyUntil_});
        return true;
    }

    std::uint64_t Played() override {
        const Clock::time_point now = Clock::now();
        while (!pieces_.empty() && pieces_.front().end <= now) {
            played_ = pieces_.front().endFrame;
            pieces_.pop_front();
        }
        return played_;
    }

    std::chrono::nanoseconds UntilPlayed(std::uint64_t frames) override {
        for (const Piece& p : pieces_) {
            if (p.endFrame >= frames) {
                return std::chrono::duration_cast<std::chrono::nanoseconds>(p.end - Clock::now());
            }
        }
        return std::chrono::nanoseconds(0);
    }

    void Drop() override {
        pieces_.clear();
        written_ = 0;
        played_ = 0;
        busyUntil_ = Clock::now();
    }

private:
    struct Piece {
        std::uint64_t endFrame;
        Clock::time_point end;
    };

    const std::uint32_t rate_;
    std::deque<Piece> pieces_;
    std::uint64_t written_ = 0;
    std::uint64_t played_ = 0;
    Clock::time_point busyUntil_ = Clock::now();
};

class NullWaveOut final : public WaveOut {
public:
    std::int32_t Open(std::unique_ptr<WaveOutDevice>& opened, std::int32_t, const WaveFormat& format,
                      MurteskWindow* callback) override {
        if (!IsPlayableFormat(format)) {
            return kWaveOutBadFormat;
        }
        opened = std::make_unique<ThreadedWaveOutDevice>(std::make_unique<NullSink>(format.nSamplesPerSec), format,
                                                         callback);
        return kWaveOutOk;
    }
};

}  // namespace

std::unique_ptr<WaveOut> MakeNullWaveOut() { return std::make_unique<NullWaveOut>(); }

}  // namespace murtesk::platform
