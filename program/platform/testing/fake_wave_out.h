// A wave-out for tests: buffers are played when the test says, each MM_WOM_DONE posted to the callback
// window like a device's; every call, every byte written and every open is recorded, and any call can
// be made to fail with a code.
#pragma once

#include "wave_out.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace murtesk::platform::testing {

class FakeWaveOut final : public WaveOut {
public:
    enum class Call { Open, Prepare, Unprepare, Write, Reset, Close };

    FakeWaveOut();
    ~FakeWaveOut() override;

    // Call number nth (from 1, counted over the fake's life) of that kind returns the code and does nothing.
    void Fail(Call call, int nth, std::int32_t code) { failures_[{call, nth}] = code; }

    // Plays the first queued buffer: it is marked done and its MM_WOM_DONE posted. False when none is queued.
    bool FinishNext();
    std::size_t Queued() const;
    bool DeviceOpen() const;

    struct Opening {
        std::int32_t device;
        WaveFormat format;
        MurteskWindow* callback;
    };
    const std::vector<Opening>& Openings() const { return state_->openings; }
    // "open", "prepare <bytes>", "unprepare", "write <bytes>", "reset", "close", in order.
    const std::vector<std::string>& Calls() const { return state_->calls; }
    // The bytes of every buffer written, in order.
    const std::vector<std::vector<std::byte>>& Written() const { return state_->written; }
    void ClearRecord();

    std::int32_t Open(std::unique_ptr<WaveOutDevice>& opened, std::int32_t device, const WaveFormat& format,
                      MurteskWindow* callback) override;

    struct State {
        std::vector<Opening> openings;
        std::vector<std::string> calls;
        std::vector<std::vector<std::byte>> written;
        std::deque<WaveHeader*> queue;
        MurteskWindow* callback = nullptr;
        std::uintptr_t device = 0;
        bool open = false;
    };

private:
    friend class FakeWaveOutDevice;
    // The scripted code of a call of that kind, or 0.
    std::int32_t Scripted(Call call);

    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::map<std::pair<Call, int>, std::int32_t> failures_;
    std::map<Call, int> counts_;
};

}  // namespace murtesk::platform::testing
