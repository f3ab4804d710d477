#include "audio_device.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace murtesk::video {

namespace {

class NullAudioDevice final : public AudioDevice {
public:
    NullAudioDevice(int rate, int channels, const std::atomic<bool>& interrupt)
        : rate_(rate), channels_(channels), interrupt_(interrupt), capacity_(std::max(1, rate / 10)) {}
    int rate() const override { return rate_; }
    int channels() const override { return channels_; }

    long Write(const std::int16_t*, long frames) override {
        long taken = 0;
        while (taken < frames && !interrupt_.load()) {
            Consume();
            const long room = capacity_ - queued_;
            if (room > 0) {
                const long now = std::min(room, frames - taken);
                queued_ += now;
                taken += now;
                continue;
            }
            // Wait for room in short steps, so that an interrupt is noticed at once.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return taken;
    }

    long Delay() override {
        Consume();
        return queued_;
    }

    void SetPaused(bool paused) override {
        Consume();
        paused_ = paused;
    }

    void Drop() override {
        Consume();
        queued_ = 0;
    }

private:
    // What has been heard since the last look.
    void Consume() {
        const auto now = std::chrono::steady_clock::now();
        if (!paused_ && queued_ > 0) {
            const double seconds = std::chrono::duration<double>(now - stamp_).count();
            const long heard = static_cast<long>(seconds * rate_);
            if (heard > 0) {
                queued_ = std::max(0L, queued_ - heard);
                stamp_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(static_cast<double>(heard) / rate_));
            }
            if (queued_ == 0) stamp_ = now;
        } else {
            stamp_ = now;
        }
    }

    const int rate_;
    const int channels_;
    const std::atomic<bool>& interrupt_;
    const long capacity_;
    long queued_ = 0;
    bool paused_ = false;
    std::chrono::steady_clock::time_point stamp_ = std::chrono::steady_clock::now();
};

class AlsaAudioDevice final : public AudioDevice {
public:
    AlsaAudioDevice(snd_pcm_t* pcm, int rate, int channels, bool canPause, const std::atomic<bool>& interrupt)
        : pcm_(pcm), rate_(rate), channels_(channels), canPause_(canPause), interrupt_(interrupt) {}
    ~AlsaAudioDevice() override {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }
    int rate() const override { return rate_; }
    int channels() const override { return channels_; }

    long Write(const std::int16_t* samples, long frames) override {
        long taken = 0;
        while (taken < frames && !interrupt_.load()) {
            const snd_pcm_sframes_t n = snd_pcm_writei(pcm_, samples + static_cast<std::ptrdiff_t>(taken) * channels_,
                                                       static_cast<snd_pcm_uframes_t>(frames - taken));
            if (n >= 0) {
                taken += n;
            } else if (n == -EAGAIN) {
                snd_pcm_wait(pcm_, 10);
            } else if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) {
                return taken > 0 ? taken : -1;
            }
        }
        return taken;
    }

    long Delay() override {
        snd_pcm_sframes_t delay = 0;
        const snd_pcm_state_t state = snd_pcm_state(pcm_);
        if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED && state != SND_PCM_STATE_PAUSED)
            return 0;
        if (snd_pcm_delay(pcm_, &delay) < 0 || delay < 0) return 0;
        // A prepared device that has not started plays nothing until it does: start it for the last samples.
        if (state == SND_PCM_STATE_PREPARED && delay > 0) snd_pcm_start(pcm_);
        return static_cast<long>(delay);
    }

    void SetPaused(bool paused) override {
        const snd_pcm_state_t state = snd_pcm_state(pcm_);
        if (paused) {
            if (state != SND_PCM_STATE_RUNNING) return;
            if (!canPause_ || snd_pcm_pause(pcm_, 1) < 0) Drop();
        } else if (state == SND_PCM_STATE_PAUSED) {
            if (snd_pcm_pause(pcm_, 0) < 0) Drop();
        }
    }

    void Drop() override {
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
    }

private:
    snd_pcm_t* pcm_;
    const int rate_;
    const int channels_;
    const bool canPause_;
    const std::atomic<bool>& interrupt_;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenNullAudioDevice(int rate, int channels, const std::atomic<bool>& interrupt) {
    return std::make_unique<NullAudioDevice>(rate, channels, interrupt);
}

std::unique_ptr<AudioDevice> OpenAlsaAudioDevice(const std::string& name, int rate, int channels,
                                                 const std::atomic<bool>& interrupt) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(channels),
                           static_cast<unsigned>(rate), 1, 100000) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    snd_pcm_hw_params_t* params = nullptr;
    bool canPause = false;
    if (snd_pcm_hw_params_malloc(&params) == 0) {
        canPause = snd_pcm_hw_params_current(pcm, params) == 0 && snd_pcm_hw_params_can_pause(params) == 1;
        snd_pcm_hw_params_free(params);
    }
    return std::make_unique<AlsaAudioDevice>(pcm, rate, channels, canPause, interrupt);
}

bool NullAudioChosen() {
    const char* audio = std::getenv("MURTESK_AUDIO");
    return audio && std::strcmp(audio, "null") == 0;
}

std::unique_ptr<AudioDevice> OpenAudioDevice(bool null, int rate, int channels, const std::atomic<bool>& interrupt) {
    if (!null) {
        if (auto device = OpenAlsaAudioDevice("default", rate, channels, interrupt)) return device;
    }
    return OpenNullAudioDevice(rate, channels, interrupt);
}

}  // namespace murtesk::video
