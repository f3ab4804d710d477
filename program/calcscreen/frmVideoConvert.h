// The progress window of a video assignment: shown modally over the calculation screen while the
// converter runs. Its first activation runs the work it was given; the work shows the converter's
// time against the video's length with ShowProgress and lets events run, so the window paints and
// its Cancel (or its close box) reaches CancelRequested. It unloads itself when the work returns.
#pragma once

#include "controls.h"
#include "form.h"

#include <cstdint>
#include <functional>

namespace murtesk {

class frmVideoConvert : public platform::Form {
public:
    frmVideoConvert(platform::UiServices& ui, std::function<void(frmVideoConvert&)> work);

    platform::Label lblProgress;
    platform::CommandButton cmdCancel;

    void Form_Activate() override;
    // While the work runs the window stays: a close by its frame asks it to stop, as Cancel.
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdCancel_Click();

    // The converter's time and the video's length in milliseconds (length 0: not known), the time
    // limited to 0 .. the length; shown at once.
    void ShowProgress(std::int64_t doneMs, std::int64_t lengthMs);
    bool CancelRequested() const { return cancelRequested_; }

private:
    std::function<void(frmVideoConvert&)> work_;
    bool started_ = false;
    bool running_ = false;
    bool cancelRequested_ = false;
};

}  // namespace murtesk
