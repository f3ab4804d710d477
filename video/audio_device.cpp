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
        : m_rate(rate), m_channels(channels), m_interrupt(interrupt), m_capacity(std::max(1, rate / 10))
    {
    }
    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }

    long Write(const std::int16_t*, long frames) override
    {
        long taken = 0;
        while (taken < frames && !m_interrupt.load()) {
            Consume();
            const long room = m_capacity - m_queued;
            if (room > 0) {
                const long now = std::min(room, frames - taken);
                m_queued += now;
                taken += now;
                continue;
            }
            // Wait for room in short steps, so that an interrupt is noticed at once.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return taken;
    }

    long Delay() override
    {
        Consume();
        return m_queued;
    }

    void SetPaused(bool paused) override
    {
        Consume();
        m_paused = paused;
    }

    void Drop() override
    {
        Consume();
        m_queued = 0;
    }

private:
    // What has been heard since the last look.
    void Consume()
    {
        const auto now = std::chrono::steady_clock::now();
        if (!m_paused && m_queued > 0) {
            const double seconds = std::chrono::duration<double>(now - m_stamp).count();
            const long heard = static_cast<long>(seconds * m_rate);
            if (heard > 0) {
                m_queued = std::max(0L, m_queued - heard);
                m_stamp += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(static_cast<double>(heard) / m_rate));
            }
            if (m_queued == 0)
                m_stamp = now;
        } else {
            m_stamp = now;
        }
    }

    const int m_rate;
    const int m_channels;
    const std::atomic<bool>& m_interrupt;
    const long m_capacity;
    long m_queued = 0;
    bool m_paused = false;
    std::chrono::steady_clock::time_point m_stamp = std::chrono::steady_clock::now();
};

class AlsaAudioDevice final : public AudioDevice {
public:
    AlsaAudioDevice(snd_pcm_t* pcm, int rate, int channels, bool canPause, const std::atomic<bool>& interrupt)
        : m_pcm(pcm), m_rate(rate), m_channels(channels), m_canPause(canPause), m_interrupt(interrupt)
    {
    }
    ~AlsaAudioDevice() override
    {
        snd_pcm_drop(m_pcm);
        snd_pcm_close(m_pcm);
    }
    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }

    long Write(const std::int16_t* samples, long frames) override
    {
        long taken = 0;
        while (taken < frames && !m_interrupt.load()) {
            const snd_pcm_sframes_t n =
                snd_pcm_writei(m_pcm, samples + static_cast<std::ptrdiff_t>(taken) * m_channels,
                               static_cast<snd_pcm_uframes_t>(frames - taken));
            if (n >= 0) {
                taken += n;
            } else if (n == -EAGAIN) {
                snd_pcm_wait(m_pcm, 10);
            } else if (snd_pcm_recover(m_pcm, static_cast<int>(n), 1) < 0) {
                return taken > 0 ? taken : -1;
            }
        }
        return taken;
    }

    long Delay() override
    {
        snd_pcm_sframes_t delay = 0;
        const snd_pcm_state_t state = snd_pcm_state(m_pcm);
        if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED && state != SND_PCM_STATE_PAUSED)
            return 0;
        if (snd_pcm_delay(m_pcm, &delay) < 0 || delay < 0)
            return 0;
        // A prepared device that has not started plays nothing until it does: start it for the last samples.
        if (state == SND_PCM_STATE_PREPARED && delay > 0)
            snd_pcm_start(m_pcm);
        return static_cast<long>(delay);
    }

    void SetPaused(bool paused) override
    {
        const snd_pcm_state_t state = snd_pcm_state(m_pcm);
        if (paused) {
            if (state != SND_PCM_STATE_RUNNING)
                return;
            if (!m_canPause || snd_pcm_pause(m_pcm, 1) < 0)
                Drop();
        } else if (state == SND_PCM_STATE_PAUSED) {
            if (snd_pcm_pause(m_pcm, 0) < 0)
                Drop();
        }
    }

    void Drop() override
    {
        snd_pcm_drop(m_pcm);
        snd_pcm_prepare(m_pcm);
    }

private:
    snd_pcm_t* m_pcm;
    const int m_rate;
    const int m_channels;
    const bool m_canPause;
    const std::atomic<bool>& m_interrupt;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenNullAudioDevice(int rate, int channels, const std::atomic<bool>& interrupt)
{
    return std::make_unique<NullAudioDevice>(rate, channels, interrupt);
}

std::unique_ptr<AudioDevice> OpenAlsaAudioDevice(const std::string& name, int rate, int channels,
                                                 const std::atomic<bool>& interrupt)
{
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
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

bool NullAudioChosen()
{
    const char* audio = std::getenv("MURTESK_AUDIO");
    return audio && std::strcmp(audio, "null") == 0;
}

std::unique_ptr<AudioDevice> OpenAudioDevice(bool null, int rate, int channels, const std::atomic<bool>& interrupt)
{
    if (!null) {
        if (auto device = OpenAlsaAudioDevice("default", rate, channels, interrupt))
            return device;
    }
    return OpenNullAudioDevice(rate, channels, interrupt);
}

}  // namespace murtesk::video
