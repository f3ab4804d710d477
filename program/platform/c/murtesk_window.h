/* Window handles shared by the program and its libraries.
 *
 * A window handle is a pointer to a MurteskWindow owned by the program. It stays valid
 * for as long as the program has handed it to a library (until it hands another one or
 * none). Libraries only call its two functions:
 *   send: delivers the message to the window's handler on the user-interface thread and
 *         returns the handler's result; from any other thread it blocks until the handler
 *         has run. It may be called from the user-interface thread itself (the handler runs
 *         at once).
 *   post: queues the message and returns at once; non-zero when it was queued.
 * Both are thread-safe. */
#ifndef MURTESK_WINDOW_H
#define MURTESK_WINDOW_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MurteskWindow {
    void* context;
    intptr_t (*send)(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);
    int32_t (*post)(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);
} MurteskWindow;

/* Status of the analysis library's workers (the status in lparam, sign-extended from 16 bits). */
#define WM_WAVSTATUS 0x1301u
/* Video graph events of the video library. */
#define WM_AVIGRAPHEVENT 0x1303u

#ifdef __cplusplus
}
#endif

#endif
