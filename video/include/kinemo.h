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

#ifdef __cplusplus
}
#endif

#endif
