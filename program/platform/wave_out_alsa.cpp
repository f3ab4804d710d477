// The wave-out device on ALSA. The PCM is opened without blocking (a device in use answers at once),
// then written with blocking writes of one period from the device's thread. The ring holds about a
// tenth of a second, and playing starts once a period is in it, so a short last buffer still plays.
// A buffer's frames count as played when the PCM's delay says they have left the ring; after an
// underrun everything written has been played.
#include "wave_out_device.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

namespace murtesk::platform {

namespace {

constexpr unsigned kLatencyUs = 100000;

void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

std::int32_t OpenCode(int error) {
    switch (-error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return kWaveOutNoDevice;
    case EBUSY:
    case EAGAIN: return kWaveOutBusy;
    default: return kWaveOutError;
    }
}

snd_pcm_format_t AlsaFormat(std::uint16_t bits) {
    switch (bits) {
    case 8: return SND_PCM_FORMAT_U8;
    case 16: return SND_PCM_FORMAT_S16_LE;
    case 24: return SND_PCM_FORMAT_S24_3LE;
    default: return SND_PCM_FORMAT_S32_LE;  // 32 bits, and 64 played as their high 32
    }
}

class AlsaSink final : public WaveSink {
public:
    AlsaSink(snd_pcm_t* pcm, std::uint32_t rate, std::uint16_t bits, snd_pcm_uframes_t period)
        : pcm_(pcm), rate_(rate), narrow64_(bits == 64), period_(std::max<snd_pcm_uframes_t>(1, period)) {}
    ~AlsaSink() override {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }

    std::uint64_t PieceFrames() const override { return period_; }

    bool Write(const std::byte* data, std::uint64_t frames) override {
        if (narrow64_) {
            // The high four bytes of each little-endian 64-bit sample.
            scratch_.resize(frames * 4);
            for (std::uint64_t i = 0; i < frames; ++i) {
                std::memcpy(scratch_.data() + i * 4, data + i * 8 + 4, 4);
            }
            data = scratch_.data();
        }
        const std::size_t frameBytes = narrow64_ ? 4 : static_cast<std::size_t>(snd_pcm_frames_to_bytes(pcm_, 1));
        std::uint64_t left = frames;
        while (left > 0) {
            const snd_pcm_sframes_t n = snd_pcm_writei(pcm_, data, left);
            if (n < 0) {
                if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) {
                    return false;
                }
                continue;
            }
            data += static_cast<std::size_t>(n) * frameBytes;
            left -= static_cast<std::uint64_t>(n);
            written_ += static_cast<std::uint64_t>(n);
        }
        return true;
    }

    std::uint64_t Played() override {
        snd_pcm_sframes_t delay = 0;
        const snd_pcm_state_t state = snd_pcm_state(pcm_);
        if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED) {
            return written_;
        }
        if (state == SND_PCM_STATE_PREPARED && written_ > 0) {
            snd_pcm_start(pcm_);  // less than the start threshold was written: play it
        }
        if (snd_pcm_delay(pcm_, &delay) < 0 || delay <= 0) {
            return state == SND_PCM_STATE_RUNNING ? written_ : 0;
        }
        return written_ - std::min<std::uint64_t>(written_, static_cast<std::uint64_t>(delay));
    }

    std::chrono::nanoseconds UntilPlayed(std::uint64_t frames) override {
        const std::uint64_t played = Played();
        const double seconds = frames > played ? static_cast<double>(frames - played) / rate_ : 0.0;
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
    }

    void Drop() override {
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
        written_ = 0;
    }

private:
    snd_pcm_t* pcm_;
    const std::uint32_t rate_;
    const bool narrow64_;
    const snd_pcm_uframes_t period_;
    std::uint64_t written_ = 0;
    std::vector<std::byte> scratch_;
};

// Starts the PCM once one period is queued, not only when the ring is full.
int StartEarly(snd_pcm_t* pcm, snd_pcm_uframes_t period) {
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    int r = snd_pcm_sw_params_current(pcm, sw);
    if (r == 0) {
        r = snd_pcm_sw_params_set_start_threshold(pcm, sw, period);
    }
    if (r == 0) {
        r = snd_pcm_sw_params(pcm, sw);
    }
    return r;
}

class AlsaWaveOut final : public WaveOut {
public:
    explicit AlsaWaveOut(std::string pcmName) : pcmName_(std::move(pcmName)) {
        static std::once_flag quiet;
        std::call_once(quiet, [] { snd_lib_error_set_handler(&SilentAlsaErrors); });
    }

    std::int32_t Open(std::unique_ptr<WaveOutDevice>& opened, std::int32_t device, const WaveFormat& format,
                      MurteskWindow* callback) override {
        if (!IsPlayableFormat(format)) {
            return kWaveOutBadFormat;
        }
        std::string name = pcmName_;
        if (name.empty()) {
            if (device == WAVE_MAPPER) {
                name = "default";
            } else if (device >= 0) {
                name = "plughw:" + std::to_string(device);
            } else {
                return kWaveOutNoDevice;
            }
        }
        snd_pcm_t* pcm = nullptr;
        int r = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (r < 0) {
            return OpenCode(r);
        }
        r = snd_pcm_set_params(pcm, AlsaFormat(format.wBitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                               format.nSamplesPerSec, 1, kLatencyUs);
        if (r < 0) {
            snd_pcm_close(pcm);
            return kWaveOutBadFormat;
        }
        snd_pcm_uframes_t buffer = 0;
        snd_pcm_uframes_t period = 0;
        if (snd_pcm_get_params(pcm, &buffer, &period) < 0 || StartEarly(pcm, period) < 0 ||
            snd_pcm_nonblock(pcm, 0) < 0) {
            snd_pcm_close(pcm);
            return kWaveOutError;
        }
        opened = std::make_unique<ThreadedWaveOutDevice>(
            std::make_unique<AlsaSink>(pcm, format.nSamplesPerSec, format.wBitsPerSample, period), format, callback);
        return kWaveOutOk;
    }

private:
    const std::string pcmName_;
};

}  // namespace

std::unique_ptr<WaveOut> MakeAlsaWaveOut(std::string pcmName) {
    return std::make_unique<AlsaWaveOut>(std::move(pcmName));
}

}  // namespace murtesk::platform
