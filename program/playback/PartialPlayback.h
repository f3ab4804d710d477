// What the two partial playback windows share: the position strip with its cursor, the buttons 再生,
// 倍速再生, 停止 and 戻る, the hidden cmdDummy whose window target receives the player's messages, the
// one-shot timer that runs the cursor loop, closes the window or gives the buttons back, and the
// cursor loop itself. Each window fills its strip, its span and its texts on activation.
//
// States: loaded (no button), ready (再生, 戻る; 倍速再生 too once a playback has ended in
// frmPlayPartOfWave), playing (停止, 戻る), stopping (the timer gives the buttons back 500 ms later),
// closing (the timer unloads the window 500 ms later). The close box does what 戻る does.
#pragma once

#include "controls.h"
#include "form.h"
#include "form_timer.h"
#include "position_strip.h"
#include "window_target.h"

#include <cstdint>
#include <memory>
#include <string>

namespace murtesk::playback {

class PartialPlayback : public platform::Form {
public:
    PartialPlayback(platform::UiServices& ui, std::string name);
    ~PartialPlayback() override;

    // ---- Events
    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void Form_Unload(bool& cancel) override;
    void cmdStart_Click();
    void cmdPlayX2_Click();
    void cmdStop_Click();
    void cmdCancel_Click();
    void Timer1_Timer();
    // A mouse button released over the strip at x (in samples): the next playback begins there.
    void picWave_MouseUp(int button, double x, double y);
    // The cursor loop: moves the cursor one second of samples per finished buffer until the
    // playback completes, fails or is stopped; waits for events between its passes.
    void RealFFT();

    // ---- Controls
    platform::PositionStrip picWave;
    platform::Label Label1;
    platform::Label lblTime;
    platform::CommandButton cmdStart;
    platform::CommandButton cmdPlayX2;
    platform::CommandButton cmdStop;
    platform::CommandButton cmdCancel;
    platform::CommandButton cmdDummy;
    platform::FormTimer Timer1;

    // ---- State (read by tests)
    bool m_bActivated = false;
    std::int16_t m_TimerMode = 0;
    std::int32_t m_CursorSample = 0;
    double m_SampHz = 44100.0;

    // The longest wait of the cursor loop for an event.
    static constexpr int kLoopWaitMs = 100;

    // "hh時nn分ss秒" (with "d日 " in front from one day on) of a length in seconds, rounded to a whole second.
    static std::string LengthText(double seconds);

protected:
    // The window's own activation (once per load).
    virtual void Activate() = 0;
    // The message of a start the player refused.
    virtual const char* StartFailedText() const = 0;
    // The design state of the strip's labels.
    void SetDesignTexts(const char* busyText);
    void ShowLength(double seconds);
    void MoveCursor(std::int32_t sample);

private:
    void Start(bool x2);
    void StopPlay(std::int16_t reason);
    // Stops a playback this window started and has not stopped.
    void ReleasePlayer();

    std::unique_ptr<platform::WindowTarget> dummyWindow_;
    bool ownsPlayer_ = false;
};

}  // namespace murtesk::playback
