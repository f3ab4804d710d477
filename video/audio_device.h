// Where the video's sound goes: a small output of interleaved 16-bit samples, used by the sound thread only.
//   - ALSA: the desktop's "default" device (which reaches PulseAudio or PipeWire), opened non-blocking so that a
//     write can be cut short; about 100 ms of buffer.
//   - Null: a silent device that consumes the samples in real time by the monotonic clock, so that positions
//     and the picture's pace are those of a real device. ALSA's own "null" device takes everything at once and
//     would make the picture race.
// OpenAudioDevice takes the null device when asked to (the environment says MURTESK_AUDIO=null), and also when
// no ALSA device can be opened (the picture then plays without sound).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace murtesk::video {

class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    // Writes interleaved frames; blocks until they are taken, the interrupt flag is raised or the device fails.
    // Returns the frames taken (fewer when interrupted), or -1 when the device failed for good.
    virtual long Write(const std::int16_t* samples, long frames) = 0;
    // Frames written and not yet heard.
    virtual long Delay() = 0;
    // Holds or resumes playing; what is buffered stays (or is dropped where the device cannot hold).
    virtual void SetPaused(bool paused) = 0;
    // Forgets what was written and not yet heard.
    virtual void Drop() = 0;
};

// True when the environment chooses the null device (MURTESK_AUDIO=null). Reads the environment: call it where
// nothing changes the environment at the same time.
bool NullAudioChosen();
// `interrupt` must outlive the device.
std::unique_ptr<AudioDevice> OpenAudioDevice(bool null, int rate, int channels, const std::atomic<bool>& interrupt);
std::unique_ptr<AudioDevice> OpenNullAudioDevice(int rate, int channels, const std::atomic<bool>& interrupt);
// Null when the ALSA device `name` cannot be opened for these parameters.
std::unique_ptr<AudioDevice> OpenAlsaAudioDevice(const std::string& name, int rate, int channels,
                                                 const std::atomic<bool>& interrupt);

}  // namespace murtesk::video
