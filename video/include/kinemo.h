/* The video library's exported functions (libKinemo.so).
 *
 * Every function is plain C with fixed-width integers. File names are zero-terminated UTF-8 paths, used
 * whole; every buffer belongs to the caller and is only read during the call. No function throws or ends the
 * process: failures are return values. Times are milliseconds of media time from the start of the file.
 *
 * The library holds at most one player. Every player export is called from one thread, the caller's
 * user-interface thread; they are not safe against each other from several threads. The player decodes on
 * threads of its own: they call the host's `present` and post WM_AVIGRAPHEVENT; everything else of the host
 * is called on the calling thread during an export. CloseAvi, the next OpenAvi and the end of the process stop
 * those threads before anything of the old player goes away; after CloseAvi returns no callback of its host
 * comes any more.
 *
 * Player states: 0 stopped (paused on a frame), 1 paused, 2 running; a player whose file could not be opened
 * has no decoding and answers every player export as if there were no player.
 *
 * Sound: the video's sound plays through the desktop's ALSA "default" device; with the environment variable
 * MURTESK_AUDIO=null, or when no sound device can be opened, it goes to a silent device that consumes it in
 * real time. When a file has sound, the picture follows the sound's clock; otherwise the monotonic clock. */
#ifndef MURTESK_KINEMO_H
#define MURTESK_KINEMO_H

#include <stdint.h>

#include "murtesk_window.h"

#if defined(MURTESK_KINEMO_BUILD)
#define MURTESK_KINEMO_API __attribute__((visibility("default")))
#else
#define MURTESK_KINEMO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One decoded picture, scaled to the rectangle it is placed in. */
typedef struct KinemoFrame {
    const uint8_t* pixels; /* 4 bytes a pixel in the order blue, green, red, alpha (255); valid during the call */
    int32_t stride;        /* bytes from the start of one row to the next; rows run top to bottom */
    int32_t width;         /* of the picture in pixels: the placed rectangle's width */
    int32_t height;
    int32_t x; /* the placed rectangle's top-left corner in the client area */
    int32_t y;
    int32_t time_ms; /* the frame's media time */
} KinemoFrame;

/* The host window a player shows its video in. OpenAvi copies the struct; `context` and `window` must stay
 * valid until CloseAvi or the next OpenAvi has returned (a host closes the player before it goes, also when the
 * program ends). Every callback may be null: without client_size or
 * present no picture is shown (the playability probe's host), without message no message is shown. */
typedef struct KinemoHost {
    /* Receives WM_AVIGRAPHEVENT (wparam 0, lparam 0) by post, from the player's threads, whenever events were
     * queued; the host answers it by calling AviGraphEvent. May be null. */
    MurteskWindow* window;
    void* context;
    /* Calling thread. The client area's size in pixels; returns 0 when it has none. */
    int32_t (*client_size)(void* context, int32_t* width, int32_t* height);
    /* Player's decoding thread. Shows the frame at its rectangle; the pixels must be copied during the call.
     * It must not wait for the user-interface thread, which may itself be waiting for the player. */
    void (*present)(void* context, const KinemoFrame* frame);
    /* Calling thread. Erases the whole client area: the last frame disappears. */
    void (*clear)(void* context);
    /* Calling thread. Shows the host window normally, raises it and gives it the keyboard focus. */
    void (*show)(void* context);
    /* Calling thread. A message box owned by the host window with one OK button; returns when it is closed.
     * The text is English, the title "DirectShow". */
    void (*message)(void* context, const char* text, const char* title);
} KinemoHost;

/* The event code that AviGraphEvent handles: the end of the stream (or of the range SetAviRange set). */
#define KINEMO_EVENT_COMPLETE 1

/* Replaces any player by a new one for `host` (null: no host) and opens the file: the best video stream and the
 * best audio stream are chosen, at least one must exist, and each chosen one must decode. The first frame is
 * shown at its rectangle (the video aspect-fitted into the top-left corner of the client area) and the player
 * is in state 0 at position 0. Returns 1 when opened; 0 when refused (a name holding ".asf", ".wma", ".wmv" or
 * ".asx" in any case: "Windows Media files (ASF,WMV,WMA,ASX) are not supported by this application."), when
 * the file cannot be played ("Cannot render video file stream"), or for a null name (no message). After a
 * failure a player without decoding stays in place until CloseAvi or the next OpenAvi. */
MURTESK_KINEMO_API int32_t OpenAvi(const KinemoHost* host, const char* name);

/* Stops the player's threads, erases the host's client area and deletes the player. Always 1. */
MURTESK_KINEMO_API int32_t CloseAvi(void);

/* The duration in ms; 0 without a player or when the file does not say. */
MURTESK_KINEMO_API int32_t GetAviTime(void);

/* The current position in ms: while running the playing clock, while paused or stopped the position set or
 * reached, at the end of the stream the end; -1 without a player. */
MURTESK_KINEMO_API int32_t GetAviPosition(void);

/* Seeks to `ms` (0 .. duration); the stop position stays. Paused or stopped: the frame at `ms` is shown and
 * GetAviPosition answers `ms`; running: playback goes on from there. The state does not change. 1; 0 without
 * a player. */
MURTESK_KINEMO_API int32_t SetAviPosition(int32_t ms);

/* Seeks to `startMs` as SetAviPosition does and sets the stop position to `stopMs`: playback ends there. 1; 0
 * without a player. */
MURTESK_KINEMO_API int32_t SetAviRange(int32_t startMs, int32_t stopMs);

/* Starts playing (state 2) or pauses (state 1). 0 when done; 0 also without a player (nothing happens);
 * negative when the player's threads have failed (the state stays). */
MURTESK_KINEMO_API int32_t AviStart(void);
MURTESK_KINEMO_API int32_t AviPause(void);

/* Paused or running: stops, rewinds to 0 and shows the first frame (state 0). Otherwise nothing. */
MURTESK_KINEMO_API void AviStop(void);

/* 1 when the file can be sought and its duration is known; 0 otherwise and without a player. */
MURTESK_KINEMO_API int32_t AviIsCanSeek(void);

/* Handles every queued event without waiting. At the end of the stream the player rewinds to 0, shows the first
 * frame and goes to state 0; the stop position stays. Returns 1 when an end of stream was handled, 0 when none
 * was queued (also without a player), 2 when the rewind failed ("Failed to stop media clip!": the file could not
 * be read from its start again) or the rewound frame could not be shown ("Failed to StopWhenReady media
 * clip!"). */
MURTESK_KINEMO_API int32_t AviGraphEvent(void);

/* Fits the video into the host's client area again (after the host was resized): the largest rectangle of the
 * video's aspect that fits, placed at the top-left corner; nothing when a width or height of the video or of
 * the client area is 0. 0 (also without a player or without a picture). */
MURTESK_KINEMO_API int32_t ReSizeWindow(void);

/* The conversions. Each runs to its end within the call on the calling thread, shows nothing and answers 0 at
 * once, doing nothing, while a player exists (from an OpenAvi, also a failed one, until CloseAvi) or when a
 * required name is null. A file is written under a temporary name in the target's folder and renamed over the
 * target when complete: on failure no partial file is left and an existing target stays as it was. A call that
 * was killed cannot remove its temporary file (target & ".~" & 12 hexadecimal digits); the next conversion to the
 * same target removes every such file that no running call holds. Every reading ends at its span's end or its
 * file's, so no call can hang on its input. */

/* Writes the picture showing at `ms` (limited to 0 .. the duration) at the video's native size as a 24-bit BMP:
 * the 14-byte file header, the 40-byte bitmap header, pixels from offset 54 in rows from the bottom up, blue,
 * green, red, each row padded to 4 bytes. 1 when written; 0 when the file has no picture that decodes or the
 * bitmap cannot be written. */
MURTESK_KINEMO_API int32_t AviToBmp(const char* video, const char* bitmap, int32_t ms);

/* The native size of the video's pictures into *width and *height. 1; 0, writing nothing, when the file has no
 * video that decodes (a file of sound only, or of sound and a cover picture; a video stream whose first picture
 * does not decode) or an output is null. So a 1 also says that the file has a picture to show. */
MURTESK_KINEMO_API int32_t GetVideoWithHeight(const char* video, int32_t* width, int32_t* height);

/* How many pictures of the video (the stream GetVideoWithHeight measures) decode at different times, counted to
 * `most` at most: the file is read once from its start, its pictures decoded, up to the picture that reaches
 * `most`, else to its end (a file of one picture and an hour of sound is read whole; its sound is not decoded).
 * Pictures of one time count once. 0 when the file has no video that decodes, `most` is below 1 or the name is
 * null. So a 1 says that the video is one still picture: an image file, a stream of a single picture, a stream
 * whose pictures all show at one time. */
MURTESK_KINEMO_API int32_t GetVideoPictureCount(const char* video, int32_t most);

/* A new AVI file of [startMs, endMs) of the source (limited to 0 .. its duration), with the source's video and
 * sound streams only and times from 0: the first picture is the one showing at startMs. The video is coded again
 * in the source's codec where an AVI file can hold it and an encoder exists (H.264 at a constant quality of 18
 * without B-pictures, other codecs at quantiser 3), else as MPEG-4 Visual at quantiser 3; the sound as 16-bit
 * PCM at the source's rate and channels. 1 when written; 0 when the source cannot be played (missing, empty, no
 * stream that decodes), the span is empty after limiting, or the target's folder is missing or a write fails. */
MURTESK_KINEMO_API int32_t ExtractAvi(const char* source, const char* target, int32_t startMs, int32_t endMs);

/* A new AVI file showing the bitmap (any picture the library can read), scaled to width × height, for
 * frames ÷ fps seconds: `frames` pictures in RGB555 coded as Microsoft Video 1, whose width and height must be
 * multiples of 4. With a WAV file (`wav` neither null nor empty) its sound too, as 16-bit PCM at `sampleRate` and
 * `channels`, cut or filled with silence to the same length. The picture is coded once: every 26th picture, from
 * the first, is it as a keyframe, and the pictures between repeat the one before. The file has no size limit of
 * its own: past 1 GiB it goes on in further RIFF parts, as large AVI files do.
 * 1 when written; 0 for a picture or sound that cannot be read, a size (1 .. 16384), rate, channel count or frame
 * count out of range, a movie the AVI header cannot describe (a picture of more than 2^32 - 1 microseconds, more
 * than 2^32 - 1 sound samples), a picture the coder cannot code (9 bytes a pixel and 16 KiB more pass 2^31 - 1
 * bytes, as 16384 × 16384 does), or a failed write (a full disk, a file size limit), which leaves no file.
 * Also 0, before anything is written, for a movie whose file would pass the free space of the target's file
 * system (what an unprivileged writer may use), its size judged from the coded picture: the keyframe's coded
 * bytes, a repeat's (2 bytes for each 1,023 blocks of 4 × 4, and 2), 2 bytes a sound sample and channel, 32 bytes
 * of chunk header and index entries for each picture and each second of sound, and 64 KiB of headers for each GiB.
 * 2,147,483,647 pictures take at least 77 GB so; an hour at 30 pictures a second (4,154 keyframes and 103,846
 * repeats) of 640 × 480 takes at most 1.5 GB. */
MURTESK_KINEMO_API int32_t Bmp2Avi(const char* bitmap, const char* wav, const char* target, double fps, int32_t frames,
                                   int32_t width, int32_t height, int32_t channels, int32_t sampleRate);

#ifdef __cplusplus
}
#endif

#endif
