/* The analysis library's exported functions (libMurtesk.so).
 *
 * Every function is plain C with fixed-width integers. Paths are zero-terminated UTF-8 strings; every
 * buffer belongs to the caller and is only read or written during the call. No function throws or ends the
 * process: failures are return values or status codes.
 *
 * The library keeps one analysis engine between calls. ReadPreOfWAV, CALReadOfWAV and SeparateChWaveFile
 * replace it by a fresh one. The engine is held by shared ownership: replacing it while a worker runs never
 * frees what that worker uses, so the handler of a worker's final status may at once prepare and start the
 * next run.
 *
 * Status messages: a worker reports through the window handed to SetCalcConditionOfWAV, SethWndOfWAV or
 * StartSeparateChWaveFile by send(context, WM_WAVSTATUS, 0, status), which blocks until the handler ran:
 *    300   one block (one second of every channel) analysed and its levels written
 *   9899   analysis ended normally; every level file is closed
 *   9999   channel separation ended normally; every mono file is closed
 *     -1   sent in place of 300, 9899 or 9999 once a stop was requested
 *  -9800   the worker saw the stop request and gave up
 *  -9801   the data chunk held no whole block (or there was no data chunk)
 *  -9811   unreadable or unsupported file, a file that does not match the engine, memory ran out, or a
 *          level file could not be written
 * Exactly one of 9899 / 9999 / -1 / -9800 / -9801 / -9811 ends each run, and it is the worker's last use of
 * the engine. Without a window the worker runs silently and stores no status. */
#ifndef MURTESK_ANALYSIS_H
#define MURTESK_ANALYSIS_H

#include <stdint.h>

#include "murtesk_window.h"

#if defined(MURTESK_ANALYSIS_BUILD)
#define MURTESK_ANALYSIS_API __attribute__((visibility("default")))
#else
#define MURTESK_ANALYSIS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define MURTESK_STATUS_BLOCK 300
#define MURTESK_STATUS_ANALYSIS_DONE 9899
#define MURTESK_STATUS_SEPARATION_DONE 9999
#define MURTESK_STATUS_STOPPED (-1)
#define MURTESK_STATUS_GAVE_UP (-9800)
#define MURTESK_STATUS_NO_DATA (-9801)
#define MURTESK_STATUS_FAILED (-9811)

/* Replaces the engine by one for `channels` channels (1..100 are usable) of `rate` Hz, read in blocks of
 * `samplesPerBlock` frames (the file's rate must equal both). dcOffsets (may be null) holds one value per
 * channel, added to every sample of that channel. channels <= 0 gives an engine on which every later
 * SetCalcConditionOfWAV, SetFileOutPathOfWAV and ReadStartOfWAV fails. A rate or block above 768000 (one
 * second of the largest layout the library reads; WAV files of a higher rate are refused too), a rate not above
 * 0 (NaN included) and a block below 1 make no engine. Returns 1 when an engine exists afterwards, 0 when none
 * could be made (the old one is gone too: the calls on the engine answer as without one). */
MURTESK_ANALYSIS_API int32_t ReadPreOfWAV(int32_t channels, double rate, int32_t samplesPerBlock,
                                          const double* dcOffsets);

/* Sets channel `channel` (0-based) up. weighting: negative none, 0 Lvz, 1 Lvxy, 2 G, 3 A, 4 C, above 4 A.
 * bandMode: 1 octave (17 outputs), 3 one-third octave (47 outputs), -1 the channel is off (always accepted).
 * cr: time constant in seconds; levelOutHz: level values per second (1 to 1000, and at least one per block);
 * corrections: 15 or 45 dB values added to the band outputs (may be null: zeros); lvl, calRms: the
 * calibration level in dB and the sample rms that stands for it; lowHz, highHz: bands whose centre lies
 * outside are not computed. `window` becomes the engine's status window (the last call wins).
 * A rate below levelOutHz gives more level values than samples (interpolated between them). Returns 1 when
 * accepted; 0 without a usable engine, for a channel outside the engine, a condition the channel refuses (also
 * a vibration or G weighting at 480 Hz or less, which cannot carry their 240 Hz low-pass; a calibration level
 * lvl or a correction that is not finite or lies beyond ±1000 dB, where no calibration lies and past which the
 * levels, stored as floats, would lose their precision or be infinite; a calRms not above 0 or not finite), or
 * when the channel's buffers cannot be had: a condition accepted here never fails a block by itself. Not while
 * a worker runs. */
MURTESK_ANALYSIS_API int32_t SetCalcConditionOfWAV(int32_t channel, MurteskWindow* window, int32_t weighting,
                                                   int32_t bandMode, double cr, double levelOutHz,
                                                   const double* corrections, double lvl, double calRms,
                                                   double lowHz, double highHz);

/* Sets the level-data file of one output of a channel: 0 F, 1 W, 2.. the bands from the highest frequency
 * down (up to 16 or 46). Returns 1 when stored or when the channel is off or not set up; 0 without a usable
 * engine, for a channel outside the engine or an output outside the channel's mode. */
MURTESK_ANALYSIS_API int32_t SetFileOutPathOfWAV(int32_t channel, int32_t output, const char* path);

/* Opens the WAV file, creates every level file of every channel that is on and starts the analysis worker.
 * Returns 1 when the worker runs; 0 when the engine is unusable or already running, the file cannot be
 * opened, a level file cannot be created or the thread cannot be started (no level file is left behind). */
MURTESK_ANALYSIS_API int32_t ReadStartOfWAV(const char* path);

/* Asks the running worker to stop at its next check. Returns 1 when an engine exists, else 0. */
MURTESK_ANALYSIS_API int32_t DoStopOfWAV(void);

/* The status last sent by the engine's worker (0 before any); -9811 when no engine exists. */
MURTESK_ANALYSIS_API int16_t GethStatusOfWAV(void);

/* The number of blocks handed to the channel's analysis so far; 0 for a channel outside the engine; -1 when
 * no engine exists. */
MURTESK_ANALYSIS_API int32_t GetFileOutOrderOfWAV(int32_t channel);

/* Sets the engine's status window (null: none). Returns 1 when stored, 0 when no engine exists. */
MURTESK_ANALYSIS_API int32_t SethWndOfWAV(MurteskWindow* window);

/* Probes a WAV file: writes its channel count, rate, bits per sample (the header's field), format (1 integer
 * PCM, 3 IEEE float, also for the extensible forms) and frame count (the whole frames present), then the
 * largest and smallest sample of each channel (maxima/minima: room for 100 each; preset to -32768 and 32767)
 * over at most the first four one-second blocks. Replaces the engine. Returns 1 when at least one whole
 * one-second block was examined, else 0 (the outputs written before the failure keep their values). */
MURTESK_ANALYSIS_API int32_t CALReadOfWAV(const char* path, int32_t* channels, int32_t* rate, int32_t* bits,
                                          double* maxima, double* minima, int32_t* format, int32_t* frames);

/* Splits `source` into one 16-bit mono WAV file per channel on a worker of the current engine, named
 * folder + name's stem + "_<channel>ch" + name's extension; ends with 9999, -1, -9800, -9801 or -9811.
 * Returns 1 when the worker runs; 0 without an engine, while a worker runs, or when it cannot start. */
MURTESK_ANALYSIS_API int32_t StartSeparateChWaveFile(MurteskWindow* window, const char* source, const char* name,
                                                     const char* folder);

/* The same split synchronously, without status: channel files named prefix + source's stem + "_<c>ch" +
 * source's extension. Replaces the engine. Returns 1 when at least one block was written. */
MURTESK_ANALYSIS_API int32_t SeparateChWaveFile(const char* source, const char* prefix);

/* Cuts frames first..last (1-based, inclusive) of channel `channel` (1-based) out of a PCM WAV file of
 * `channels` channels of `bits` bits (8, 16, 24, 32 or 64; the source's header must say the same) into a mono
 * PCM WAV file of `rate` Hz. `last` is limited to the frames present; fewer than 10 frames, a source of
 * 2,147,483,001 bytes or more, or an output a WAV header cannot describe are refused. The output is written
 * beside `output` and renamed over it when complete. Returns 1 when written completely, else 0 with no partial
 * output and an older file of that path as it was. */
MURTESK_ANALYSIS_API int32_t CreateBigMonoWave(const char* output, int32_t bits, int32_t first, int32_t last,
                                               int32_t channels, int32_t channel, int32_t rate,
                                               const char* source);

/* Interleaves frames first..last of `count` mono PCM WAV files of `bits` bits into one file of `count`
 * channels, file k as channel k. `files` holds the `count` paths followed by a null pointer (a list of another
 * length is refused). The frames present are taken from the first file; refusals and the writing beside
 * `output` as for CreateBigMonoWave. Returns 1 when written completely, else 0. */
MURTESK_ANALYSIS_API int32_t MergeMonoWave(const char* output, int32_t bits, int32_t first, int32_t last,
                                           int32_t count, int32_t rate, const char* const* files);

/* Resamples `count` values from inRate to outRate and writes them to the text file at `path`, one value per
 * line: fixed-point with six decimals and '.' whatever the locale, lines ended by CR LF. Mode 1 interpolates
 * linearly; any other mode uses a four-point kernel (a half-sample kernel when outRate is exactly twice
 * inRate). Output value 0 is input value 0, value i the interpolation at position i * inRate / outRate;
 * count * outRate / inRate values, rounded half up (none gives a valid, empty file). Returns 1 when the whole
 * file was written, else 0: a null path or series, count < 1, a rate not above 0 or not finite,
 * count * outRate / inRate of 2^31 - 1 or more, or a value that is not finite (NaN, an infinity) or of a
 * magnitude above 1e9 are refused without touching the file. Values within ±1e9 (levels lie within a few
 * hundred dB of 0) resample to within ±1.7e9, where a double is exact to within 2.4e-7: its sixth decimal is
 * right. The text is written beside `path` and renamed over it when complete, so after a write error an older
 * file stays as it was. */
MURTESK_ANALYSIS_API int32_t ChgHz(const char* path, const double* values, int32_t count, double inRate,
                                   double outRate, int32_t mode);

/* Returns 42. */
MURTESK_ANALYSIS_API int32_t fnMurtesk(void);

/* Always 0. */
MURTESK_ANALYSIS_API extern int32_t nMurtesk;

#ifdef __cplusplus
}
#endif

#endif
