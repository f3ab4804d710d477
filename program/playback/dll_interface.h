// Module DLLInterFace: the subclassing of a window whose messages come from the video library. The window's
// procedure is replaced by SubClassWndProc, which passes WM_AVIGRAPHEVENT to the video observation window
// (mode 2) and then every message on to the kept procedure. The state is program-wide: one subclassed window
// at a time.
#pragma once

#include <cstdint>

#include "window_target.h"

namespace murtesk::playback {

class frmPlayAVI;

inline constexpr std::int32_t kSubClassNone = 0;
inline constexpr std::int32_t kSubClassVideo = 2;

// The video observation window while it is loaded (the receiver of mode 2).
extern frmPlayAVI* g_frmPlayAVI;

// Replaces the window's procedure by SubClassWndProc, keeping the previous one and the mode.
void SubClassWindow(platform::WindowTarget& hWnd, std::int32_t mode);
// Puts the kept procedure back and sets the mode to 0.
void UnSubClassWindow(platform::WindowTarget& hWnd);
// The replacing procedure. A message that comes while one is being handled (sent during MessageGet) is only
// passed on, so MessageGet never runs nested.
std::intptr_t SubClassWndProc(platform::WindowTarget& hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                              std::intptr_t lParam);

}  // namespace murtesk::playback
