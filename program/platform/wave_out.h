// The wave-out device: mono PCM played from buffers the caller owns, two or more queued behind each
// other, each reported back as played by a message to a window.
//
// Calling shape: Open a device for a format and a callback window; Prepare a header over a buffer,
// Write it (it joins the device's queue and plays after those written before it), and when it has
// been played the device posts MM_WOM_DONE (wparam: the device's handle, lparam: the header) to the callback
// window, which runs it on its owner thread (the user-interface thread). A played header is marked
// done and may be unprepared, refilled, prepared and written again. Reset stops the sound at once and
// releases every queued header as done, posting MM_WOM_DONE for each; Close then ends the device.
// A device that fails while playing releases its queued headers the same way and answers
// kWaveOutError to every header call after it; Reset and Close still work.
//
// Results are 0 for success or one of the codes below; they are shown to the user in decimal.
//
// The header and its buffer belong to the caller and must stay in place, unchanged, from Write until
// its MM_WOM_DONE (or a Reset) has marked it done. A device is used from one thread (the one that
// opened it); its own thread only reads queued buffers and posts to the callback window.
#pragma once

#include "murtesk_window.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace murtesk::platform {

// Posted to the callback window for every header that has been played or released by Reset.
inline constexpr std::uint32_t MM_WOM_DONE = 0x3BD;
// The device number that lets the system choose its default output.
inline constexpr std::int32_t WAVE_MAPPER = -1;

// Results.
inline constexpr std::int32_t kWaveOutOk = 0;
inline constexpr std::int32_t kWaveOutError = 1;          // any other failure
inline constexpr std::int32_t kWaveOutNoDevice = 2;       // no such device
inline constexpr std::int32_t kWaveOutBusy = 4;           // the device is in use
inline constexpr std::int32_t kWaveOutBadParam = 11;      // a header without a buffer
inline constexpr std::int32_t kWaveOutBadFormat = 32;     // the format is refused
inline constexpr std::int32_t kWaveOutStillPlaying = 33;  // the header (or a header of the device) is queued
inline constexpr std::int32_t kWaveOutUnprepared = 34;    // written without being prepared

inline constexpr std::uint16_t kWaveFormatPcm = 1;

// The output format: integer PCM (wFormatTag 1), one channel, 8 (unsigned), 16, 24, 32 or 64 bits (a
// device without 64-bit samples plays their high 32 bits), nBlockAlign = bits / 8.
struct WaveFormat {
    std::uint16_t wFormatTag = kWaveFormatPcm;
    std::uint16_t nChannels = 1;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};

// Header flags.
inline constexpr std::uint32_t kWhdrDone = 0x01;
inline constexpr std::uint32_t kWhdrPrepared = 0x02;
inline constexpr std::uint32_t kWhdrInQueue = 0x10;

// One buffer as the device sees it. dwBufferLength bytes from lpData are played (a whole number of
// samples; a partial sample at the end is dropped). dwFlags belongs to the device from Prepare on.
struct WaveHeader {
    std::byte* lpData = nullptr;
    std::uint32_t dwBufferLength = 0;
    std::uint32_t dwBytesRecorded = 0;
    std::uint32_t dwFlags = 0;
};

// One open device.
class WaveOutDevice {
public:
    WaveOutDevice();
    virtual ~WaveOutDevice();
    // The device's handle, the wparam of its messages: unique among the devices of the run.
    std::uintptr_t Handle() const { return handle_; }

    // Prepared headers may be written. kWaveOutBadParam without a buffer, kWaveOutStillPlaying while queued.
    virtual std::int32_t PrepareHeader(WaveHeader& header) = 0;
    // kWaveOutStillPlaying while the header is queued; an unprepared header is left as it is (0).
    virtual std::int32_t UnprepareHeader(WaveHeader& header) = 0;
    // Queues the header behind those written before; kWaveOutUnprepared, kWaveOutStillPlaying.
    virtual std::int32_t Write(WaveHeader& header) = 0;
    // Stops at once; every queued header is marked done and its MM_WOM_DONE posted before this returns.
    virtual std::int32_t Reset() = 0;
    // Ends the device (kWaveOutStillPlaying, and nothing ends, while a header is queued). No message is
    // posted after a successful Close; destroying the device closes it after a Reset.
    virtual std::int32_t Close() = 0;

private:
    std::uintptr_t handle_;
};

// The system's wave-out.
class WaveOut {
public:
    virtual ~WaveOut();
    // Opens device number `device` (WAVE_MAPPER: the system's default output; 0, 1, ...: that
    // output) for the format, posting to `callback`. 0 with the device in `opened`, or a code.
    virtual std::int32_t Open(std::unique_ptr<WaveOutDevice>& opened, std::int32_t device, const WaveFormat& format,
                              MurteskWindow* callback) = 0;
};

// The program's wave-out: the null device when the environment variable MURTESK_AUDIO is "null",
// ALSA otherwise. Made at the first call and kept for the run.
WaveOut& SystemWaveOut();

// ALSA: WAVE_MAPPER opens the PCM "default" (which reaches the desktop's sound server), device n the
// PCM "plughw:n" (card n). A non-empty pcmName opens that PCM whatever the number (tests: "null").
std::unique_ptr<WaveOut> MakeAlsaWaveOut(std::string pcmName = {});
// Plays in real time by the monotonic clock and discards the sound: every device number opens.
std::unique_ptr<WaveOut> MakeNullWaveOut();

// Whether a format is one the devices play: PCM, one channel, a rate above 0, 8/16/24/32/64 bits,
// block alignment and byte rate matching.
bool IsPlayableFormat(const WaveFormat& format);

}  // namespace murtesk::platform
