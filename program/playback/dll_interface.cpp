#include "playback/dll_interface.h"

#include "murtesk_window.h"
#include "playback/frmPlayAVI.h"

namespace murtesk::playback {

frmPlayAVI* g_frmPlayAVI = nullptr;

namespace {

platform::WindowTarget::WindowProc t_PrevWndProc;
std::int32_t t_SubClassMode = kSubClassNone;
bool t_Busy = false;

}  // namespace

void SubClassWindow(platform::WindowTarget& hWnd, std::int32_t mode) {
    t_PrevWndProc = hWnd.SetWindowProc(SubClassWndProc);
    t_SubClassMode = mode;
}

void UnSubClassWindow(platform::WindowTarget& hWnd) {
    hWnd.SetWindowProc(std::move(t_PrevWndProc));
    t_PrevWndProc = nullptr;
    t_SubClassMode = kSubClassNone;
}

std::intptr_t SubClassWndProc(platform::WindowTarget& hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    if (!t_Busy) {
        t_Busy = true;
        if (uMsg == WM_AVIGRAPHEVENT && t_SubClassMode == kSubClassVideo && g_frmPlayAVI)
            g_frmPlayAVI->MessageGet(lParam);
        t_Busy = false;
    }
    // A copy: the kept procedure may be put back while the message is on its way.
    const platform::WindowTarget::WindowProc prev = t_PrevWndProc;
    return platform::WindowTarget::CallWindowProc(prev, hWnd, uMsg, wParam, lParam);
}

}  // namespace murtesk::playback
