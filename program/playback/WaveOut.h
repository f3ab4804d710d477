// The wave-out player: plays a span of a mono PCM WAV file at normal or double speed through the
// wave-out device, with two buffers of one second of source each. While the device plays one, the
// other waits queued behind it; each buffer the device finishes is refilled with the next second and
// queued again until the span is used up. The device reports a finished buffer as MM_WOM_DONE to a
// hidden control's window target, whose procedure the player replaces by WaveOutWndProc for the time
// of the playback. One playback at a time: the player record below is the module's, and the playback
// windows read it (state, turn, error) to move their cursor.
//
// Feed states (g_WaveOutState): 0 both buffers in play with more to come; 2 buffer 1 holds the last
// data; 3 buffer 2 holds the last data (the start filled it short); 4 nothing was left to refill
// buffer 1, buffer 2 plays the last data; 5 buffer 2 holds the last data (a refill was short); 6
// nothing was left to refill buffer 2, buffer 1 plays the last data; 1 complete.
// Turn (g_WaveOutTurn): -2 after the start (buffer 1 finishes next), 1 after buffer 1 finished
// (buffer 2 next), 0 after buffer 2 finished (buffer 1 next).
//
// A run shorter than one tenth of a second (the rate / 10, halves to even) and more is played; a
// refill of one tenth or fewer samples is dropped. At double speed every second sample is kept, so a
// full buffer holds ceil(rate / 2) samples and still stands for one second of the source. The
// watchdog flags a completion that comes more than two buffer periods (2 s, 1 s at double speed)
// after the previous one, by the monotonic clock.
#pragma once

#include "ui_services.h"
#include "wav_mono.h"
#include "wave_out.h"
#include "window_target.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace murtesk::playback {

// ---- The player record
extern std::unique_ptr<CWavMono> g_WaveOutReader;  // the file being played
extern std::int32_t g_WaveOutPos;                  // first sample (1-based) of the run read last
extern std::int32_t g_WaveOutEnd;                  // last sample of the span (inclusive)
extern std::int32_t g_WaveOutCount;                // samples of the run read last; the rate while runs are full
extern bool g_bWaveOutX2;                          // double speed
extern std::int16_t g_WaveOutState;                // feed state, 0 to 6
extern std::int16_t g_WaveOutTurn;                 // whose completion comes next: -2, 1 or 0
extern bool g_bWaveOutError;   // a refill failed or a completion came late; the player never clears it
extern bool g_bWaveOutStop;    // the playback window's stop request (the windows read and write it)
extern double g_WaveOutClock;  // watchdog clock: seconds of the monotonic clock
extern std::unique_ptr<platform::WaveOutDevice> g_hWaveOut;  // the open device
extern platform::WindowTarget::WindowProc g_WaveOutOldProc;  // the target's own procedure while replaced

// Starts playing samples startSample..endSample (1-based, inclusive) of the file at path on the device
// g_WaveOutDevice (-2: the system's default output), reporting to hWnd. True when the device is playing;
// false after a failure that has been told to the user (plain boxes; the reader's own messages). The
// caller calls StopWaveOut afterwards in every case.
bool StartWaveOut(platform::UiServices& ui, platform::WindowTarget& hWnd, const std::string& path,
                  std::int32_t startSample, std::int32_t endSample, bool x2);
// Stands in for the target's procedure while a playback runs: refills and queues each finished
// buffer, then passes every message on to the target's own procedure. A completion of a device
// other than the open one (released by an earlier stop) is only passed on.
std::intptr_t WaveOutWndProc(platform::WindowTarget& hWnd, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam);
// Stops the device, releases the buffers, gives hWnd its own procedure back and closes the file. Acts
// only on what the player still holds: twice in a row, or without a start, it does nothing.
void StopWaveOut(platform::WindowTarget& hWnd);

// ---- Seams
// The wave-out the player opens (null: the program's, platform::SystemWaveOut).
void SetWaveOutSystem(platform::WaveOut* system);
// The watchdog's clock in seconds (empty: the monotonic clock).
void SetWaveOutClock(std::function<double()> clock);

// Samples in one tenth of a second at rate: rate / 10, halves to even.
std::int32_t OneTenth(std::int32_t rate);
// Bytes of a buffer holding a run of count samples of `bytes` bytes each.
std::uint32_t RunBytes(std::int32_t count, std::int32_t bytes, bool x2);

}  // namespace murtesk::playback
