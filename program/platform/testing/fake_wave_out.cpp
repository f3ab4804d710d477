#include "fake_wave_out.h"

namespace murtesk::platform::testing {

namespace {

void PostDone(const FakeWaveOut::State& state, WaveHeader* header) {
    header->dwFlags = (header->dwFlags & ~kWhdrInQueue) | kWhdrDone;
    if (state.callback != nullptr) {
        state.callback->post(state.callback->context, MM_WOM_DONE, state.device,
                             reinterpret_cast<std::intptr_t>(header));
    }
}

}  // namespace

class FakeWaveOutDevice final : public WaveOutDevice {
public:
    FakeWaveOutDevice(FakeWaveOut& system, std::shared_ptr<FakeWaveOut::State> state)
        : system_(system), state_(std::move(state)) {
        state_->device = Handle();
    }
    ~FakeWaveOutDevice() override {
        state_->queue.clear();
        state_->open = false;
    }

    std::int32_t PrepareHeader(WaveHeader& header) override {
        state_->calls.push_back("prepare " + std::to_string(header.dwBufferLength));
        if (const std::int32_t code = system_.Scripted(FakeWaveOut::Call::Prepare)) {
            return code;
        }
        if ((header.dwFlags & kWhdrInQueue) != 0) {
            return kWaveOutStillPlaying;
        }
        header.dwFlags |= kWhdrPrepared;
        return kWaveOutOk;
    }

    std::int32_t UnprepareHeader(WaveHeader& header) override {
        state_->calls.push_back("unprepare");
        if (const std::int32_t code = system_.Scripted(FakeWaveOut::Call::Unprepare)) {
            return code;
        }
        if ((header.dwFlags & kWhdrInQueue) != 0) {
            return kWaveOutStillPlaying;
        }
        header.dwFlags &= ~kWhdrPrepared;
        return kWaveOutOk;
    }

    std::int32_t Write(WaveHeader& header) override {
        state_->calls.push_back("write " + std::to_string(header.dwBufferLength));
        if (const std::int32_t code = system_.Scripted(FakeWaveOut::Call::Write)) {
            return code;
        }
        if ((header.dwFlags & kWhdrPrepared) == 0) {
            return kWaveOutUnprepared;
        }
        header.dwFlags = (header.dwFlags & ~kWhdrDone) | kWhdrInQueue;
        state_->written.emplace_back(header.lpData, header.lpData + header.dwBufferLength);
        state_->queue.push_back(&header);
        return kWaveOutOk;
    }

    std::int32_t Reset() override {
        state_->calls.push_back("reset");
        if (const std::int32_t code = system_.Scripted(FakeWaveOut::Call::Reset)) {
            return code;
        }
        while (!state_->queue.empty()) {
            WaveHeader* header = state_->queue.front();
            state_->queue.pop_front();
            PostDone(*state_, header);
        }
        return kWaveOutOk;
    }

    std::int32_t Close() override {
        state_->calls.push_back("close");
        if (const std::int32_t code = system_.Scripted(FakeWaveOut::Call::Close)) {
            return code;
        }
        if (!state_->queue.empty()) {
            return kWaveOutStillPlaying;
        }
        state_->open = false;
        state_->callback = nullptr;
        return kWaveOutOk;
    }

private:
    FakeWaveOut& system_;
    std::shared_ptr<FakeWaveOut::State> state_;
};

FakeWaveOut::FakeWaveOut() = default;
FakeWaveOut::~FakeWaveOut() = default;

std::int32_t FakeWaveOut::Scripted(Call call) {
    auto it = failures_.find({call, ++counts_[call]});
    return it == failures_.end() ? kWaveOutOk : it->second;
}

std::int32_t FakeWaveOut::Open(std::unique_ptr<WaveOutDevice>& opened, std::int32_t device, const WaveFormat& format,
                               MurteskWindow* callback) {
    state_->calls.push_back("open");
    state_->openings.push_back(Opening{device, format, callback});
    if (const std::int32_t code = Scripted(Call::Open)) {
        return code;
    }
    if (!IsPlayableFormat(format)) {
        return kWaveOutBadFormat;
    }
    state_->callback = callback;
    state_->open = true;
    opened = std::make_unique<FakeWaveOutDevice>(*this, state_);
    return kWaveOutOk;
}

bool FakeWaveOut::FinishNext() {
    if (state_->queue.empty()) {
        return false;
    }
    WaveHeader* header = state_->queue.front();
    state_->queue.pop_front();
    PostDone(*state_, header);
    return true;
}

std::size_t FakeWaveOut::Queued() const { return state_->queue.size(); }
bool FakeWaveOut::DeviceOpen() const { return state_->open; }

void FakeWaveOut::ClearRecord() {
    state_->openings.clear();
    state_->calls.clear();
    state_->written.clear();
}

}  // namespace murtesk::platform::testing
